#include "displaystandin.h"

#include "platform/boardroot.h"
#include "screentext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>

#include <sys/ioctl.h>

namespace vnq::sim {

namespace {
const QByteArray updateStart = "<items>";
const QByteArray updateEnd = "</items>";
}  // namespace

DisplayStandIn::DisplayStandIn(QObject* parent)
    : QObject(parent)
{
    server = new QLocalServer(this);
    const QString name = vnq::boardPath(QStringLiteral("/tmp/vistrel.uds"));
    QDir().mkpath(QFileInfo(name).absolutePath());
    QLocalServer::removeServer(name);
    server->listen(name);
    connect(server, &QLocalServer::newConnection, this, &DisplayStandIn::acceptClient);
}

DisplayStandIn::~DisplayStandIn()
{
    if (client)
        client->abort();
    server->close();
}

bool DisplayStandIn::isListening() const
{
    return server->isListening();
}

void DisplayStandIn::acceptClient()
{
    while (QLocalSocket* next = server->nextPendingConnection()) {
        // The newest connection is the client; an older one has been given up by it.
        if (client)
            client->deleteLater();
        client = next;
        incoming.clear();
        connect(client, &QLocalSocket::readyRead, this, &DisplayStandIn::readClient);
    }
}

int DisplayStandIn::unreadBytes() const
{
    if (!client)
        return 0;
    int queued = 0;
    if (client->socketDescriptor() < 0 || ::ioctl(int(client->socketDescriptor()), FIONREAD, &queued) != 0)
        queued = 0;
    return queued + int(client->bytesAvailable());
}

void DisplayStandIn::readClient()
{
    auto* socket = qobject_cast<QLocalSocket*>(sender());
    if (socket != client)
        return;
    incoming += client->readAll();
    // As the display server does: a text holding "<items>" starts afresh, and an update is
    // complete at "</items>".
    for (;;) {
        const int end = incoming.indexOf(updateEnd);
        if (end < 0)
            break;
        const int stop = end + updateEnd.size();
        const int start = qMax(0, incoming.lastIndexOf(updateStart, end));
        const QString update = QString::fromUtf8(incoming.mid(start, stop - start));
        incoming.remove(0, stop);
        received << update;
        if (logging)
            log(update);
        if (answerReady
            && (update.contains(QLatin1String("<action>Flash</action>"))
                || update.contains(QLatin1String("<action>FadeIn</action>"))
                || update.contains(QLatin1String("<action>FadeOut</action>"))))
            sendRaw(readyReply());
        emit updateReceived(update);
    }
}

void DisplayStandIn::log(const QString& update)
{
    const QString dir = vnq::boardPath(QStringLiteral("/var/log"));
    QDir().mkpath(dir);
    QFile raw(dir + QStringLiteral("/screen-protocol.log"));
    if (raw.open(QIODevice::Append))
        raw.write(update.toUtf8() + '\n');
    QFile decoded(dir + QStringLiteral("/screen-protocol.txt"));
    if (decoded.open(QIODevice::Append))
        decoded.write(decodeUpdate(update).replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8() + '\n');
}

QString DisplayStandIn::wireId(const QString& id) const
{
    const QRegularExpression pattern(QStringLiteral("<id>([0-9]%1)</id>").arg(QRegularExpression::escape(id)));
    for (int i = received.size() - 1; i >= 0; --i) {
        QString found;
        auto it = pattern.globalMatch(received.at(i));
        while (it.hasNext())
            found = it.next().captured(1);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QStringList DisplayStandIn::screenIds() const
{
    // The screen began with the newest update that holds "New"; a window drawn over it since
    // keeps its items. Newest first, as the display server's table lists them.
    const QRegularExpression idPattern(QStringLiteral("<id>([^<]*)</id>"));
    QStringList ids;
    for (int i = received.size() - 1; i >= 0; --i) {
        QStringList inUpdate;
        auto it = idPattern.globalMatch(received.at(i));
        while (it.hasNext()) {
            const QString wire = it.next().captured(1);
            const QString name = wire.size() > 1 && wire.at(0).isDigit() ? wire.mid(1) : wire;
            if (!ids.contains(name) && !inUpdate.contains(name))
                inUpdate.prepend(name);
        }
        ids += inUpdate;
        if (received.at(i).contains(QLatin1String("<action>New</action>")))
            break;
    }
    ids.removeAll(QStringLiteral("@@@_BG_@@@"));
    ids << QStringLiteral("@@@_BG_@@@");
    return ids;
}

bool DisplayStandIn::touch(const QString& id, int event)
{
    const QString onWire = id == QLatin1String("@@@_BG_@@@") ? id : wireId(id);
    if (onWire.isEmpty())
        return false;
    return sendRaw(touchReply(onWire, event));
}

QString DisplayStandIn::touchReply(const QString& wireId, int event)
{
    return QStringLiteral("<gui><id>%1</id><event>%2</event></gui>").arg(wireId).arg(event);
}

QString DisplayStandIn::readyReply()
{
    return QStringLiteral("<gui><status>ready</status></gui>");
}

bool DisplayStandIn::sendRaw(const QString& text)
{
    if (!client)
        return false;
    const QByteArray bytes = text.toUtf8();
    const bool written = client->write(bytes) == bytes.size();
    client->flush();
    return written;
}

}  // namespace vnq::sim
