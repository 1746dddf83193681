#include "form1clock.h"

#include "iccardmodule.h"
#include "mylabel.h"
#include "mytimer.h"
#include "zsystem.h"

Form1Clock::Form1Clock(QObject* parent)
    : QObject(parent)
{
    MyTimer::getInstance();
    ICCardModule::getInstance();
}

void Form1Clock::movePage(int number, QObject* caller)
{
    openSettingsPage(SettingsPages::Move::Page, number, caller, QString());
}

void Form1Clock::moveToMenu(int number, QObject* caller)
{
    openSettingsPage(SettingsPages::Move::Menu, number, caller, QString());
}

void Form1Clock::moveToShosai(int number, QObject* caller, QString id)
{
    openSettingsPage(SettingsPages::Move::Shosai, number, caller, id);
}

void Form1Clock::openSettingsPage(SettingsPages::Move move, int number, QObject* caller, const QString& id)
{
    if (number == 0)
        return;
    if (caller) {
        disconnect(MyLabel::getInstance(), nullptr, caller, nullptr);
        delete caller;
    }
    SettingsPages::create(move, number, this, id);
    MyTimer::getInstance()->setClockModori();
}

void Form1Clock::returnPage(QObject* page, bool keep)
{
    if (!keep)
        ZSystem::unlockWebSerive();
    MyTimer::getInstance()->stopClockModori();
    delete page;
}

void Form1Clock::changeSettings()
{
}
