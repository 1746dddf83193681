#include "atari.h"

#include "boardpath.h"
#include "guimodule.h"
#include "srvlog.h"

#include <QFile>

#include <cstdio>
#include <cstring>

namespace vistrel {

gui_prop_s gui_prop_sheet1[2][kAtariSlots];
int gui_prop_sheet1_num[2] = {0, 0};

namespace {

constexpr int kActive = 0;
constexpr int kPending = 1;
const char kBackgroundName[] = "@@@_BG_@@@";

bool overflowReported = false;

// On the simulated board, the installed table as "id x y w h" lines (newest first) for the
// developer's touch command to find an item by its id. Screens install the same table again
// and again (the clock screen every second), so the file is written only when its text
// changes; a rename replaces it whole, unsynced, as it is nothing the board has to keep.
void publishActiveTable()
{
    if (qEnvironmentVariableIsEmpty("VNQ_ROOT"))
        return;
    const QString path = boardPath(QStringLiteral("/var/tmp/vistrel-hits.txt"));
    QByteArray text;
    const int n = gui_prop_sheet1_num[kActive];
    for (int i = kAtariSlots - n; i < kAtariSlots; ++i) {
        const gui_prop_s& e = gui_prop_sheet1[kActive][i];
        text += QStringLiteral("%1 %2 %3 %4 %5\n")
                    .arg(QString::fromUtf8(e.name))
                    .arg(e.x)
                    .arg(e.y)
                    .arg(e.w)
                    .arg(e.h)
                    .toUtf8();
    }
    static QString publishedPath;
    static QByteArray publishedText;
    if (path == publishedPath && text == publishedText)
        return;
    const QString temporary = path + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    const bool written = file.write(text) == text.size();
    file.close();
    if (!written || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return;
    }
    publishedPath = path;
    publishedText = text;
}

bool sameName(const gui_prop_s& entry, const QByteArray& name)
{
    return std::strncmp(entry.name, name.constData(), sizeof entry.name) == 0;
}

}  // namespace

void GuiModule::newMessageStarted()
{
    overflowReported = false;
}

void GuiModule::addAtariTable(LabelItemList* item)
{
    const QByteArray name = item->id.toUtf8();
    const QPoint& pos = item->back.pos;
    const QSize& size = item->back.size;
    if (name.isEmpty() || pos.x() < 0 || pos.y() < 0 || size.width() < 0 || size.height() < 0)
        return;
    if (name.size() >= static_cast<int>(sizeof gui_prop_s::name)) {
        VISTREL_SRV_ERR() << "id too long for a hit entry:" << item->id;
        return;
    }
    int& count = gui_prop_sheet1_num[kPending];
    for (int i = kAtariSlots - count; i < kAtariSlots; ++i) {
        if (sameName(gui_prop_sheet1[kPending][i], name))
            return;
    }
    if (count >= kAtariSlots) {
        if (!overflowReported)
            VISTREL_SRV_ERR() << "hit table full," << kAtariSlots << "entries: no entry for" << item->id;
        overflowReported = true;
        return;
    }
    ++count;
    gui_prop_s& entry = gui_prop_sheet1[kPending][kAtariSlots - count];
    std::memset(&entry, 0, sizeof entry);
    std::memcpy(entry.name, name.constData(), static_cast<size_t>(name.size()));
    entry.x = pos.x();
    entry.y = pos.y();
    entry.w = size.width();
    entry.h = size.height();
    entry.hold = kAtariHoldMs;
    entry.reserved = 0;
    entry.callback = gui_prop_func;
}

void GuiModule::clearAtariTable()
{
    gui_prop_sheet1_num[kPending] = 0;
    std::memset(gui_prop_sheet1[kPending], 0, sizeof gui_prop_sheet1[kPending]);
    LabelItemList background;
    background.id = QString::fromLatin1(kBackgroundName);
    background.back.pos = QPoint(0, 0);
    background.back.size = QSize(480, 272);
    addAtariTable(&background);
}

void gui_proc_atari_set()
{
    gui_prop_sheet1_num[kActive] = gui_prop_sheet1_num[kPending];
    std::memcpy(gui_prop_sheet1[kActive], gui_prop_sheet1[kPending], sizeof gui_prop_sheet1[kActive]);
    const int n = gui_prop_sheet1_num[kActive];
    guiSetProps(&gui_prop_sheet1[kActive][kAtariSlots - n], n);
    publishActiveTable();
}

void gui_prop_func(const gui_prop_s* entry, int event)
{
    const QByteArray name(entry->name, static_cast<int>(strnlen(entry->name, sizeof entry->name)));
    std::printf("%s::%s : ev=%d\n", "gui_prop_func", name.constData(), event);
    std::fflush(stdout);
    if (event == GUI_EV_FOCUS_OFF || event == GUI_EV_FOCUS_OUT) {
        gui_proc_atari_set();
        return;
    }
    const QString reply = QStringLiteral("<gui><id>") + QString::fromUtf8(name) + QStringLiteral("</id><event>") +
                          QString::number(event) + QStringLiteral("</event></gui>");
    GuiModule::getInstance(QStringLiteral("/tmp/vistrel.uds"))->sendMessage(reply);
}

const gui_prop_s* atariEntries(int table)
{
    return &gui_prop_sheet1[table][kAtariSlots - gui_prop_sheet1_num[table]];
}

int atariCount(int table)
{
    return gui_prop_sheet1_num[table];
}

}  // namespace vistrel
