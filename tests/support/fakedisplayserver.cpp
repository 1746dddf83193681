#include "fakedisplayserver.h"

#include "platform/boardroot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTimer>

namespace vnq::test {

namespace {
const QByteArray updateStart = "<items>";
const QByteArray updateEnd = "</items>";
}  // namespace

FakeDisplayServer::FakeDisplayServer()
{
    server = new QLocalServer(this);
    const QString name = vnq::boardPath(QStringLiteral("/tmp/vistrel.uds"));
    QDir().mkpath(QFileInfo(name).absolutePath());
    QLocalServer::removeServer(name);
    server->listen(name);
    connect(server, &QLocalServer::newConnection, this, &FakeDisplayServer::acceptClient);
}

FakeDisplayServer::~FakeDisplayServer()
{
    if (client)
        client->abort();
    server->close();
}

bool FakeDisplayServer::isListening() const
{
    return server->isListening();
}

void FakeDisplayServer::acceptClient()
{
    while (QLocalSocket* next = server->nextPendingConnection()) {
        // The newest connection is the client; an older one has been given up by it.
        if (client)
            client->deleteLater();
        client = next;
        incoming.clear();
        connect(client, &QLocalSocket::readyRead, this, &FakeDisplayServer::readClient);
    }
}

void FakeDisplayServer::readClient()
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
        if (answerReady
            && (update.contains(QLatin1String("<action>Flash</action>"))
                || update.contains(QLatin1String("<action>FadeIn</action>"))
                || update.contains(QLatin1String("<action>FadeOut</action>"))))
            sendRaw(readyReply());
    }
}

QString FakeDisplayServer::wireId(const QString& id) const
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

bool FakeDisplayServer::touch(const QString& id, int event)
{
    const QString onWire = id == QLatin1String("@@@_BG_@@@") ? id : wireId(id);
    if (onWire.isEmpty())
        return false;
    return sendRaw(touchReply(onWire, event));
}

QString FakeDisplayServer::touchReply(const QString& wireId, int event)
{
    return QStringLiteral("<gui><id>%1</id><event>%2</event></gui>").arg(wireId).arg(event);
}

QString FakeDisplayServer::readyReply()
{
    return QStringLiteral("<gui><status>ready</status></gui>");
}

bool FakeDisplayServer::sendRaw(const QString& text)
{
    if (!client)
        return false;
    const QByteArray bytes = text.toUtf8();
    const bool written = client->write(bytes) == bytes.size();
    client->flush();
    return written;
}

bool FakeDisplayServer::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition() && elapsed.elapsed() < timeoutMs) {
        // Wakes at the next event, and at the latest when this short timer fires.
        QTimer::singleShot(5, [] {});
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return condition();
}

bool FakeDisplayServer::waitForClient(int timeoutMs)
{
    return waitFor([this] { return client != nullptr; }, timeoutMs);
}

bool FakeDisplayServer::waitForUpdates(int count, int timeoutMs)
{
    return waitFor([this, count] { return received.size() >= count; }, timeoutMs);
}

}  // namespace vnq::test
