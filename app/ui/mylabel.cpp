#include "mylabel.h"

#include "commandquote.h"
#include "localsocketipcclient.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "platform/commandrunner.h"

#include <QTimer>

LocalSocketIpcClient* MyLabel::clientSocket = nullptr;

namespace {
const QString updateStart = QStringLiteral("<items>");
const QString updateEnd = QStringLiteral("</items>");
// While an update waits for its ready reply; the time-out itself changes nothing.
constexpr int readyWaitMs = 5000;
}  // namespace

MyLabel* MyLabel::getInstance()
{
    static MyLabel* instance = new MyLabel(nullptr);
    return instance;
}

MyLabel::MyLabel(QObject* parent)
    : QObject(parent)
{
    if (!clientSocket) {
        clientSocket = new LocalSocketIpcClient(QStringLiteral("/tmp/vistrel.uds"), this);
        connect(clientSocket, &LocalSocketIpcClient::messageReceived, this, &MyLabel::messageReceived);
    }
    buffer = updateStart;
    generation = 0;
    busy = false;
    timer = new QTimer(this);
    timer->setInterval(readyWaitMs);
    connect(timer, &QTimer::timeout, this, &MyLabel::timeout);
}

MyLabel::~MyLabel()
{
    clientSocket = nullptr;
}

void MyLabel::initItem(LabelItemList* item)
{
    item->id.clear();
    item->filename.clear();
    item->label.text.clear();
    item->sublabel.text.clear();
    item->w = 0;
    item->h = 0;
    item->label.margin = 0;
    item->sublabel.margin = 0;
}

void MyLabel::initItems(int count, LabelItemList* items)
{
    for (int i = 0; i < count; ++i)
        initItem(&items[i]);
}

void MyLabel::setNew()
{
    buffer += QStringLiteral("<action>New</action>");
    generation = (generation + 1) % 10;
}

void MyLabel::setClear()
{
    buffer += QStringLiteral("<action>Clear</action>");
}

void MyLabel::setCopy()
{
    buffer += QStringLiteral("<action>Copy</action>");
}

void MyLabel::setPast()
{
    buffer += QStringLiteral("<action>Past</action>");
}

void MyLabel::setItems(int count, LabelItemList* items)
{
    for (int i = 0; i < count; ++i)
        setItem(&items[i]);
}

void MyLabel::setScreenShot()
{
    buffer += QStringLiteral("<item><id>%1</id><backbround><pos><x>0</x><y>0</y></pos>"
                             "<size><h>30</h><w>30</w></size></backbround></item>")
                  .arg(wireId(QStringLiteral("_SCREENSHOT_")));
}

void MyLabel::setFlash()
{
    finishAndSend("Flash");
}

void MyLabel::setFadeIn()
{
    finishAndSend("FadeIn");
}

void MyLabel::setFadeOut()
{
    finishAndSend("FadeOut");
}

void MyLabel::finishAndSend(const char* action)
{
    busy = true;
    if (!timer->isActive())
        timer->start();
    setScreenShot();
    buffer += QStringLiteral("<action>%1</action>").arg(QLatin1String(action));
    buffer += updateEnd;
    const QString update = buffer;
    buffer = updateStart;
    send(update);
}

void MyLabel::reinitTouchscreen()
{
    buffer = updateStart + QStringLiteral("<action>Reinit</action>") + updateEnd;
    const QString update = buffer;
    buffer = updateStart;
    send(update);
}

void MyLabel::send(const QString& update)
{
    if (clientSocket)
        clientSocket->send_MessageToServer(update);
}

void MyLabel::shotScreen()
{
    const qint64 seconds = vnq::clock().now().toSecsSinceEpoch();
    vnq::commandRunner().shell(QStringLiteral("%1 %2")
                                   .arg(vnq::shellWord(vnq::boardPath(QStringLiteral("/VnQo/bin/vnq_screenshot"))))
                                   .arg(seconds));
}

void MyLabel::timeout()
{
    // Nothing is given up: busy ends with the next ready reply, which every later flash or
    // fade brings.
}

QString MyLabel::wireId(const QString& id) const
{
    return QString::number(generation) + id;
}
