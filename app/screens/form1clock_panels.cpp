#include "form1clock.h"

#include "dbsetting.h"
#include "debugline.h"
#include "mydebug.h"
#include "mylabel.h"
#include "mytimer.h"
#include "platform/boardroot.h"
#include "platform/clock.h"
#include "cloudlink.h"
#include "soundmodule.h"

#include <QFile>

// The stamp kind panels: drawing, the selection and its defaults, panel touches and the
// scheduler's window and touch-priority deadlines.

namespace {

enum KubunCode {
    Shukkin = 1,
    Sainyu = 4,
    Taikin = 102,
    Gaishutsu = 103,
    Higawaritai = 114,
    Kaijou = 821,
    Menu = 10000,
};

const QString panelDir = QStringLiteral("../Parts/01時計画面/");
const QString panelMark = QStringLiteral("_BG_");
const QString buttonSound = QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav");
const QString errorSound = QStringLiteral("/VnQo/app/Sound/%1/ERROR.wav");
constexpr int messageWaitMs = 1500;

struct Panel {
    int code;  // 0: the plain panel without id
    int x;
    int y;
    int w;
    int h;
    const char* image;  // the plain picture; null: a bare touch area
};

constexpr int panelW = 154;
constexpr int panelH = 55;

// The panels of an operation mode, in drawing order.
QList<Panel> panelsOf(int mode)
{
    QList<Panel> panels{
        {Shukkin, 10, 155, panelW, panelH, "ボタン_出勤.png"},
        {Taikin, 10, 210, panelW, panelH, "ボタン_退勤.png"},
        {Gaishutsu, 164, 155, panelW, panelH, "ボタン_外出.png"},
        {Sainyu, 164, 210, panelW, panelH, "ボタン_再入.png"},
    };
    switch (mode) {
    case 1:
        panels << Panel{0, 318, 155, panelW, panelH, "ボタン_無地.png"} << Panel{Menu, 318, 210, panelW, panelH, "ボタン_Menu.png"};
        break;
    case 2:
        panels << Panel{Higawaritai, 318, 155, panelW, panelH, "ボタン_日替退.png"}
               << Panel{Menu, 318, 210, panelW, panelH, "ボタン_Menu.png"};
        break;
    case 3:
        panels << Panel{Kaijou, 318, 155, panelW, panelH, "ボタン_解錠.png"}
               << Panel{Menu, 318, 210, panelW, panelH, "ボタン_Menu.png"};
        break;
    default:
        panels << Panel{Higawaritai, 318, 155, panelW, panelH, "ボタン_日替退.png"}
               << Panel{Kaijou, 318, 210, panelW, panelH, "ボタン_解錠.png"} << Panel{Menu, 12, 123, 35, 28, nullptr};
        break;
    }
    return panels;
}

// A time band of minute-of-day settings, as the instants that bound it around now: a band
// whose end lies before its start ends the next day, and when now lies before the start the
// band that began the day before is the one to look at. False when either end is unset.
bool bandOpen(const QString& item, const QDateTime& now)
{
    int startMinutes = -1;
    int endMinutes = -1;
    if (!DBSetting::getSetting(item + QStringLiteral("(開始)"), &startMinutes))
        startMinutes = -1;
    if (!DBSetting::getSetting(item + QStringLiteral("(終了)"), &endMinutes))
        endMinutes = -1;
    const QDateTime dayStart(now.date(), QTime(0, 0));
    QDateTime start = dayStart.addSecs(qint64(startMinutes) * 60);
    QDateTime end = dayStart.addSecs(qint64(endMinutes) * 60);
    if (startMinutes >= 0)
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << item << "開始" << start.toString(Qt::ISODate);
    if (endMinutes >= 0)
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << item << "終了" << end.toString(Qt::ISODate);
    if (startMinutes < 0 || endMinutes < 0)
        return false;
    if (end < start)
        end = end.addDays(1);
    if (now < start) {
        start = start.addDays(-1);
        end = end.addDays(-1);
    }
    return now >= start && now < end;
}

}  // namespace

void Form1Clock::setTokeiPanels()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "entry.";
    LabelItemList item;
    for (const Panel& panel : panelsOf(operationMode)) {
        label->initItem(&item);
        if (panel.code != 0)
            item.id = panelMark + QString::number(panel.code);
        item.x = panel.x;
        item.y = panel.y;
        item.w = panel.w;
        item.h = panel.h;
        if (panel.image) {
            QString image = QString::fromUtf8(panel.image);
            // The variants carry a suffix before the extension.
            const int extension = image.lastIndexOf(QLatin1Char('.'));
            if (panel.code == Higawaritai && !higawaritaiMode)
                image.insert(extension, QStringLiteral("_押せないボタン"));
            else if (panel.code != 0 && selectedKubunList.contains(panel.code))
                image.insert(extension, QStringLiteral("_選択"));
            item.filename = panelDir + image;
        }
        label->setItem(&item);
    }
}

void Form1Clock::setPanelParts()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "entry." << formActive;
    if (formActive != 0)
        setTokeiPanels();
}

void Form1Clock::clearSelectedKubunList()
{
    selectedKubunList.clear();
    infoMessage.clear();
}

void Form1Clock::appendSelectedKubunList(int code)
{
    if (code <= 0)
        return;
    selectedKubunList.append(code);
    infoMessage.clear();
}

void Form1Clock::selectPanel(int code)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "entry." << code;
    if (code >= Menu)
        return;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "区分採用 :" << code;
    clearSelectedKubunList();
    appendSelectedKubunList(code);
    MyTimer::getInstance()->setTouchYusen(-1);
}

void Form1Clock::resetSelectedKubunList(bool clear)
{
    if (clear)
        clearSelectedKubunList();
    if (!selectedKubunList.isEmpty() || touchYusen)
        return;
    if (shukinMode) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "出勤モードON" << shukinMode;
        appendSelectedKubunList(Shukkin);
    } else if (taikinMode) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "退勤モードON" << taikinMode;
        appendSelectedKubunList(Taikin);
    } else if (operationMode == 3 || operationMode == 4) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "解錠モードON";
        appendSelectedKubunList(Kaijou);
    }
}

void Form1Clock::resetPanel()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "entry.";
    MyTimer::getInstance()->stopTouchYusen();
    resetSelectedKubunList(true);
}

void Form1Clock::loadTokeiGamen()
{
    int value = 1;
    operationMode = DBSetting::getSetting(QStringLiteral("動作モード"), &value) ? qBound(1, value, 4) : 1;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "動作モード:" << operationMode;
    clockDisplay = DBSetting::getSetting(QStringLiteral("時計表示"), &value) ? (value > 0 ? 1 : 0) : 1;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "時計表示(1224):" << clockDisplay;
}

void Form1Clock::loadTouchYusen()
{
    int value = 0;
    touchYusen = DBSetting::getSetting(QStringLiteral("タッチ選択優先"), &value) && value == 1;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "タッチ選択優先:" << touchYusen;
}

void Form1Clock::loadShutaikinMode()
{
    shukinMode = false;
    taikinMode = false;
    higawaritaiMode = false;
    const QDateTime now = vnq::clock().now();
    if (!touchYusen) {
        shukinMode = bandOpen(QStringLiteral("出勤モード"), now);
        taikinMode = bandOpen(QStringLiteral("退勤モード"), now);
    }
    // Evaluated like the two above: a band across midnight is also open after midnight,
    // where a day-change clock-out is meant to be used.
    higawaritaiMode = bandOpen(QStringLiteral("日替退勤有効時刻帯"), now);
}

void Form1Clock::clickMyLabel(MyLabel*, QString id)
{
    setClockModoriTimer();
    if (formActive != 2 && !allowCardTouch) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "this->formActive     " << formActive
                    << "this->allowCardTouch " << allowCardTouch;
        return;
    }
    // Panels carry "_BG_" and a code; the plain panel of mode 1 has no id. Anything else
    // ("Exit" of the alert, the screen-shot spot) is not a panel.
    if (!id.isEmpty() && !id.startsWith(panelMark))
        return;
    const int code = id.mid(panelMark.size()).toInt();

    if (code == Higawaritai && !higawaritaiMode) {
        SoundModule::play(errorSound, SoundModule::touchVolume);
        infoMessage = QStringLiteral("日替退は無効時間帯です");
        updateScreen();
        vnq::clock().sleepMs(messageWaitMs);
        infoMessage.clear();
        updateScreen();
        return;
    }
    if (code == Higawaritai || (code >= 0 && code <= 199) || code == Kaijou) {
        SoundModule::play(buttonSound, SoundModule::touchVolume);
        selectPanel(code);
        updateScreen();
        return;
    }
    if (code != Menu)
        return;

    if (QFile::exists(vnq::boardPath(QStringLiteral("/tmp/vantroq.lock")))
        || QFile::exists(vnq::boardPath(QStringLiteral("/tmp/vantroq.unlock")))) {
        SoundModule::play(errorSound, SoundModule::touchVolume);
        lockBusy = true;
        return;
    }
    if (cloudBusy()) {
        SoundModule::playTouchNG();
        lockBusy = true;
        return;
    }
    SoundModule::play(buttonSound, SoundModule::touchVolume);
    clearSelectedKubunList();
    movePage(7, nullptr);
}

bool Form1Clock::cloudBusy() const
{
    CloudLink* link = CloudLink::current();
    return link && link->busy();
}

void Form1Clock::timeoutHandlerTouchYusen()
{
    if (formActive != 2 && !allowCardTouch) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << formActive << allowCardTouch;
        return;
    }
    resetSelectedKubunList(true);
    updateScreen();
}

void Form1Clock::timeoutHandlerShukinMode(bool enabled, bool update)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << enabled << update;
    shukinMode = enabled;
    resetSelectedKubunList(true);
    if (update)
        updateScreen();
}

void Form1Clock::timeoutHandlerTaikinMode(bool enabled)
{
    taikinMode = enabled;
    resetSelectedKubunList(true);
    updateScreen();
}

void Form1Clock::timeoutHandlerHigawaritaiMode(bool enabled)
{
    higawaritaiMode = enabled;
    resetSelectedKubunList(true);
    updateScreen();
}
