#include "form2tsushincloud.h"

#include "cloudlink.h"
#include "dbdakoku.h"
#include "debugline.h"
#include "keypad.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "platform/clock.h"
#include "resultpage.h"
#include "screenparts.h"
#include "soundmodule.h"
#include "zsystem.h"

#include <QTimer>

namespace {

constexpr int blinkMs = 1000;
constexpr int wrongCodeMs = 2000;
const QString accessCode = QStringLiteral("583019");
const QString buttonSound = QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav");
const QString errorSound = QStringLiteral("/VnQo/app/Sound/%1/ERROR.wav");

}  // namespace

Form2TsushinCloud::Form2TsushinCloud(QObject* parent)
    : QObject(parent)
    , label(MyLabel::getInstance())
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ctor.";
    pageMode = Idle;
    connect(label, &MyLabel::clicked, this, &Form2TsushinCloud::clickMyLabel);
    blinkTimer = new QTimer(this);
    blinkTimer->setInterval(blinkMs);
    connect(blinkTimer, &QTimer::timeout, this, &Form2TsushinCloud::onTimeout);
    keypad = new Keypad(this, 0, 0, QStringLiteral("パスワード******"), QList<int>{-1}, true,
                        QStringLiteral("パスワード入力"));
    cloud = CloudLink::current();
    active = true;
    keypad->deactivate();
    updateScreenNew();
}

Form2TsushinCloud::~Form2TsushinCloud()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
    delete blinkTimer;
    if (cloud)
        disconnect(cloud, nullptr, this, nullptr);
}

void Form2TsushinCloud::setBackground()
{
    setFullScreenImage(label, &item, QStringLiteral("../Parts/09クラウド画面/通信_画面.png"));
    setScreenTitle(label, &item, QStringLiteral("通信"));
    setTouchArea(label, &item, QStringLiteral("Back"), 390, 228, 80, 34);
    if (active && pageMode == Idle) {
        setTouchArea(label, &item, QStringLiteral("Dakoku"), 120, 110, 240, 70);
        setTouchArea(label, &item, QStringLiteral("DakokuAll"), 120, 185, 240, 70);
    }
}

void Form2TsushinCloud::setForeground()
{
    QString text;
    switch (pageMode) {
    case Idle: {
        unsigned int unsent = 0;
        DBDakoku::getDakokuUnsentCount(&unsent);
        text = QStringLiteral("未送信%1件").arg(unsent);
        break;
    }
    case Sending:
    case SendingAll:
        text = communicatingText(blinkCount);
        blinkCount = (blinkCount + 1) % 3;
        break;
    case Sent:
    case SentAll:
        text = QStringLiteral("送信%1件").arg(sendCount);
        break;
    case SendFailed:
    case SendAllFailed:
        text = resultCode == QLatin1String("-9999") ? QStringLiteral("ネットワーク異常")
                                                     : QStringLiteral("エラー：%1").arg(resultCode);
        break;
    }
    setText(label, &item, FontStyle{240, 65, 28, 1, text, 255, 255, 255, 255});
}

void Form2TsushinCloud::updateScreenNew()
{
    label->setNew();
    label->setClear();
    setBackground();
    label->setCopy();
    setForeground();
    label->setFlash();
}

void Form2TsushinCloud::onTimeout()
{
    updateScreenNew();
}

void Form2TsushinCloud::clickMyLabel(MyLabel* obj, QString id)
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << id << (active ? "true" : "false");
    if (!obj)
        return;
    if (active && id == QLatin1String("Back")) {
        moveToBack();
        return;
    }
    // Only the open code keypad can be cancelled: a send that has begun runs to its answer.
    if (id == QLatin1String("Cancel") && keypad->active()) {
        pageMode = Idle;
        active = true;
        keypad->deactivate();
        updateScreenNew();
        return;
    }
    if (!active) {
        if (id == QLatin1String("_BG_Enter") && keypad->active())
            tryMoveToNext(SendingAll);
        return;
    }
    if (id == QLatin1String("Dakoku"))
        tryMoveToNext(Sending);
    else if (id == QLatin1String("DakokuAll"))
        showKeypad();
}

void Form2TsushinCloud::moveToBack()
{
    if (sending())
        return;
    backToClock(this);
}

void Form2TsushinCloud::showKeypad()
{
    active = false;
    keypad->activate();
    label->setClear();
    keypad->setOriginalValue(-1);
    keypad->setBackground();
    label->setCopy();
    label->setFlash();
    label->setPast();
    keypad->setForeground();
    label->setFlash();
}

void Form2TsushinCloud::startBlink()
{
    blinkCount = 0;
    blinkTimer->start();
}

void Form2TsushinCloud::tryMoveToNext(PageMode next)
{
    blinkTimer->stop();
    if (next == Sending) {
        active = false;
        keypad->deactivate();
        pageMode = Sending;
        startBlink();
        send(4);
    } else if (next == SendingAll && pageMode == Idle && keypad->active()) {
        checkAccessCode();
    } else if (next == SendingAll) {
        active = false;
        keypad->deactivate();
        pageMode = SendingAll;
        startBlink();
        send(5);
    } else {
        pageMode = next;
        updateScreenNew();
    }
}

// The code typed on the keypad: the access code starts the send of every stamp; anything
// else is answered on the keypad for 2 s.
void Form2TsushinCloud::checkAccessCode()
{
    const QString typed = QStringLiteral("%1").arg(keypad->getValues().value(0, -1), 6, 10, QLatin1Char('0'));
    if (keypad->isMinimumOrMore() && typed == accessCode) {
        SoundModule::play(buttonSound, SoundModule::touchVolume);
        active = false;
        keypad->deactivate();
        pageMode = SendingAll;
        startBlink();
        send(5);
        return;
    }
    keypad->text = QStringLiteral("-2");
    keypad->errorString = keypad->isMinimumOrMore() ? QString() : QStringLiteral("入力不足");
    keypad->updateScreen();
    SoundModule::play(errorSound, SoundModule::touchVolume);
    vnq::clock().sleepMs(wrongCodeMs);
    keypad->text = keypad->initialText;
    keypad->editing = false;
    keypad->updateScreen();
}

void Form2TsushinCloud::send(int mode)
{
    MyTimer::getInstance()->lockClockModori();
    const int edition = ZSystem::mode();
    if (!cloud || (edition != ZSystem::Cloud && edition != ZSystem::Merid)) {
        // Nobody would answer: fail at once as a refused request, so "Back" works again.
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウド接続なし";
        onFinishDakokuSending(QStringLiteral("-9999"), 0);
        return;
    }
    if (edition == ZSystem::Cloud) {
        connect(cloud, QOverload<QString, int>::of(&CloudLink::finishedDakokuSending), this,
                QOverload<QString, int>::of(&Form2TsushinCloud::onFinishDakokuSending));
    } else {
        connect(cloud, QOverload<int, int>::of(&CloudLink::finishedDakokuSending), this,
                QOverload<int, int>::of(&Form2TsushinCloud::onFinishDakokuSending));
    }
    cloud->startDataRequest(mode);
}

void Form2TsushinCloud::disconnectAnswer()
{
    if (!cloud)
        return;
    disconnect(cloud, QOverload<QString, int>::of(&CloudLink::finishedDakokuSending), this, nullptr);
    disconnect(cloud, QOverload<int, int>::of(&CloudLink::finishedDakokuSending), this, nullptr);
}

void Form2TsushinCloud::onFinishDakokuSending(QString code, int dakokuSendCount)
{
    MyTimer::getInstance()->unlockClockModori();
    disconnectAnswer();
    resultCode = code;
    sendCount = dakokuSendCount;
    const bool ok = code == QLatin1String("0");
    if (pageMode == SendingAll)
        tryMoveToNext(ok ? SentAll : SendAllFailed);
    else
        tryMoveToNext(ok ? Sent : SendFailed);
    active = true;
    keypad->deactivate();
}

void Form2TsushinCloud::onFinishDakokuSending(int code, int dakokuSendCount)
{
    onFinishDakokuSending(QStringLiteral("%1").arg(code), dakokuSendCount);
}
