#include "form1clock.h"

#include "iccardmodule.h"
#include "mytimer.h"
#include "zsystem.h"

Form1Clock::Form1Clock(QObject* parent)
    : QObject(parent)
{
    MyTimer::getInstance();
    ICCardModule::getInstance();
}

void Form1Clock::returnPage(QObject* page, bool keep)
{
    if (!keep)
        ZSystem::unlockWebSerive();
    MyTimer::getInstance()->stopClockModori();
    delete page;
}
