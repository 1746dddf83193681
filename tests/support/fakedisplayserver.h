#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLocalSocket;

namespace vnq::test {

// Plays the display server on <board root>/tmp/vistrel.uds for the terminal's screen-protocol
// client: it records every update ("<items>" to "</items>"), answers each flash or fade with
// the ready reply (unless told not to) and reports touches on the items it was sent. Create
// it inside a TempBoardRoot, before the client connects.
class FakeDisplayServer : public QObject {
    Q_OBJECT
public:
    FakeDisplayServer();
    ~FakeDisplayServer() override;

    bool isListening() const;
    bool hasClient() const { return client != nullptr; }

    // Whether flashes and fades are answered with "<gui><status>ready</status></gui>".
    void setAnswerReady(bool answer) { answerReady = answer; }

    // Every complete update received, oldest first.
    const QStringList& updates() const { return received; }
    QString lastUpdate() const { return received.isEmpty() ? QString() : received.last(); }
    void clearUpdates() { received.clear(); }

    // The id as last sent on the wire (generation digit in front), or an empty text when no
    // update carried it.
    QString wireId(const QString& id) const;
    // Reports a touch (event 0 down, 3 held) on the item last sent with this id; false when
    // no update carried it. "@@@_BG_@@@" is the background and is reported as it is.
    bool touch(const QString& id, int event = 0);
    // The reply for a touch on a wire id.
    static QString touchReply(const QString& wireId, int event);
    static QString readyReply();
    // Writes text to the client in one write.
    bool sendRaw(const QString& text);

    // Runs the event loop until the condition holds or timeoutMs passes; the condition's
    // last value.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 2000);
    bool waitForClient(int timeoutMs = 2000);
    bool waitForUpdates(int count, int timeoutMs = 5000);

private:
    void acceptClient();
    void readClient();

    QLocalServer* server = nullptr;
    QLocalSocket* client = nullptr;
    QByteArray incoming;
    QStringList received;
    bool answerReady = true;
};

}  // namespace vnq::test
