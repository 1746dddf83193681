#include "platform/logfile.h"

#include "platform/boardroot.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace vnq {

namespace {

QFile* logFile = nullptr;
QMutex logMutex;

void writeMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    const QByteArray line = message.toLocal8Bit() + '\n';
    QMutexLocker lock(&logMutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    if (logFile) {
        logFile->write(line);
        logFile->flush();
    }
}

}  // namespace

void installBoardLogFile(const QString& boardFile)
{
    if (boardRoot().isEmpty())
        return;
    auto* file = new QFile(boardPath(boardFile));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        delete file;
        return;
    }
    {
        QMutexLocker lock(&logMutex);
        logFile = file;
    }
    qInstallMessageHandler(writeMessage);
}

}  // namespace vnq
