#include "form1clock.h"

#include "debugline.h"
#include "iccardmodule.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "platform/boardroot.h"
#include "zsystem.h"

#include <QFile>
#include <QTimer>

Form1Clock::Form1Clock(QObject* parent)
    : QObject(parent)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ctor.";
    ZSystem::getInstance();
    label = MyLabel::getInstance();
    cardModule = ICCardModule::getInstance();
    connect(label, &MyLabel::clicked, this, &Form1Clock::clickMyLabel);
    connect(label, &MyLabel::ready, this, &Form1Clock::readyVistrel);
    connect(cardModule, &ICCardModule::cardTouch, this, &Form1Clock::onCardTouch);
    // The scheduler's tick is also the watchdog's heartbeat: it must run from here on, through
    // a long cloud start-up, although its deadlines are connected only at the first load.
    MyTimer::getInstance();

    usbMemoryMounted = ZSystem::mountSystemUsbmem();
    userFlashMounted = ZSystem::mountUserSpiFlush();
    deleteLockFile();

    switch (ZSystem::mode()) {
    case ZSystem::Basic:
        startBasic();
        break;
    case ZSystem::Cloud:
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "クラウドモデル";
        startCloud();
        break;
    case ZSystem::Merid:
        MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Meridモデル";
        startCloud();
        break;
    default:
        break;
    }

    connect(MyTimer::getInstance(), &MyTimer::apiInfo, this, &Form1Clock::recvApiInfo);
}

Form1Clock::~Form1Clock()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "dest.";
    delete clockTimer;
}

void Form1Clock::startBasic()
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ベーシックモデル";
    ntpSynced = false;
    loadSettings(true);
    returnPage(nullptr, false);
}

void Form1Clock::movePage(int number, QObject* caller)
{
    changePage(PageTable::MovePage, number, caller, QString());
}

void Form1Clock::moveToMenu(int number, QObject* caller)
{
    changePage(PageTable::MoveToMenu, number, caller, QString());
}

void Form1Clock::moveToShosai(int number, QObject* caller, QString id)
{
    changePage(PageTable::MoveToShosai, number, caller, id);
}

void Form1Clock::changePage(PageTable::Move move, int number, QObject* caller, const QString& id)
{
    formActive = 0;
    if (number == 0)
        return;
    ZSystem::lockWebSerive();
    if (caller && move != PageTable::MoveToShosai)
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "delete.";
    closeScreens(caller);

    QObject* page = PageTable::create(move, number, this, id);
    if (!page) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "画面番号なし:" << number
                  << PageTable::moveName(move);
        returnPage(nullptr, false);
        return;
    }
    currentPage = page;
    setClockModoriTimer();
}

void Form1Clock::returnPage(QObject* caller, bool keep)
{
    if (!keep) {
        ZSystem::unlockWebSerive();
        lockBusy = false;
        deleteLockFile();
    }

    lastSecond = -1;
    formActive = 1;
    closeScreens(caller);
    MyTimer::getInstance()->stopClockModori();
    allowCardTouch = false;
    lastUserID = -1;

    if (!keep) {
        loadSettings(false);
        resetSelectedKubunList(true);
    } else if (!touchYusen) {
        // The selection made for the stamp stays a moment, then the deadline resets it.
        MyTimer::getInstance()->setTouchYusen(2);
    } else {
        resetSelectedKubunList(true);
    }

    setBackPicture();
    setTokeiPanels();
    infoMessage.clear();
    setInfo();
    dispClockParts();
    label->setPast();
}

void Form1Clock::closeScreens(QObject* caller)
{
    QObject* page = currentPage.data();
    QObject* alert = popAlert.data();
    currentPage = nullptr;
    popAlert = nullptr;
    // A page that suspended the return-to-clock deadline cannot end the suspension once it
    // is gone: the next page would never return.
    MyTimer::getInstance()->unlockClockModori();

    if (page && page != caller)
        dropScreen(page);
    if (alert && alert != caller && alert != page)
        dropScreen(alert);
    if (caller)
        dropScreen(caller);
}

void Form1Clock::dropScreen(QObject* screen)
{
    disconnect(label, nullptr, screen, nullptr);
    disconnect(cardModule, nullptr, screen, nullptr);
    delete screen;
}

void Form1Clock::changeSettings()
{
    ntpSynced = false;
}

void Form1Clock::readyVistrel()
{
    if (formActive != 1)
        return;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "アクティブ化";
    formActive = 2;
}

void Form1Clock::showPopAlert(Form3PopAlart::PopOption option, QString first, QString second, QString third)
{
    closeAlertForNext();
    popAlert = new Form3PopAlart(this, option, first, second, third);
}

void Form1Clock::showPopAlert(Form3PopAlart::PopOption option, QString first, QString second,
                              QList<Form3PopAlart::AlertMessage> lines)
{
    closeAlertForNext();
    popAlert = new Form3PopAlart(this, option, first, second, lines);
}

void Form1Clock::closeAlertForNext()
{
    formActive = 0;
    allowCardTouch = true;
    if (popAlert)
        dropScreen(popAlert.data());
}

void Form1Clock::showError(QString text)
{
    showPopAlert(Form3PopAlart::MessageAlert, QString(), QStringLiteral("エラー"),
                 QList<Form3PopAlart::AlertMessage>{{0, QString()}, {0, text}});
}

void Form1Clock::updateScreen()
{
    if (allowCardTouch && popAlert) {
        returnPage(nullptr, false);
    } else if (formActive == 2 || allowCardTouch) {
        setTokeiPanels();
        setInfo();
        label->setCopy();
        label->setFlash();
        label->setPast();
    }
}

void Form1Clock::deleteLockFile()
{
    const QString path = vnq::boardPath(QStringLiteral("/tmp/vantroq.lock"));
    if (!QFile::exists(path))
        return;
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.lock 削除";
    QFile::remove(path);
}

void Form1Clock::deleteUnlockFile()
{
    const QString path = vnq::boardPath(QStringLiteral("/tmp/vantroq.unlock"));
    if (!QFile::exists(path))
        return;
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "vantroq.unlock 削除";
    QFile::remove(path);
}
