#include "form2centerkakunin.h"

#include "cloudlink.h"
#include "debugline.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "resultpage.h"
#include "zsystem.h"

#include <QTimer>

namespace {

constexpr int blinkMs = 1000;

struct AnswerRow {
    int code;
    const char* texts[4];
};

// The answers both services share; a code of neither table shows "エラー:" and the code.
const AnswerRow commonRows[] = {
    {0, {"接続成功", "センターとの接続に", "成功しました", ""}},
    {-9999, {"ネットワーク異常", "設定および接続を確認", "してください", ""}},
    {-8888, {"", "チェックする場合は", "実行ボタンをタッチ", ""}},
};
const AnswerRow soapRows[] = {
    {-10, {"エラー:-10", "機器登録されて", "いません", ""}},
    {-11, {"エラー:-11", "機器が利用可能な", "状態ではありません", ""}},
    {-20, {"エラー:-20", ":トークンが不正です", "", ""}},
};
const AnswerRow jsonRows[] = {
    {-1000, {"エラー:-1000", "サービス利用を制限", "されています", ""}},
    {-1001, {"エラー:-1001", "サービス利用期間", "ではありません", ""}},
    {-1003, {"エラー:-1003", "端末情報が登録されて", "いません", ""}},
    {-1004, {"エラー:-1004", "端末の利用が制限されて", "います", ""}},
};

template <size_t N>
const AnswerRow* findRow(const AnswerRow (&rows)[N], const QString& code)
{
    for (const AnswerRow& row : rows) {
        if (code == QString::number(row.code))
            return &row;
    }
    return nullptr;
}

}  // namespace

Form2CenterKakunin::Form2CenterKakunin(QObject* parent)
    : QObject(parent)
    , label(MyLabel::getInstance())
{
    connect(label, &MyLabel::clicked, this, &Form2CenterKakunin::clickMyLabel);
    blinkTimer = new QTimer(this);
    connect(blinkTimer, &QTimer::timeout, this, &Form2CenterKakunin::onTimeout);
    cloud = CloudLink::current();
    if (cloud && ZSystem::mode() == ZSystem::Cloud) {
        connect(cloud, QOverload<QString>::of(&CloudLink::finishedGetServiceName), this,
                QOverload<QString>::of(&Form2CenterKakunin::recieveCB));
    } else if (cloud && ZSystem::mode() == ZSystem::Merid) {
        connect(cloud, QOverload<int>::of(&CloudLink::finishedGetServiceName), this,
                QOverload<int>::of(&Form2CenterKakunin::recieveCB));
    }
    active = true;
    disp(QString(), QStringLiteral("チェックする場合は"), QStringLiteral("実行ボタンをタッチ"), QString());
}

void Form2CenterKakunin::disp(QString status, QString line1, QString line2, QString line3)
{
    drawResultPage(label, &item, QStringLiteral("センター接続確認"), active, {status, line1, line2, line3});
}

void Form2CenterKakunin::startBlink()
{
    blinkCount = 0;
    blinkTimer->start(blinkMs);
}

void Form2CenterKakunin::clickMyLabel(MyLabel*, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "enter" << id;
    if (!active)
        return;
    if (id == QLatin1String("Back")) {
        backToClock(this);
        return;
    }
    if (id != QLatin1String("Check"))
        return;
    MyTimer::getInstance()->lockClockModori();
    active = false;
    NetworkManager::syncNtpServer();
    if (!cloud || ZSystem::mode() == ZSystem::Basic) {
        // Nobody would answer: the page answers itself as for a failed exchange, so it never
        // waits with "Back" refused and the deadline suspended.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウド接続なし";
        endCheck(QStringLiteral("-9999"));
        return;
    }
    cloud->getServiceName();
    startBlink();
}

void Form2CenterKakunin::onTimeout()
{
    if (active) {
        blinkTimer->stop();
        return;
    }
    const QString status = communicatingText(blinkCount);
    blinkCount = (blinkCount + 1) % 3;
    disp(status, QString(), QString(), QString());
}

void Form2CenterKakunin::recieveCB(QString retCode)
{
    endCheck(retCode);
}

void Form2CenterKakunin::recieveCB(int retCode)
{
    endCheck(QString::number(retCode));
}

void Form2CenterKakunin::endCheck(const QString& code)
{
    MyTimer::getInstance()->unlockClockModori();
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << code;
    active = true;
    blinkTimer->stop();
    const AnswerRow* row = findRow(commonRows, code);
    if (!row && ZSystem::mode() == ZSystem::Merid)
        row = findRow(jsonRows, code);
    else if (!row)
        row = findRow(soapRows, code);
    if (!row) {
        disp(QStringLiteral("エラー:") + code, QStringLiteral("内部エラー"), QString(), QString());
        return;
    }
    disp(QString::fromUtf8(row->texts[0]), QString::fromUtf8(row->texts[1]), QString::fromUtf8(row->texts[2]),
         QString::fromUtf8(row->texts[3]));
}
