#include "workerthread.h"

#include <QObject>
#include <QThread>

void startWorkerThread(QThread* thread, QObject* object)
{
    thread->start(QThread::InheritPriority);
    object->moveToThread(thread);
}

void stopWorkerThread(QThread* thread, QObject* object)
{
    QMetaObject::invokeMethod(object, [object] { delete object; }, Qt::BlockingQueuedConnection);
    thread->quit();
    thread->wait();
    delete thread;
}
