#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace vnq::sim {

class DisplayStandIn;

// The stand-in's control socket <board root>/tmp/vistrel-stand-in.ctl: a line
// "press <id> <event>" reports that touch to the terminal and is answered "ok", or, when no
// update carried the id, "unknown id; on the screen: " and the ids on the screen.
class PressControl : public QObject {
    Q_OBJECT
public:
    explicit PressControl(DisplayStandIn* display, QObject* parent = nullptr);
    bool isListening() const;

    static QString socketPath();
    // The client side: sends one press and waits for the answer; the answer, or an empty
    // text when no stand-in answers.
    static QString press(const QString& id, int event, int timeoutMs = 2000);

private:
    void acceptClient();

    DisplayStandIn* display;
    QLocalServer* server;
};

}  // namespace vnq::sim
