#include "iccardmodule.h"

#include "commandquote.h"
#include "dbmaster.h"
#include "debugline.h"
#include "iccardmessage.h"
#include "localsocketipcserver.h"
#include "loggabletext.h"
#include "mydebug.h"
#include "mytimer.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"

LocalSocketIpcServer* ICCardModule::serverSocket = nullptr;

ICCardModule* ICCardModule::getInstance()
{
    static ICCardModule* instance = new ICCardModule(nullptr);
    if (!serverSocket)
        instance->listen();
    return instance;
}

ICCardModule::ICCardModule(QObject* parent)
    : QObject(parent)
{
    if (!serverSocket)
        listen();
}

ICCardModule::~ICCardModule()
{
    if (serverSocket && serverSocket->parent() == this)
        serverSocket = nullptr;
}

void ICCardModule::listen()
{
    serverSocket = new LocalSocketIpcServer(QStringLiteral("/tmp/iccard.uds"), this);
    connect(serverSocket, &LocalSocketIpcServer::messageReceived, this, &ICCardModule::messageReceived);
}

void ICCardModule::stopListening()
{
    delete serverSocket;
    serverSocket = nullptr;
}

void ICCardModule::messageReceived(QString message)
{
    // Keep the system clock in step with the RTC before the card is stamped.
    const QString clockCheck = QStringLiteral("/VnQo/bin/Tikwarden -D 180");
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "" << clockCheck;
    vnq::commandRunner().shell(vnq::shellWord(vnq::boardPath(QStringLiteral("/VnQo/bin/Tikwarden")))
                               + QStringLiteral(" -D 180"));

    // A card on a dark screen only wakes it.
    if (MyTimer::getInstance()->setBacklight(true))
        return;

    const ICCardMessage card = ICCardMessage::parse(message);
    emit cardTouchRaw(card.id, card.type, card.len);
    if (!card.isComplete()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "ICCared Message Error: " << vnq::loggableText(message);
        return;
    }

    const QString cardId = card.id.toUpper();
    int permission = -1;
    DBMaster::getCardAuthByCardID(cardId, &permission);
    if (permission == -1 || permission == 0)
        permission = 0;

    int userNumber = 0;
    QString name;
    const bool registered = DBMaster::getUserByCardID(cardId, &userNumber, &name, nullptr, nullptr);
    if (registered)
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "登録ユーザ!!";
    else
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "未登録ユーザ!!";
    emit cardTouch(registered, cardId, permission, userNumber, name);
}

QString ICCardModule::getVersion()
{
    const vnq::CommandResult result =
        vnq::commandRunner().run(
            QStringLiteral("cat ") + vnq::commandWord(vnq::boardPath(QStringLiteral("/tmp/iccard.status"))), 30000);
    if (result.finished && result.exitCode == 0) {
        const QByteArray& output = result.output;
        const int end = output.indexOf('\0');
        return QString::fromUtf8(output.constData(), end < 0 ? output.size() : end).remove(QLatin1Char('\n'));
    }
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "非接触カードリーダが未接続";
    return QStringLiteral("未接続");
}
