#include "guimodule.h"

#include "srvsocketserver.h"

#include <cstdio>

namespace vistrel {

LocalSocketIpcServer* GuiModule::serverSocket = nullptr;
QString GuiModule::socketPath;

GuiModule* GuiModule::getInstance(const QString& path)
{
    socketPath = path;
    static GuiModule* instance = new GuiModule();
    return instance;
}

GuiModule::GuiModule(QObject* parent)
    : QObject(parent)
{
    if (serverSocket)
        return;
    serverSocket = new LocalSocketIpcServer(socketPath, this);
    connect(serverSocket, &LocalSocketIpcServer::messageReceived, this, &GuiModule::messageReceived);
}

int GuiModule::sendMessage(const QString& text)
{
    if (!serverSocket)
        return -1;
    return serverSocket->socket_send(text);
}

void GuiModule::messageReceived(QString message)
{
    std::printf("GuiModule: %d bytes received\n", message.toUtf8().size());
    std::fflush(stdout);
}

}  // namespace vistrel
