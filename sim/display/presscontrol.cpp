#include "presscontrol.h"

#include "displaystandin.h"
#include "platform/boardroot.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace vnq::sim {

namespace {
// A command line is short; anything longer is not a command (an answer listing the ids on
// the screen may be longer).
constexpr qint64 maxLine = 256;
}  // namespace

PressControl::PressControl(DisplayStandIn* display, QObject* parent)
    : QObject(parent)
    , display(display)
    , server(new QLocalServer(this))
{
    QLocalServer::removeServer(socketPath());
    server->listen(socketPath());
    connect(server, &QLocalServer::newConnection, this, &PressControl::acceptClient);
}

bool PressControl::isListening() const
{
    return server->isListening();
}

QString PressControl::socketPath()
{
    return vnq::boardPath(QStringLiteral("/tmp/vistrel-stand-in.ctl"));
}

void PressControl::acceptClient()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maxLine)
                    socket->abort();
                return;
            }
            const QStringList words =
                QString::fromUtf8(socket->readLine(maxLine)).simplified().split(QLatin1Char(' '));
            bool eventOk = true;
            const int event = words.size() > 2 ? words[2].toInt(&eventOk) : 0;
            QByteArray answer = "usage: press <id> [event]\n";
            if (words.size() >= 2 && words.size() <= 3 && words[0] == QLatin1String("press") && eventOk)
                answer = display->touch(words[1], event)
                    ? QByteArray("ok\n")
                    : "unknown id; on the screen: " + display->screenIds().join(QLatin1Char(' ')).toUtf8() + '\n';
            socket->write(answer);
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

QString PressControl::press(const QString& id, int event, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return {};
    socket.write(QStringLiteral("press %1 %2\n").arg(id).arg(event).toUtf8());
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            break;
    }
    return QString::fromUtf8(socket.readLine()).trimmed();
}

}  // namespace vnq::sim
