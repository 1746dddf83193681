#include "form1clock.h"

#include "heartbeat.h"
#include "zsystem.h"

#include <QTimer>

Form1Clock::Form1Clock(QObject* parent)
    : QObject(parent)
{
    heartbeat = new QTimer(this);
    heartbeat->setInterval(300);
    connect(heartbeat, &QTimer::timeout, this, [] { ++selftick; });
    heartbeat->start();
}

void Form1Clock::returnPage(QObject* page, bool keep)
{
    if (!keep)
        ZSystem::unlockWebSerive();
    delete page;
}
