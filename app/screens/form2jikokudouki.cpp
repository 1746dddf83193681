#include "form2jikokudouki.h"

#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"
#include "resultpage.h"

#include <QFile>
#include <QTimer>

namespace {

constexpr int blinkMs = 1000;
// Seconds without the success file before the attempt fails, and seconds the success is
// confirmed before it is shown.
constexpr int resultTimeoutTicks = 29;
constexpr int confirmTicks = 9;
constexpr int killTimeoutMs = 30000;

const QString okFile = QStringLiteral("/var/log/timesync_OK");
const QString ngFile = QStringLiteral("/var/log/timesync_NG");
const QString exeFile = QStringLiteral("/var/log/timesync_EXE");

bool exists(const QString& boardPath)
{
    return QFile::exists(vnq::boardPath(boardPath));
}

void remove(const QString& boardPath)
{
    QFile::remove(vnq::boardPath(boardPath));
}

}  // namespace

Form2JikokuDouki::Form2JikokuDouki(QObject* parent)
    : QObject(parent)
    , label(MyLabel::getInstance())
{
    connect(label, &MyLabel::clicked, this, &Form2JikokuDouki::clickMyLabel);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &Form2JikokuDouki::onTimeout);
    ready = true;
    disp(QString(), QStringLiteral("時刻同期を行う場合には"), QStringLiteral("実行ボタンをタッチ"), QString());
}

void Form2JikokuDouki::disp(QString headline, QString line1, QString line2, QString line3)
{
    drawResultPage(label, &item, QStringLiteral("時刻同期"), ready, {headline, line1, line2, line3});
}

void Form2JikokuDouki::startBlink()
{
    dots = 0;
    ticks = 0;
    timer->start(blinkMs);
}

void Form2JikokuDouki::clickMyLabel(MyLabel*, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "enter" << id;
    if (!ready)
        return;
    if (id == QLatin1String("Back")) {
        backToClock(this);
        return;
    }
    if (id != QLatin1String("Check"))
        return;
    MyTimer::getInstance()->lockClockModori();
    ready = false;
    successSeen = false;
    remove(okFile);
    remove(ngFile);
    if (!NetworkManager::syncNtpServerDouki()) {
        MyTimer::getInstance()->unlockClockModori();
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "[強制]時計同期_設定エラー";
        ready = true;
        disp(QStringLiteral("設定エラー"), QStringLiteral("設定および接続を確認"), QStringLiteral("してください"),
             QString());
        return;
    }
    startBlink();
}

void Form2JikokuDouki::onTimeout()
{
    if (ready) {
        timer->stop();
        return;
    }
    if (!successSeen) {
        if (++ticks > resultTimeoutTicks) {
            for (const char* script : {"vnq_sync_ntp", "vnq_sync_ntp_http", "vnq_sync_ntp_douki", "vnq_sync_ntp_http_douki"})
                vnq::commandRunner().run(QStringLiteral("killall ") + QLatin1String(script), killTimeoutMs);
            remove(exeFile);
            fail();
            return;
        }
        if (exists(okFile)) {
            ticks = 0;
            successSeen = true;
        }
        if (exists(ngFile)) {
            fail();
            return;
        }
    } else if (++ticks > confirmTicks) {
        successSeen = false;
        remove(okFile);
        finish("[強制]時計同期_成功", QStringLiteral("完了"), QStringLiteral("時刻同期を行いました"), QString());
        return;
    }
    const QString headline = communicatingText(dots);
    dots = (dots + 1) % 3;
    disp(headline, QString(), QString(), QString());
}

void Form2JikokuDouki::fail()
{
    remove(ngFile);
    finish("[強制]時計同期_失敗", QStringLiteral("ネットワーク異常"), QStringLiteral("設定および接続を確認"),
           QStringLiteral("してください"));
}

void Form2JikokuDouki::finish(const char* logText, const QString& headline, const QString& line1, const QString& line2)
{
    MyTimer::getInstance()->unlockClockModori();
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << logText;
    ready = true;
    timer->stop();
    disp(headline, line1, line2, QString());
}
