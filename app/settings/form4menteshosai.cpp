#include "form4menteshosai.h"

#include "cloudlink.h"
#include "commandquote.h"
#include "debugline.h"
#include "form3popup.h"
#include "form4mente.h"
#include "heartbeat.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "networkmanager.h"
#include "pagehost.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"
#include "screenparts.h"
#include "settingshost.h"
#include "soundmodule.h"
#include "zsystem.h"

#include <QFileInfo>
#include <QTimer>

namespace {

const QString backgroundPlain = QStringLiteral("../Parts/03設定画面背景/設定画面_パターン4.png");
const QString backgroundInfo = QStringLiteral("../Parts/03設定画面背景/設定画面_パターン5.png");
const QString backgroundCalibration = QStringLiteral("../Parts/06_テンキー画面/テンキー画面11.png");
const QString windowFolder = QStringLiteral("../Parts/07メッセージウインドウ画面/");

QString pointercal()
{
    return vnq::boardPath(QStringLiteral("/etc/pointercal"));
}

QString pointercalBackup()
{
    return vnq::boardPath(QStringLiteral("/etc/pointercal.bak"));
}

// Puts the calibration saved before the last run back.
void restoreCalibrationFiles()
{
    vnq::CommandRunner& runner = vnq::commandRunner();
    runner.shell(QStringLiteral("mv ") + vnq::shellQuoted(pointercalBackup()) + QLatin1Char(' ')
                 + vnq::shellQuoted(pointercal()));
    runner.shell(QStringLiteral("sync"));
}

QString applicationName(int edition)
{
    switch (edition) {
    case ZSystem::Cloud:
        return QStringLiteral("VantroQo ｸﾗｳﾄﾞ");
    case ZSystem::Merid:
        return QStringLiteral("VantroQo Merid");
    default:
        return QStringLiteral("VantroQo");
    }
}

}  // namespace

Form4MenteShosai::Form4MenteShosai(QObject* parent, QString itemId)
    : QObject(parent)
    , label(MyLabel::getInstance())
    , itemId(itemId)
    , title(getTitle(itemId))
{
    connect(label, &MyLabel::clicked, this, &Form4MenteShosai::clickMyLabel);
    if (itemId == QStringLiteral("00"))
        updateScreenSystemInfo();
    else if (itemId == QStringLiteral("01"))
        updateScreenFactoryReset();
    else if (itemId == QStringLiteral("02"))
        updateScreenDataClear();
    else if (itemId == QStringLiteral("03"))
        updateScreenCalibration();
}

Form4MenteShosai::~Form4MenteShosai()
{
    if (calibrating() && QFileInfo::exists(pointercalBackup())) {
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "キャリブレーション中断";
        restoreCalibrationFiles();
        label->reinitTouchscreen();
    }
    label = nullptr;
}

QString Form4MenteShosai::getTitle(QString id)
{
    return Form4Mente::GetTitle(id);
}

bool Form4MenteShosai::calibrating() const
{
    return itemId == QStringLiteral("03");
}

void Form4MenteShosai::moveToBack()
{
    if (PageHost* host = settingsHostOf(this, "moveToMenu"))
        host->moveToMenu(Form4Mente::Menu, this);
}

void Form4MenteShosai::setBgImage(const QString& image)
{
    setFullScreenImage(label, &item, image);
}

void Form4MenteShosai::setBgTitle()
{
    setScreenTitle(label, &item, title);
}

void Form4MenteShosai::setBgBackButton()
{
    setTouchArea(label, &item, QStringLiteral("Back"), 390, 228, 80, 34);
}

void Form4MenteShosai::setBgStartButton()
{
    setTouchArea(label, &item, QStringLiteral("Start"), 135, 125, 190, 70);
}

void Form4MenteShosai::beginScreen(const QString& image)
{
    label->setNew();
    label->setClear();
    setBgImage(image);
    setBgTitle();
}

void Form4MenteShosai::setInfoLine(const QString& caption, int x, int y, const QString& value)
{
    label->initItem(&item);
    for (FontStyle* style : {&item.label, &item.sublabel}) {
        style->px = 18;
        style->margin = 0;
        style->r = style->g = style->b = 0;
        style->a = 255;
    }
    item.label.x = x;
    item.label.y = y;
    item.label.text = caption;
    item.sublabel.x = x + 10;
    item.sublabel.y = y + 22;
    item.sublabel.text = value;
    label->setItem(&item);
}

void Form4MenteShosai::updateScreenSystemInfo()
{
    const int edition = ZSystem::mode();
    beginScreen(backgroundInfo);
    setBgBackButton();
    setInfoLine(QStringLiteral("アプリケーション"), 80, 70, applicationName(edition));
    setInfoLine(QStringLiteral("バージョン"), 80, 115, ZSystem::applicationVersion());
    setInfoLine(QStringLiteral("シリアルNo."), 80, 160, ZSystem::termSerialNumber());
    setInfoLine(QStringLiteral("MACアドレス(有線)"), 240, 70, NetworkManager::getEthMacaddr());
    setInfoLine(QStringLiteral("MACアドレス(無線)"), 240, 115, NetworkManager::getWlanMacaddr());
    if (edition == ZSystem::Cloud || edition == ZSystem::Merid) {
        // The key as the edition's worker computes it.
        const CloudLink* link = CloudLink::current();
        setInfoLine(edition == ZSystem::Cloud ? QStringLiteral("クラウドキー") : QStringLiteral("クライアントキー"), 240,
                    160, link ? link->clientKey() : QString());
    }
    label->setFlash();
}

void Form4MenteShosai::updateScreenFactoryReset()
{
    beginScreen(backgroundPlain);
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数2.png"), QStringLiteral("確認"),
                         QStringLiteral("すべての打刻データの削除"), QStringLiteral("各種マスターを初期化します"),
                         QStringLiteral("よろしいですか？"), QString(), 0, 0, 0);
    Form3Popup::setButton(QStringLiteral("Pop_Yes"), 130, 185, QStringLiteral("はい"));
    Form3Popup::setButton(QStringLiteral("Pop_No"), 270, 185, QStringLiteral("いいえ"));
    label->setFlash();
}

void Form4MenteShosai::updateScreenDataClear()
{
    beginScreen(backgroundPlain);
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数2.png"), QStringLiteral("確認"),
                         QStringLiteral("すべての打刻データのみ削除"), QStringLiteral("します。各種マスターは削除"),
                         QStringLiteral("されません。実行しますか？"), QString(), 0, 0, 0);
    Form3Popup::setButton(QStringLiteral("Pop_Yes"), 130, 185, QStringLiteral("はい"));
    Form3Popup::setButton(QStringLiteral("Pop_No"), 270, 185, QStringLiteral("いいえ"));
    label->setFlash();
}

void Form4MenteShosai::updateScreenCalibration()
{
    beginScreen(backgroundCalibration);
    setBgBackButton();
    setBgStartButton();
    label->setFlash();
}

void Form4MenteShosai::updateScreenFactoryResetWait()
{
    beginScreen(backgroundPlain);
    setBgBackButton();
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数0.png"), QStringLiteral("確認"),
                         QString(), QStringLiteral("初期化中です....."), QString(), QString(), 0, 0, 0);
    label->setFlash();
}

void Form4MenteShosai::updateScreenDataCleartWait()
{
    beginScreen(backgroundPlain);
    setBgBackButton();
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数0.png"), QStringLiteral("確認"),
                         QString(), QStringLiteral("削除中です....."), QString(), QString(), 0, 0, 0);
    label->setFlash();
}

void Form4MenteShosai::updateScreenFinish()
{
    beginScreen(backgroundPlain);
    if (!calibrating())
        setBgBackButton();
    const QString text = failureText.isEmpty() ? QStringLiteral("完了しました") : failureText;
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数1.png"), QStringLiteral("確認"),
                         QString(), text, QString(), QString(), 0, 0, 0);
    Form3Popup::setButton(QStringLiteral("Pop_back"), 200, 185, QStringLiteral("戻る"));
    label->setFlash();
}

bool Form4MenteShosai::runScript(const QString& script)
{
    const vnq::CommandResult result = vnq::commandRunner().run(vnq::commandWord(vnq::boardPath(script)), ScriptTimeoutMs);
    const bool done = result.started && result.finished && result.exitCode == 0;
    if (!done)
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << script << "exit:" << result.exitCode;
    return done;
}

void Form4MenteShosai::trySave()
{
    // The scripts and the network steps block the main thread for long.
    vnq::WatchdogPause longWork;
    failureText.clear();
    if (itemId == QStringLiteral("01")) {
        updateScreenFactoryResetWait();
        if (!runScript(QStringLiteral("/VnQo/bin/vnq_restore")))
            failureText = QStringLiteral("初期化に失敗しました");
        // Part of the settings may have changed even when the script failed.
        if (ZSystem::mode() == ZSystem::Basic)
            NetworkManager::webServerRestart();
        NetworkManager::syncNtpServer();
        if (!NetworkManager::setNetwork())
            NetworkManager::downNetwork();
        SoundModule::systemVolume();
        MyTimer::getInstance()->setBacklight(true);
        MyTimer::getInstance()->setClockModori();
    } else if (itemId == QStringLiteral("02")) {
        updateScreenDataCleartWait();
        if (!runScript(QStringLiteral("/VnQo/bin/vnq_dakoku_reset")))
            failureText = QStringLiteral("削除に失敗しました");
    }
    updateScreenFinish();
}

void Form4MenteShosai::updateScreenCalibrationExec()
{
    vnq::CommandRunner& runner = vnq::commandRunner();
    runner.shell(QStringLiteral("rm ") + vnq::shellQuoted(pointercalBackup()));
    runner.shell(QStringLiteral("cp ") + vnq::shellQuoted(pointercal()) + QLatin1Char(' ')
                 + vnq::shellQuoted(pointercalBackup()));
    bool calibrated = false;
    {
        vnq::WatchdogPause waitingForTouches;
        const vnq::CommandResult result = runner.run(QStringLiteral("ts_calibrate"), CalibrationTimeoutMs);
        calibrated = result.started && result.finished;
    }
    if (!calibrated && QFileInfo::exists(pointercalBackup())) {
        // Nobody finished it: the previous calibration goes back at once.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ts_calibrate did not finish";
        restoreCalibrationFiles();
    }
    label->reinitTouchscreen();
    MyTimer::getInstance()->setBacklight(true);
    MyTimer::getInstance()->setClockModori();
    if (!MyTimer::getInstance()->clockModoriArmed() && QFileInfo::exists(pointercalBackup()))
        armConfirmationDeadline();
    updateScreenFinish();
}

void Form4MenteShosai::armConfirmationDeadline()
{
    confirmationDeadline = vnq::clock().now().addSecs(ConfirmationTimeoutSecs);
    if (!confirmationTimer) {
        confirmationTimer = new QTimer(this);
        confirmationTimer->setInterval(1000);
        connect(confirmationTimer, &QTimer::timeout, this, &Form4MenteShosai::checkConfirmationDeadline);
    }
    confirmationTimer->start();
}

void Form4MenteShosai::checkConfirmationDeadline()
{
    if (!confirmationDeadline.isValid() || vnq::clock().now() < confirmationDeadline)
        return;
    confirmationDeadline = QDateTime();
    confirmationTimer->stop();
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "キャリブレーション確認待ち時間切れ";
    // The page host deletes this screen, whose destructor puts the old calibration back.
    moveToBack();
}

void Form4MenteShosai::confirmCalibration()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "キャリブレーション成功";
    vnq::commandRunner().shell(QStringLiteral("rm ") + vnq::shellQuoted(pointercalBackup()));
    vnq::commandRunner().shell(QStringLiteral("sync"));
}

void Form4MenteShosai::clickMyLabel(MyLabel* obj, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "id:" << id;
    if (!obj)
        return;
    if (id == QStringLiteral("Back") || id == QStringLiteral("Pop_No")) {
        moveToBack();
    } else if (id == QStringLiteral("Pop_Yes")) {
        trySave();
    } else if (id == QStringLiteral("Start")) {
        updateScreenCalibrationExec();
    } else if (id == QStringLiteral("Pop_back")) {
        if (calibrating())
            confirmCalibration();
        moveToBack();
    }
}
