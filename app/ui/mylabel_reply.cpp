#include "mylabel.h"

#include "debugline.h"
#include "loggabletext.h"
#include "mytimer.h"
#include "screenreplies.h"
#include "soundmodule.h"

#include <QTimer>
#include <QXmlStreamReader>

namespace {
// The display server's full-screen background: no generation digit, never a click.
const QString backgroundMark = QStringLiteral("@@_BG_@@");
// Touchable without the click sound.
const QString silentMark = QStringLiteral("_BG_");
const QString screenShotId = QStringLiteral("_SCREENSHOT_");
// A touch on a screen that has been replaced since.
const QString staleId = QStringLiteral("_FAIL_");

enum TouchEvent { TouchDown = 0, TouchReleased = 1, TouchHeld = 3 };
}  // namespace

void MyLabel::messageReceived(QString message)
{
    for (const QString& reply : ScreenReplies::take(&pendingReplies, message))
        handleReply(reply);
}

// One reply, read token by token up to its end or the first XML error.
void MyLabel::handleReply(const QString& reply)
{
    QXmlStreamReader xml(reply);
    QString id;
    int event = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.hasError())
            break;
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("status")) {
                const QString status = xml.readElementText();
                if (xml.hasError())
                    break;
                if (status == QLatin1String("ready")) {
                    busy = false;
                    timer->stop();
                    emit ready();
                }
            } else if (xml.name() == QLatin1String("id")) {
                id = xml.readElementText();
                if (xml.hasError())
                    break;
                if (!id.contains(backgroundMark)) {
                    const QChar first = id.isEmpty() ? QChar() : id.at(0);
                    const int digit = first >= QLatin1Char('0') && first <= QLatin1Char('9') ? first.digitValue() : 0;
                    if (digit == generation)
                        id.remove(0, 1);
                    else
                        id = staleId;
                }
            } else if (xml.name() == QLatin1String("event")) {
                const QString number = xml.readElementText();
                if (xml.hasError())
                    break;
                event = number.toInt();
            }
        }
        if (!id.isEmpty() && event >= 0) {
            if (!dispatchTouch(id, event))
                return;
            id.clear();
            event = -1;
        }
    }
}

bool MyLabel::dispatchTouch(const QString& id, int event)
{
    // A touch on a dark screen only lights it.
    if (MyTimer::getInstance()->setBacklight(true))
        return false;

    if (id == staleId) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "タッチイベント遅れ";
    } else if (event == TouchReleased) {
        emit released(this, id);
    } else if (event == TouchHeld) {
        emit clickedLong(this, id);
    } else if (event == TouchDown) {
        if (id.contains(screenShotId)) {
            shotScreen();
        } else if (!id.contains(backgroundMark)) {
            if (!id.contains(silentMark))
                SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), SoundModule::touchVolume);
            emit clicked(this, id);
        }
    }
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "end parse:" << vnq::loggableText(id) << event;
    return true;
}
