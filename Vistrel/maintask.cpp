#include "maintask.h"

#include "guievents.h"
#include "jobs.h"
#include "ovg_init.h"
#include "touchdriver.h"

#include <QTimer>

namespace vistrel {

MainTask::MainTask(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    init_ts_drv();
    guiInitEventSys();
    init_ovg();
    init_jobs();
    connect(m_timer, &QTimer::timeout, this, &MainTask::run);
    m_timer->start(TickMs);
}

void MainTask::run()
{
    guiEventSys();
    jobs_main();
}

}  // namespace vistrel
