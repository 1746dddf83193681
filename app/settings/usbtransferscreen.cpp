#include "usbtransferscreen.h"

#include "commandquote.h"
#include "dbsetting.h"
#include "form3popup.h"
#include "heartbeat.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "pagehost.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"
#include "screenparts.h"
#include "settingshost.h"

#include <QDateTime>

namespace {

const QString windowFolder = QStringLiteral("../Parts/07メッセージウインドウ画面/");

}  // namespace

UsbTransferScreen::UsbTransferScreen(QObject* parent, const Texts& texts)
    : QObject(parent)
    , texts(texts)
    , label(MyLabel::getInstance())
{
    connect(label, &MyLabel::clicked, this, &UsbTransferScreen::clickMyLabel);
    updateScreenYesNo();
}

UsbTransferScreen::~UsbTransferScreen()
{
    label = nullptr;
}

void UsbTransferScreen::setBgImage()
{
    setFullScreenImage(label, &item, QStringLiteral("../Parts/03設定画面背景/設定画面_パターン4.png"));
}

void UsbTransferScreen::setBgTitle()
{
    setScreenTitle(label, &item, texts.title);
}

void UsbTransferScreen::beginScreen()
{
    label->setNew();
    label->setClear();
    setBgImage();
    setBgTitle();
}

void UsbTransferScreen::updateScreenYesNo()
{
    beginScreen();
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数2.png"), QStringLiteral("確認"),
                         QString(), texts.question, QString(), QString(), 0, 0, 0);
    Form3Popup::setButton(QStringLiteral("Pop_Yes"), 130, 185, QStringLiteral("はい"));
    Form3Popup::setButton(QStringLiteral("Pop_No"), 270, 185, QStringLiteral("いいえ"));
    label->setFlash();
}

void UsbTransferScreen::updateScreenWait()
{
    beginScreen();
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数0.png"), QStringLiteral("確認"),
                         QString(), texts.waiting, QString(), QString(), 0, 0, 0);
    label->setFlash();
}

void UsbTransferScreen::updateScreenFinish(int exitCode)
{
    const QString result = exitCode == 0 ? texts.done
        : exitCode == NoUsbMemory        ? QStringLiteral("USBメモリが見つかりません")
                                         : texts.failed;
    beginScreen();
    Form3Popup::setFrame(windowFolder + QStringLiteral("メッセージウインドウ_ボタン数1.png"), QStringLiteral("確認"),
                         QString(), result, QString(), QString(), 0, 0, 0);
    Form3Popup::setButton(QStringLiteral("Pop_back"), 200, 185, QStringLiteral("戻る"));
    if (exitCode == 0)
        saveTimestamp();
    label->setFlash();
}

void UsbTransferScreen::trySave()
{
    updateScreenWait();
    vnq::CommandResult run;
    {
        vnq::WatchdogPause longWork;
        MyTimer::getInstance()->stopClockModori();
        MyTimer::getInstance()->stopBacklight();
        run = vnq::commandRunner().run(vnq::commandWord(vnq::boardPath(texts.script)), ScriptTimeoutMs);
    }
    MyTimer::getInstance()->setClockModori();
    MyTimer::getInstance()->setBacklight(true);
    // Only a normal exit counts; a script that did not start, was killed or hung has none.
    const int exitCode = run.started && run.finished ? run.exitCode : -1;
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << texts.script << "exit:" << exitCode;
    updateScreenFinish(exitCode);
}

void UsbTransferScreen::saveTimestamp()
{
    DBSetting::setTsushin(texts.timeRow, int(vnq::clock().now().toSecsSinceEpoch()));
}

void UsbTransferScreen::moveToBack()
{
    if (PageHost* host = settingsHostOf(this, "moveToMenu"))
        host->moveToMenu(22, this);
}

void UsbTransferScreen::clickMyLabel(MyLabel* obj, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "id: " << id;
    if (!obj)
        return;
    if (id == QStringLiteral("Pop_Yes"))
        trySave();
    else if (id == QStringLiteral("Pop_No") || id == QStringLiteral("Pop_back"))
        moveToBack();
}

Form4AdminUsbOut::Form4AdminUsbOut(QObject* parent)
    : UsbTransferScreen(parent,
                        {QStringLiteral("バックアップ"), QStringLiteral("バックアップを開始します"),
                         QStringLiteral("バックアップ中です....."), QStringLiteral("/VnQo/bin/vnqo_usb_backup"),
                         QStringLiteral("バックアップが完了しました"), QStringLiteral("バックアップに失敗しました"),
                         QStringLiteral("バックアップ")})
{
}

Form4AdminRestore::Form4AdminRestore(QObject* parent)
    : UsbTransferScreen(parent,
                        {QStringLiteral("リストア"), QStringLiteral("リストアを開始します"),
                         QStringLiteral("リストア中です....."), QStringLiteral("/VnQo/bin/vnqo_usb_restore"),
                         QStringLiteral("リストアが完了しました"), QStringLiteral("リストアに失敗しました"),
                         QStringLiteral("リストア")})
{
}
