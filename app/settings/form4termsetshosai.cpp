#include "form4termsetshosai.h"

#include "form4termset.h"
#include "keypad.h"
#include "mylabel.h"
#include "mytimer.h"
#include "soundmodule.h"
#include "timebands.h"

Form4TermSetShosai::Form4TermSetShosai(QObject* parent, QString id)
    : Form4Settei0ShosaiBase2(parent)
{
    itemId = id;
    title = getTitle(itemId);
    resultText.clear();
    pageId = Form4TermSet::DetailScreen;
    parentPageId = Form4TermSet::FirstMenu + id.toInt() / 10;
    openKeypad();
}

Form4TermSetShosai::~Form4TermSetShosai()
{
    disconnect(MyLabel::getInstance(), nullptr, this, nullptr);
    delete keypad;
    keypad = nullptr;
}

QString Form4TermSetShosai::getTitle(QString id)
{
    return Form4TermSet::GetTitle(id);
}

void Form4TermSetShosai::trySaveAndMove()
{
    values = keypad->getValues();
    if (!keypad->isMinimumOrMore())
        return showKeypadMessage(QStringLiteral("入力不足"));
    if (isOutOfRange())
        return showKeypadMessage(QStringLiteral("入力範囲外"));

    if (title == QStringLiteral("出勤日替時刻") || title == QStringLiteral("退勤日替時刻"))
        return saveValueHigawariJikoku();
    if (title == QStringLiteral("出勤モード") || title == QStringLiteral("退勤モード"))
        return saveValueSyutaikinModeJikoku();
    if (title == QStringLiteral("日替退勤有効時刻帯"))
        return saveValueHigawariTaikin();

    if (!saveData())
        return;
    if (title == QStringLiteral("タッチ音量") || title == QStringLiteral("カード読取音量"))
        SoundModule::systemVolume();
    else if (title == QStringLiteral("NTPサーバーを使用") || title == QStringLiteral("NTPサーバー"))
        MyTimer::getInstance()->setSntpSync();
    else if (title == QStringLiteral("リブート時刻"))
        MyTimer::getInstance()->setRebootTime();
    moveToBack();
}

void Form4TermSetShosai::saveValueHigawariJikoku()
{
    if (saveData())
        moveToBack();
}

void Form4TermSetShosai::saveValueSyutaikinModeJikoku()
{
    const QString other = title == QStringLiteral("出勤モード") ? QStringLiteral("退勤モード") : QStringLiteral("出勤モード");
    int otherStart = 0;
    int otherEnd = 0;
    loadDataValue(other + QStringLiteral("(開始)"), &otherStart);
    loadDataValue(other + QStringLiteral("(終了)"), &otherEnd);
    if (timebands::modeBandsClash(values.value(0), values.value(1), otherStart, otherEnd))
        return showKeypadMessage(QStringLiteral("時間帯重複"));
    if (saveData())
        moveToBack();
}

void Form4TermSetShosai::saveValueHigawariTaikin()
{
    if (values.value(0) > values.value(1))
        return showKeypadMessage(QStringLiteral("入力範囲外"));
    if (saveData())
        moveToBack();
}
