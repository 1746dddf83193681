#pragma once

#include "db.h"
#include "dbsetting.h"
#include "messagecapture.h"
#include "recordingrunner.h"
#include "shellprobe.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <ostream>

// Failure messages show texts as text rather than as UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace vnq::test {

// A board root with the shipped setting.db, the network configuration directories, a
// recording command runner and a capture of the log lines.
class NetworkBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(installShippedDatabases(board));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/etc/network/config/eth0")));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/etc/network/config/wlan0")));
        ZSystem::setMode(ZSystem::Basic);
    }

    static void set(const QString& jname, int value) { ASSERT_TRUE(DBSetting::setSetting(jname, value)) << qPrintable(jname); }
    // Sets "<item>0" to "<item>3" from a dotted address.
    static void setAddress(const QString& item, const QString& dotted)
    {
        const QStringList octets = dotted.split(QLatin1Char('.'));
        for (int i = 0; i < 4; ++i)
            set(item + QString::number(i), octets.at(i).toInt());
    }
    // Removes a setting item, so reading it fails.
    static void drop(const QString& jname)
    {
        ASSERT_TRUE(DB::getInstance()->execQueryBase(QStringLiteral("../DB/setting.db"),
                                                     QStringLiteral("DELETE FROM setting WHERE jname = ?"), nullptr,
                                                     {jname}));
    }

    QString config(const QString& name) const
    {
        return QString::fromUtf8(board.readFile(QStringLiteral("/VnQo/etc/network/config/") + name));
    }
    QString boardScript(const QString& path) const { return board.path(path); }

    // Runs a shell line with nothing on PATH but a marker-leaving "reboot".
    QByteArray runShell(const QString& line) { return runShellProbe(board, line); }
    bool somethingRan() const { return shellProbeRanSomething(board); }

    TempBoardRoot board;
    RecordingRunner runner;
    MessageCapture log;
};

}  // namespace vnq::test
