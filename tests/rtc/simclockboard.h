#pragma once

#include "tempboardroot.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace vnq::test {

struct ToolRun {
    int status = -1000;  // exit status as the parent sees it (-1 is 255)
    QByteArray out;
    QByteArray err;
    qint64 elapsedMs = 0;
};

// A board root with the simulated RTC (/dev/rtc0) and system clock (the set log), on which the
// RTC tools run as child processes. Times are microseconds since the epoch.
class SimClockBoard {
public:
    SimClockBoard();

    // Seconds as the simulated clock writes them: "1000.400000".
    static QString seconds(qint64 us);

    void setRtc(const QByteArray& lines) const;
    void removeRtc() const;
    // The RTC file's "key value" lines.
    QMap<QString, QString> rtcState() const;
    void setSystemClockLog(const QByteArray& lines) const;
    QByteArray systemClockLog() const;

    // Runs program with args; worldUs >= 0 starts the simulated world (and system) time there,
    // so the run's timing is virtual and exact; worldUs < 0 runs on the host's real time.
    ToolRun run(const char* program, const QStringList& args, qint64 worldUs,
                const QString& tz = QStringLiteral("UTC")) const;

private:
    TempBoardRoot m_root;
};

}  // namespace vnq::test
