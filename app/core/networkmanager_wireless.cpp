// Wireless scan and antenna level.
#include "networkmanager.h"

#include "commandquote.h"
#include "debugline.h"
#include "loggabletext.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"
#include "zsystem.h"

#include <QFile>

namespace {

const int commandTimeoutMs = 30000;
// The level file holds one small number; more than this is never read.
const int levelReadLimit = 64;

QString levelFile()
{
    return vnq::boardPath(QStringLiteral("/sys/class/net/wlan0/wireless/level"));
}

// The level when the driver has no level file: the adapter is missing unless its USB power
// line is on, in which case it is there but not up yet.
int levelWithoutLevelFile(const char* function, int line)
{
    if (ZSystem::gpio(ZSystem::GPIO33) == 1) {
        DebugLine() << "<DBG>" << function << "[" << line << "]:" << "WiFiアダプタのUSBポート非活性";
        return 0;
    }
    return -1;
}

}  // namespace

bool NetworkManager::getSsidList(QStringList* list)
{
    vnq::commandRunner().run(QStringLiteral("ifconfig wlan0 up"), commandTimeoutMs);
    const QString command = QStringLiteral("iwlist wlan0 scanning");
    const QString output = QString::fromUtf8(vnq::commandRunner().run(command, commandTimeoutMs).output);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "cmd:" << command;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "   :" << vnq::loggableText(output);

    const QString startMark = QStringLiteral("ESSID:\"");
    const QString endMark = QStringLiteral("\"\n");
    int position = 0;
    for (;;) {
        int start = output.indexOf(startMark, position);
        if (start < 0)
            break;
        start += startMark.size();
        const int end = output.indexOf(endMark, start);
        // A cell cut off before its closing quote ends the scan.
        if (end < 0)
            break;
        const QString ssid = output.mid(start, end - start);
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "index: " << start << ", offset: " << end
                    << ", ssid: " << ssid;
        if (!ssid.isEmpty() && list)
            list->append(ssid);
        position = end;
    }
    return true;
}

int NetworkManager::getApSignalLevelOnce()
{
    QFile file(levelFile());
    if (!file.exists())
        return levelWithoutLevelFile(Q_FUNC_INFO, __LINE__);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    int value = QString::fromLatin1(file.read(levelReadLimit)).trimmed().toInt();
    // A positive figure is a quality reading on a 0 to 110 scale.
    if (value > 0)
        value -= 110;
    return convertApLevel(value);
}

int NetworkManager::getApSignalLevel()
{
    if (!QFile::exists(levelFile()))
        return levelWithoutLevelFile(Q_FUNC_INFO, __LINE__);
    return convertApLevel(getNetStatus(QStringLiteral("wlan0"), 8).trimmed().toInt());
}

int NetworkManager::getApSignalLevel(const QString& essid)
{
    const QString command = QStringLiteral("iwlist wlan0 scanning essid ") + vnq::commandArgument(essid);
    const QString output = QString::fromUtf8(vnq::commandRunner().run(command, commandTimeoutMs).output);
    const QString mark = QStringLiteral("Signal level=");
    const int found = output.indexOf(mark);
    if (found <= 0)
        return 0;
    const int start = found + mark.size();
    const int end = output.indexOf(QStringLiteral(" dBm"), start);
    if (end < 0)
        return 0;
    const int dbm = output.mid(start, end - start).trimmed().toInt();
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "AP signal level: " << dbm;
    return convertApLevel(dbm);
}

int NetworkManager::convertApLevel(int dbm)
{
    if (dbm >= 0)
        return 0;
    if (dbm >= -39)
        return 4;
    if (dbm >= -64)
        return 3;
    if (dbm >= -74)
        return 2;
    return 1;
}
