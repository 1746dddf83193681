#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace vnq::sim {

// Plays the display server on <board root>/tmp/vistrel.uds for the terminal's screen-protocol
// client: it keeps every update ("<items>" to "</items>"), answers each flash or fade with the
// ready reply (unless told not to) and reports touches on the items it was sent. With logging
// on, each update is appended raw to /var/log/screen-protocol.log and decoded, one line per
// update, to /var/log/screen-protocol.txt under the board root.
class DisplayStandIn : public QObject {
    Q_OBJECT
public:
    explicit DisplayStandIn(QObject* parent = nullptr);
    ~DisplayStandIn() override;

    bool isListening() const;
    bool hasClient() const { return client != nullptr; }

    void setLogging(bool on) { logging = on; }
    // Whether flashes and fades are answered with "<gui><status>ready</status></gui>".
    void setAnswerReady(bool answer) { answerReady = answer; }

    // Every complete update received, oldest first.
    const QStringList& updates() const { return received; }
    QString lastUpdate() const { return received.isEmpty() ? QString() : received.last(); }
    void clearUpdates() { received.clear(); }
    // Bytes the client has written that are not read yet.
    int unreadBytes() const;

    // The id as last sent on the wire (generation digit in front), or an empty text when no
    // update carried it.
    QString wireId(const QString& id) const;
    // The ids of the items on the screen as the screens name them (without the generation
    // digit), newest first, the background "@@@_BG_@@@" last.
    QStringList screenIds() const;
    // Reports a touch (event 0 down, 3 held) on the item last sent with this id; false when
    // no update carried it. "@@@_BG_@@@" is the background and is reported as it is.
    bool touch(const QString& id, int event = 0);
    static QString touchReply(const QString& wireId, int event);
    static QString readyReply();
    // Writes text to the client in one write.
    bool sendRaw(const QString& text);

signals:
    void updateReceived(const QString& update);

private:
    void acceptClient();
    void readClient();
    void log(const QString& update);

    QLocalServer* server = nullptr;
    QLocalSocket* client = nullptr;
    QByteArray incoming;
    QStringList received;
    bool answerReady = true;
    bool logging = false;
};

}  // namespace vnq::sim
