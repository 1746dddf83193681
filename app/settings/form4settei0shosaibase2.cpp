#include "form4settei0shosaibase2.h"

#include "dbsetting.h"
#include "debugline.h"
#include "form3popup.h"
#include "keypad.h"
#include "keypadkeytypes.h"
#include "keypadmessage.h"
#include "mylabel.h"
#include "mytimer.h"
#include "pagehost.h"
#include "platform/clock.h"
#include "screenparts.h"
#include "settingshost.h"
#include "soundmodule.h"

#include <QDateTime>

namespace {

// Where the address checks may run, by item name.
bool isPingItem(const QString& title)
{
    return title == QStringLiteral("ゲートウェイ") || title == QStringLiteral("ゲートウェイ(無線)")
        || title == QStringLiteral("NTPサーバー");
}

bool isDnsItem(const QString& title)
{
    return title == QStringLiteral("DNS(共通)") || title == QStringLiteral("DNS") || title == QStringLiteral("DNS(無線)");
}

}  // namespace

const char* const Form4Settei0ShosaiBase2::NslookupHost = "example.com";

Form4Settei0ShosaiBase2::Form4Settei0ShosaiBase2(QObject* parent)
    : QObject(parent)
    , label(MyLabel::getInstance())
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ctor.";
}

Form4Settei0ShosaiBase2::~Form4Settei0ShosaiBase2()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
    label = nullptr;
    values.clear();
    min = max = 0;
    keyType.clear();
}

void Form4Settei0ShosaiBase2::activate()
{
    active = true;
    if (keypad)
        keypad->activate();
}

void Form4Settei0ShosaiBase2::deactivate()
{
    active = false;
    if (keypad)
        keypad->deactivate();
}

void Form4Settei0ShosaiBase2::openKeypad()
{
    loadData();
    keypad = new Keypad(this, 0, 0, keyType, values, true, title);
    keypad->activate();
    connect(label, &MyLabel::clicked, this, &Form4Settei0ShosaiBase2::clickMyLabel);
    updateScreenNew();
}

void Form4Settei0ShosaiBase2::loadData()
{
    loadDataManual(title, &keyType);
    if (keypadkeytype::isBand(keyType))
        loadDataHHMM2();
    else if (keypadkeytype::isDate(keyType))
        loadDataYYYYMMDD();
    else if (keyType == QStringLiteral("時刻設定"))
        loadDataHHMM();
    else if (keypadkeytype::isAddress(keyType))
        loadDataAddr();
    else
        loadDataValue();
}

void Form4Settei0ShosaiBase2::loadDataManual(QString name, QString* keyType)
{
    keyType->clear();
    DBSetting::getKeyType(name, keyType);
}

void Form4Settei0ShosaiBase2::loadDataValueAll(QString name, int* value, int* min, int* max)
{
    *value = *min = *max = 0;
    DBSetting::getSetting(name, value, min, max);
}

void Form4Settei0ShosaiBase2::loadDataValue(QString name, int* value)
{
    *value = 0;
    DBSetting::getSetting(name, value);
}

void Form4Settei0ShosaiBase2::loadDataHHMM2()
{
    int start = 0;
    int end = 0;
    loadDataValueAll(title + QStringLiteral("(開始)"), &start, &min, &max);
    loadDataValue(title + QStringLiteral("(終了)"), &end);
    values << start << end;
}

void Form4Settei0ShosaiBase2::loadDataYYYYMMDD()
{
    int unused = 0;
    loadDataValueAll(title + QStringLiteral("1"), &unused, &min, &max);
    const QDate today = vnq::clock().now().date();
    values << today.year() << today.month() << today.day();
}

void Form4Settei0ShosaiBase2::loadDataHHMM()
{
    int stored = 0;
    loadDataValueAll(title, &stored, &min, &max);
    const QTime now = vnq::clock().now().time();
    values << (stored == -1 ? -1 : now.hour() * 60 + now.minute());
}

void Form4Settei0ShosaiBase2::loadDataAddr()
{
    int octet = 0;
    loadDataValueAll(title + QStringLiteral("0"), &octet, &min, &max);
    values << octet;
    for (int i = 1; i < 4; ++i) {
        loadDataValue(QStringLiteral("%1%2").arg(title).arg(i), &octet);
        values << octet;
    }
}

void Form4Settei0ShosaiBase2::loadDataValue()
{
    int value = 0;
    loadDataValueAll(title, &value, &min, &max);
    values << value;
}

void Form4Settei0ShosaiBase2::setBackground()
{
    if (keypad)
        keypad->setBackground();
}

void Form4Settei0ShosaiBase2::setBgImage()
{
    setFullScreenImage(label, &item, bgImagePath);
}

void Form4Settei0ShosaiBase2::setBgBackButton()
{
    if (!active)
        return;
    // Off the 480x272 screen: the keypad's Cancel is the way back.
    setTouchArea(label, &item, QStringLiteral("Back"), 680, 14, 84, 51);
}

void Form4Settei0ShosaiBase2::setForeground()
{
    if (keypad)
        keypad->setForeground();
    if (!resultText.isEmpty())
        setFgResult(resultText);
}

void Form4Settei0ShosaiBase2::setFgResult(QString text)
{
    if (!isPingItem(title) && !isDnsItem(title))
        return;
    // Off the screen as well: the checks show their results in the keypad's value field.
    label->initItem(&item);
    item.label.x = 480;
    item.label.y = 435;
    item.label.px = 20;
    item.label.r = item.label.g = item.label.b = 0;
    item.label.a = 255;
    item.label.text = text;
    label->setItem(&item);
}

void Form4Settei0ShosaiBase2::updateScreen()
{
    label->setClear();
    label->setPast();
    setForeground();
    label->setFlash();
}

void Form4Settei0ShosaiBase2::updateScreenNew()
{
    activate();
    label->setNew();
    label->setClear();
    setBackground();
    label->setCopy();
    label->setFlash();
    updateScreen();
}

void Form4Settei0ShosaiBase2::updateScreenFade()
{
    label->setNew();
    setBackground();
    setForeground();
    label->setFlash();
}

void Form4Settei0ShosaiBase2::showError(QString a, QString b)
{
    deactivate();
    updateScreenFade();
    Form3Popup::showError(a, b, QString());
}

void Form4Settei0ShosaiBase2::showInfo(QString a, QString b, QString c, bool button, QString d)
{
    deactivate();
    updateScreenFade();
    Form3Popup::showInfo(a, b, c, button, d);
}

void Form4Settei0ShosaiBase2::stopTimerEvent()
{
    MyTimer* timer = MyTimer::getInstance();
    timer->stopClockModori();
    timer->stopShukinMode();
    timer->stopTaikinMode();
    timer->stopDataRequest();
    timer->stopSntpSync();
}

void Form4Settei0ShosaiBase2::startTimerEvent()
{
    MyTimer* timer = MyTimer::getInstance();
    timer->setClockModori();
    timer->setKinmuMode();
    timer->setDataRequest();
    timer->setSntpSync();
    timer->setRebootTime();
}

PageHost* Form4Settei0ShosaiBase2::host(const char* operation)
{
    return settingsHostOf(this, operation);
}

void Form4Settei0ShosaiBase2::moveToBack()
{
    if (PageHost* pages = host("moveToMenu"))
        pages->moveToMenu(parentPageId, this);
}

void Form4Settei0ShosaiBase2::showKeypadMessage(const QString& message)
{
    ::showKeypadMessage(keypad, message);
}

void Form4Settei0ShosaiBase2::trySaveAndMove()
{
    values = keypad->getValues();
    if (!keypad->isMinimumOrMore())
        showKeypadMessage(QStringLiteral("入力不足"));
    else if (isOutOfRange())
        showKeypadMessage(QStringLiteral("入力範囲外"));
    else if (saveData())
        moveToBack();
}

void Form4Settei0ShosaiBase2::applySettings()
{
}

void Form4Settei0ShosaiBase2::tryDeleteAndMove()
{
    if (deleteData()) {
        applySettings();
        moveToBack();
    }
}

void Form4Settei0ShosaiBase2::trySound()
{
    if (values.value(0, -1) < 0)
        SoundModule::playTouchNG();
    else
        playSound(values.first());
}

void Form4Settei0ShosaiBase2::playSound(int)
{
}

void Form4Settei0ShosaiBase2::onBack()
{
}

void Form4Settei0ShosaiBase2::onSave(int)
{
}

void Form4Settei0ShosaiBase2::clickMyLabel(MyLabel* obj, QString id)
{
    if (!obj)
        return;
    if (!id.isEmpty())
        resultText.clear();

    if (active) {
        if (id == QStringLiteral("Back") || id == QStringLiteral("Cancel"))
            return moveToBack();
        if (id == QStringLiteral("_BG_Enter"))
            return trySaveAndMove();
        if (id == QStringLiteral("Delete"))
            return tryDeleteAndMove();
        if (id == QStringLiteral("Ping")) {
            if (isPingItem(title))
                tryPing();
            else if (isDnsItem(title))
                tryNslookup();
            return;
        }
    }
    clickWindowButton(id);
}

bool Form4Settei0ShosaiBase2::clickWindowButton(const QString& id)
{
    if (id == QStringLiteral("Pop_No") || id == QStringLiteral("Pop_Err")) {
        activate();
        updateScreenNew();
    } else if (id == QStringLiteral("Pop_Info")) {
        activate();
        moveToBack();
    } else {
        return false;
    }
    return true;
}

void Form4Settei0ShosaiBase2::showStoreResult(bool stored)
{
    if (stored)
        return updateScreenNew();
    SoundModule::playTouchNG();
    showError(QStringLiteral("保存できませんでした。"), QString());
}
