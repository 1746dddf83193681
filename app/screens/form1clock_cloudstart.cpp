#include "form1clock.h"

#include "cloudlink.h"
#include "commandquote.h"
#include "dbdakoku.h"
#include "dbsetting.h"
#include "debugline.h"
#include "heartbeat.h"
#include "mydebug.h"
#include "networkmanager.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"

#include <QFile>

// The start-up of the cloud editions: the network, the Wi-Fi access point, a missing kernel
// image, the clock synchronisation and the first full request. The event loop is not running
// yet, so every wait blocks; each second of it feeds the watchdog.

namespace {

constexpr int wifiPasses = 20;
constexpr int goodReadingsInARow = 3;
constexpr int afterRenewalSeconds = 3;
constexpr int settleSeconds = 8;
constexpr int netUpTimeoutMs = 30 * 1000;
constexpr int downloadTimeoutMs = 600 * 1000;

// The watchdog leaves the main thread alone while one of these lives (a waited script).
class WatchdogPass {
public:
    WatchdogPass() { selfcheckpass = true; }
    ~WatchdogPass() { selfcheckpass = false; }
    WatchdogPass(const WatchdogPass&) = delete;
    WatchdogPass& operator=(const WatchdogPass&) = delete;
};

void waitSeconds(int seconds)
{
    for (int i = 0; i < seconds; ++i) {
        vnq::clock().sleepMs(1000);
        ++selftick;
    }
}

}  // namespace

void Form1Clock::startCloud()
{
    recvApiInfo(1, QStringLiteral("ネットワーク初期化中"));
    NetworkManager::setNetwork();
    DBDakoku::resetDakokuCloudSendStatus();
    if (!NetworkManager::nowSettingNic())
        waitForAccessPoint();
    waitSeconds(settleSeconds);
    downloadKernelImage();
    NetworkManager::syncNtpServer();

    CloudLink* link = CloudLink::forEdition();
    if (!link) {
        // Without a worker the start-up request can never end: the clock comes up as after
        // a failed one.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウド接続なし";
        recvAllUpdateFinish(1, QStringLiteral("failed"));
        return;
    }
    connect(link, &CloudLink::allUpdateFinish, this, &Form1Clock::recvAllUpdateFinish);
    connect(link, &CloudLink::apiInfo, this, &Form1Clock::recvApiInfo);
    link->startDataRequest(1);
}

// Up to 20 readings a second apart; three good ones in a row renew the DHCP lease (when the
// address comes from DHCP) and end the wait after 3 s more.
void Form1Clock::waitForAccessPoint()
{
    int goodInARow = 0;
    for (int pass = 0; pass < wifiPasses; ++pass) {
        waitSeconds(1);
        const int level = NetworkManager::getApSignalLevelOnce();
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "アンテナレベル:" << level;
        if (level < 1) {
            goodInARow = 0;
            continue;
        }
        if (++goodInARow < goodReadingsInARow)
            continue;
        int dhcp = 0;
        if (DBSetting::getParamJ(QStringLiteral("DHCPの設定"), &dhcp) == 0 && dhcp > 0) {
            DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "DHCPを取り直す";
            WatchdogPass pass;
            vnq::commandRunner().run(vnq::boardPath(QStringLiteral("/VnQo/etc/network/net_up.sh")), netUpTimeoutMs);
        }
        waitSeconds(afterRenewalSeconds);
        return;
    }
}

// The download script takes the curl proxy options as its one argument. They carry the proxy
// credentials as typed, so the script is started without a shell and the log masks them.
void Form1Clock::downloadKernelImage()
{
    if (QFile::exists(vnq::boardPath(QStringLiteral("/root/zImage.20171127"))))
        return;
    recvApiInfo(1, QStringLiteral("更新ファイルダウンロード中"));
    const QString script = vnq::boardPath(QStringLiteral("/VnQo/var/opt/zImageDownload.sh"));
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << script
              << NetworkManager::curlProxyOptForLog();
    WatchdogPass pass;
    const vnq::CommandResult result = vnq::commandRunner().run(
        script + QLatin1Char(' ') + vnq::commandArgument(NetworkManager::curlProxyOpt()), downloadTimeoutMs);
    if (result.started && !result.finished)
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ダウンロード時間切れ";
}
