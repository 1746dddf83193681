#include "guimodule.h"

#include "atari.h"
#include "fonttext.h"
#include "images.h"
#include "ovg_init.h"
#include "srvlog.h"
#include "srvsocketserver.h"
#include "touchdriver.h"

#include <QFile>

namespace vistrel {

LocalSocketIpcServer* GuiModule::serverSocket = nullptr;
QString GuiModule::socketPath;
float GuiModule::offsetx = 0;
float GuiModule::offsety = 0;

namespace {

GuiModule* instance = nullptr;

}  // namespace

GuiModule* GuiModule::getInstance(const QString& path)
{
    socketPath = path;
    if (!instance)
        new GuiModule();
    return instance;
}

GuiModule::GuiModule(QObject* parent)
    : QObject(parent)
{
    // Known at once: "./start.xml" may already ask for the instance to send its ready reply.
    instance = this;
    if (serverSocket)
        return;
    serverSocket = new LocalSocketIpcServer(socketPath, this);
    connect(serverSocket, &LocalSocketIpcServer::messageReceived, this, &GuiModule::messageReceived);
    gui_parts_init();
    font_init();

    QFile start(QStringLiteral("./start.xml"));
    if (!start.open(QIODevice::ReadOnly | QIODevice::Text)) {
        VISTREL_SRV_ERR() << "XML open failed";
        return;
    }
    QByteArray bytes = start.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    start.close();
    messageReceived(QString::fromUtf8(bytes));
}

int GuiModule::sendMessage(const QString& text)
{
    if (!serverSocket)
        return -1;
    return serverSocket->socket_send(text);
}

int GuiModule::sendReady()
{
    return getInstance(QStringLiteral("/tmp/vistrel.uds"))->sendMessage(QString::fromLatin1(ReadyReply));
}

void GuiModule::messageReceived(QString message)
{
    for (const QString& complete : m_gatherer.add(message))
        processMessage(complete);
}

void GuiModule::clearItem(LabelItemList& item)
{
    item.back.size = QSize(0, 0);
    item.back.filename.clear();
    item.label.text.clear();
    item.sublabel.text.clear();
}

void GuiModule::endOfItem(LabelItemList& item)
{
    if (!item.back.filename.isEmpty())
        gui_image_button(item.back.pos.x(), item.back.pos.y(), item.back.filename.toUtf8().constData());
    for (const FontStyle* style : {&item.label, &item.sublabel}) {
        if (style->text.isEmpty())
            continue;
        const float rgba[4] = {style->color.r / 255, style->color.g / 255, style->color.b / 255,
                               style->color.a / 255};
        gui_text(style->pos.x(), style->pos.y(), rgba, style->text.toUtf8().constData(), static_cast<int>(style->px),
                 static_cast<int>(style->margin), &offsetx, &offsety);
    }
    if (item.back.size.width() != 0 && item.back.size.height() != 0)
        addAtariTable(&item);
    clearItem(item);
}

void GuiModule::runAction(const QString& action)
{
    if (action == QLatin1String("New")) {
        clearAtariTable();
    } else if (action == QLatin1String("Clear")) {
        _clear_screen();
    } else if (action == QLatin1String("Copy")) {
        ovg_copy_temp();
    } else if (action == QLatin1String("Past")) {
        ovg_past_temp();
    } else if (action == QLatin1String("Flash")) {
        ovg_swap_buffer();
        gui_proc_atari_set();
        sendReady();
    } else if (action == QLatin1String("FadeIn")) {
        ovg_fadein_init();
        ovg_fade_exec(0);
        gui_proc_atari_set();
        sendReady();
    } else if (action == QLatin1String("FadeOut")) {
        ovg_fadeout_init();
        ovg_fade_exec(1);
        ovg_copy_temp();
        gui_proc_atari_set();
        sendReady();
    } else if (action == QLatin1String("Reinit")) {
        fin_ts_drv();
        init_ts_drv();
    }
    // "SlideRight", "SlideLeft" and any other action do nothing.
}

}  // namespace vistrel
