#include "messagecapture.h"

#include <QMutex>
#include <QMutexLocker>
#include <QtGlobal>

namespace vnq::test {

namespace {
QMutex captureMutex;
QStringList captured;
QtMessageHandler previousHandler = nullptr;

void capture(QtMsgType, const QMessageLogContext&, const QString& message)
{
    QMutexLocker lock(&captureMutex);
    captured.append(message);
}
}  // namespace

MessageCapture::MessageCapture()
{
    clear();
    previousHandler = qInstallMessageHandler(capture);
}

MessageCapture::~MessageCapture()
{
    qInstallMessageHandler(previousHandler);
}

QStringList MessageCapture::messages() const
{
    QMutexLocker lock(&captureMutex);
    return captured;
}

QStringList MessageCapture::matching(const QString& text) const
{
    QMutexLocker lock(&captureMutex);
    QStringList hits;
    for (const QString& m : captured) {
        if (m.contains(text))
            hits << m;
    }
    return hits;
}

void MessageCapture::clear()
{
    QMutexLocker lock(&captureMutex);
    captured.clear();
}

}  // namespace vnq::test
