#include "form2firmupdate.h"

#include "cloudlink.h"
#include "commandquote.h"
#include "debugline.h"
#include "form1clock.h"
#include "mydebug.h"
#include "mylabel.h"
#include "networkmanager.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"
#include "resultpage.h"
#include "screenparts.h"
#include "zsystem.h"

#include <QFile>
#include <QTimer>

namespace {

constexpr int blinkMs = 1000;
constexpr int beforeInstallMs = 2000;
const QString receiveFile = QStringLiteral("/VnQo/var/fwup/cloudrecv.tmp");
const QString imageFile = QStringLiteral("/VnQo/var/fwup/firm.bin");

struct ErrorRow {
    const char* code;
    bool conversionToo;  // also shown in state 21
    const char* lines[3];  // line 1 "%1": the code
};

const ErrorRow errorRows[] = {
    {"-10", true, {"エラー：%1", "機器登録されて", "いません"}},
    {"-11", true, {"エラー：%1", "機器が利用可能な", "状態ではありません"}},
    {"-20", true, {"エラー：%1", "トークンが不正です", ""}},
    {"-21", true, {"エラー：%1", "トークンの有効期限", "が切れています"}},
    {"-30", true, {"エラー：%1", "指定したVantro", "が見つかりません"}},
    {"-31", true, {"エラー：%1", "指定したVantroが", "利用できない状態です"}},
    {"-1000", false, {"エラー：%1", "サービス利用を制限", "されています"}},
    {"-1001", false, {"エラー：%1", "サービス利用を制限", "されています"}},
    {"-1003", false, {"エラー：%1", "端末情報が登録されて", "いません"}},
    {"-1004", false, {"エラー：%1", "端末の利用が制限されて", "います"}},
    {"-9999", false, {"エラー", "ネットワーク異常です", ""}},
};

void shell(const QString& line)
{
    vnq::commandRunner().shell(line);
}

QString board(const QString& path)
{
    return vnq::shellQuoted(vnq::boardPath(path));
}

void dropCaches()
{
    shell(QStringLiteral("sync"));
    shell(QStringLiteral("echo 3 > ") + board(QStringLiteral("/proc/sys/vm/drop_caches")));
}

}  // namespace

Form2FirmUpdate::Form2FirmUpdate(QObject* parent)
    : QObject(parent)
    , label(MyLabel::getInstance())
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ctor.";
    pageMode = Idle;
    connect(label, &MyLabel::clicked, this, &Form2FirmUpdate::clickMyLabel);
    blinkTimer = new QTimer(this);
    blinkTimer->setInterval(blinkMs);
    connect(blinkTimer, &QTimer::timeout, this, &Form2FirmUpdate::onTimeout);
    cloud = CloudLink::current();
    updateScreenNew();
}

Form2FirmUpdate::~Form2FirmUpdate()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
    // Left before the installer took over: the terminal's services run again.
    if (servicesStopped && !installerStarted)
        restartServices();
}

void Form2FirmUpdate::setBackground()
{
    QString image = QStringLiteral("実行ボタン無効.png");
    if (pageMode == Idle)
        image = QStringLiteral("確認ボタン有効.png");
    else if (pageMode == Checking)
        image = QStringLiteral("確認ボタン無効.png");
    else if (pageMode == UpdateAvailable)
        image = QStringLiteral("実行ボタン有効.png");
    setFullScreenImage(label, &item, QStringLiteral("../Parts/09クラウド画面/") + image);
    setScreenTitle(label, &item, QStringLiteral("システム更新"));
    setTouchArea(label, &item, QStringLiteral("Back"), 390, 228, 80, 34);
    if (pageMode == Idle)
        setTouchArea(label, &item, QStringLiteral("Check"), 120, 185, 240, 70);
    else if (pageMode == UpdateAvailable)
        setTouchArea(label, &item, QStringLiteral("Update"), 120, 185, 240, 70);
}

void Form2FirmUpdate::setForeground()
{
    QString lines[3];
    switch (pageMode) {
    case Idle:
        lines[1] = QStringLiteral("チェックする場合は");
        lines[2] = QStringLiteral("確認ボタンをタッチ");
        break;
    case Checking:
        lines[0] = communicatingText(blinkCount);
        blinkCount = (blinkCount + 1) % 3;
        break;
    case UpdateAvailable:
        lines[0] = QStringLiteral("更新必要");
        lines[1] = QStringLiteral("最新ファームがあります");
        lines[2] = QStringLiteral("Ver.") + version;
        break;
    case Downloading:
        lines[0] = QStringLiteral("受信中(%1%)").arg(percent);
        lines[1] = QStringLiteral("ファームウエアの");
        lines[2] = QStringLiteral("ダウンロード中です");
        break;
    case Converting:
        lines[0] = QStringLiteral("チェック中(%1%)").arg(percent);
        lines[1] = QStringLiteral("ファームウエアの");
        lines[2] = QStringLiteral("チェック中です");
        break;
    case UpToDate:
        lines[0] = QStringLiteral("更新不要");
        lines[1] = version;
        break;
    case CheckFailed:
    case DownloadFailed:
    case ConvertFailed: {
        const ErrorRow* found = nullptr;
        for (const ErrorRow& row : errorRows) {
            if (errorCode == QLatin1String(row.code) && (pageMode != ConvertFailed || row.conversionToo))
                found = &row;
        }
        lines[0] = QStringLiteral("エラー：%1").arg(errorCode);
        lines[1] = pageMode == ConvertFailed ? QStringLiteral("イメージが異常です") : QStringLiteral("内部エラー");
        if (found) {
            lines[0] = QString::fromUtf8(found->lines[0]).replace(QStringLiteral("%1"), errorCode);
            lines[1] = QString::fromUtf8(found->lines[1]);
            lines[2] = QString::fromUtf8(found->lines[2]);
        }
        break;
    }
    }
    const int ys[4] = {65, 110, 140, 170};
    for (int i = 0; i < 4; ++i)
        setText(label, &item, FontStyle{240, ys[i], i == 0 ? 28.0f : 20.0f, 1, i < 3 ? lines[i] : QString(), 255, 255, 255, 255});
}

void Form2FirmUpdate::updateScreenNew()
{
    label->setNew();
    label->setClear();
    setBackground();
    label->setCopy();
    setForeground();
    label->setFlash();
}

void Form2FirmUpdate::onTimeout()
{
    updateScreenNew();
}

void Form2FirmUpdate::clickMyLabel(MyLabel* obj, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "id: " << id;
    if (!obj)
        return;
    if (id == QLatin1String("Back"))
        moveToBack();
    else if (id == QLatin1String("Check") && pageMode == Idle)
        tryMoveToNext(Checking);
    else if (id == QLatin1String("Update") && pageMode == UpdateAvailable)
        tryMoveToNext(Downloading);
}

void Form2FirmUpdate::moveToBack()
{
    if (pageMode == Checking || pageMode == Downloading || pageMode == Converting)
        return;
    backToClock(this);
}

void Form2FirmUpdate::startBlink()
{
    blinkCount = 0;
    updateScreenNew();
    blinkTimer->start();
}

void Form2FirmUpdate::tryMoveToNext(PageMode next)
{
    if (next == Checking) {
        pageMode = Checking;
        checkNeedUpdate();
        if (pageMode == Checking)
            startBlink();
    } else if (next == Downloading) {
        stopServices();
        pageMode = Downloading;
        downloadFirmware();
        if (pageMode == Downloading)
            startBlink();
    }
}

void Form2FirmUpdate::setClockModori(bool armed)
{
    if (auto* host = qobject_cast<Form1Clock*>(parent())) {
        if (armed)
            host->setClockModoriTimer();
        else
            host->stopClockModoriTimer();
    }
}

void Form2FirmUpdate::checkNeedUpdate()
{
    setClockModori(false);
    const int edition = ZSystem::mode();
    if (!cloud || (edition != ZSystem::Cloud && edition != ZSystem::Merid)) {
        // Nobody would answer: the check fails at once as a failed exchange.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウド接続なし";
        slotCheckNeedUpdate(QStringLiteral("-9999"), QString(), 0, QString());
        return;
    }
    if (edition == ZSystem::Cloud) {
        connect(cloud, QOverload<QString, QString, int, QString>::of(&CloudLink::finishedFirmwareVersion), this,
                QOverload<QString, QString, int, QString>::of(&Form2FirmUpdate::slotCheckNeedUpdate),
                Qt::UniqueConnection);
    } else {
        connect(cloud, QOverload<int, QString, int, QString>::of(&CloudLink::finishedFirmwareVersion), this,
                QOverload<int, QString, int, QString>::of(&Form2FirmUpdate::slotCheckNeedUpdate),
                Qt::UniqueConnection);
    }
    cloud->getFirmwareVersion();
}

void Form2FirmUpdate::downloadFirmware()
{
    setClockModori(false);
    percent = 0;
    const int edition = ZSystem::mode();
    if (!cloud || (edition != ZSystem::Cloud && edition != ZSystem::Merid)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウド接続なし";
        slotDownloadFirmware(QStringLiteral("-9999"));
        return;
    }
    connect(cloud, &CloudLink::downProgress, this, &Form2FirmUpdate::slotDownloadProgress, Qt::UniqueConnection);
    if (edition == ZSystem::Cloud) {
        connect(cloud, QOverload<QString>::of(&CloudLink::finishedGetFirmware), this,
                QOverload<QString>::of(&Form2FirmUpdate::slotDownloadFirmware), Qt::UniqueConnection);
    } else {
        connect(cloud, QOverload<int>::of(&CloudLink::finishedGetFirmware), this,
                QOverload<int>::of(&Form2FirmUpdate::slotDownloadFirmware), Qt::UniqueConnection);
    }
    cloud->getFirmwareFile();
}

void Form2FirmUpdate::endRequest()
{
    blinkTimer->stop();
    setClockModori(true);
}

void Form2FirmUpdate::slotCheckNeedUpdate(QString resultCode, QString offered, int size, QString md5hash)
{
    endRequest();
    errorCode = resultCode;
    version = offered;
    // Kept to check the image before it is installed.
    expected = FirmwareConverter::Expected{size, md5hash};
    if (resultCode != QLatin1String("0")) {
        pageMode = CheckFailed;
        updateScreenNew();
        return;
    }
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "version:" << ZSystem::applicationVersion()
                << ", " << offered;
    pageMode = ZSystem::needUpdate(offered) ? UpdateAvailable : UpToDate;
    updateScreenNew();
}

void Form2FirmUpdate::slotCheckNeedUpdate(int resultCode, QString offered, int size, QString md5hash)
{
    slotCheckNeedUpdate(QStringLiteral("%1").arg(resultCode), offered, size, md5hash);
}

void Form2FirmUpdate::slotDownloadProgress(int recieved, int total)
{
    // A total the worker does not know (0 or -1) keeps the last figure.
    if (total <= 0)
        return;
    percent = int(qBound<qint64>(0, qint64(recieved) * 100 / total, 100));
}

void Form2FirmUpdate::slotDownloadFirmware(QString resultCode)
{
    endRequest();
    errorCode = resultCode;
    if (resultCode != QLatin1String("0")) {
        failDownload(DownloadFailed, resultCode);
        return;
    }
    pageMode = Converting;
    percent = 0;
    updateScreenNew();
    FirmwareConverter converter(vnq::boardPath(receiveFile), vnq::boardPath(imageFile), expected);
    converter.onPiece = [this](qint64 consumed, qint64 total) {
        percent = total > 0 ? int(qBound<qint64>(0, consumed * 100 / total, 100)) : percent;
        updateScreenNew();
    };
    converter.afterPiece = dropCaches;
    const int result = converter.convert();
    if (result != 0) {
        failDownload(ConvertFailed, QString::number(result));
        return;
    }
    percent = 100;
    updateScreenNew();
    vnq::clock().sleepMs(beforeInstallMs);
    install();
}

void Form2FirmUpdate::slotDownloadFirmware(int resultCode)
{
    endRequest();
    errorCode = QStringLiteral("%1").arg(resultCode);
    if (resultCode != 0) {
        failDownload(DownloadFailed, errorCode);
        return;
    }
    percent = 0;
    pageMode = Converting;
    updateScreenNew();
    const QString image = vnq::boardPath(imageFile);
    QFile::remove(image);
    // The download is the image itself: moved, then checked like a decoded one.
    if (!QFile::rename(vnq::boardPath(receiveFile), image) || !FirmwareConverter::matches(image, expected)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ファームイメージ異常";
        QFile::remove(image);
        failDownload(ConvertFailed, QStringLiteral("-1"));
        return;
    }
    install();
}

void Form2FirmUpdate::failDownload(PageMode failed, const QString& code)
{
    errorCode = code;
    pageMode = failed;
    restartServices();
    updateScreenNew();
}

void Form2FirmUpdate::install()
{
    installerStarted = true;
    shell(board(QStringLiteral("/VnQo/var/fwup/arun")) + QStringLiteral(" > /dev/null 2>&1 &"));
}

void Form2FirmUpdate::stopServices()
{
    servicesStopped = true;
    shell(QStringLiteral("killall vnq_system_watch"));
    shell(QStringLiteral("killall vnq_netif_watch"));
    shell(board(QStringLiteral("/etc/init.d/S50lighttpd")) + QStringLiteral(" stop"));
    dropCaches();
}

void Form2FirmUpdate::restartServices()
{
    if (!servicesStopped)
        return;
    servicesStopped = false;
    NetworkManager::webServerRestart();
    vnq::commandRunner().startDetached(vnq::commandWord(vnq::boardPath(QStringLiteral("/VnQo/bin/vnq_netif_watch_starter"))));
    vnq::commandRunner().startDetached(vnq::commandWord(vnq::boardPath(QStringLiteral("/VnQo/bin/vnq_system_watch"))));
}
