#pragma once

#include <QObject>
#include <QString>

namespace vistrel {

class LocalSocketIpcServer;

// The screen protocol server: owns the socket server on the socket path and takes every text
// a client sends.
class GuiModule : public QObject {
    Q_OBJECT
public:
    // Stores path as the socket path, then returns the one instance (made on the first call,
    // it lives until the process ends).
    static GuiModule* getInstance(const QString& path);

    // Without a socket server -1; otherwise the socket server's result.
    int sendMessage(const QString& text);

    static LocalSocketIpcServer* serverSocket;
    static QString socketPath;

public slots:
    void messageReceived(QString message);

private:
    explicit GuiModule(QObject* parent = nullptr);
};

}  // namespace vistrel
