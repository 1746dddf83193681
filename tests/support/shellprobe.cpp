#include "shellprobe.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace vnq::test {

QByteArray runShellProbe(const TempBoardRoot& board, const QString& line)
{
    const QString bin = board.path(QStringLiteral("/probe-bin"));
    board.writeFile(QStringLiteral("/probe-bin/reboot"), "#!/bin/sh\n: > \"$VNQ_ROOT/ran-reboot\"\n");
    QFile::setPermissions(bin + QStringLiteral("/reboot"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess sh;
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), bin);
    env.insert(QStringLiteral("VNQ_ROOT"), board.root());
    sh.setProcessEnvironment(env);
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), line});
    EXPECT_TRUE(sh.waitForFinished(10000));
    return sh.readAllStandardOutput();
}

bool shellProbeRanSomething(const TempBoardRoot& board)
{
    return board.exists(QStringLiteral("/ran-reboot"));
}

}  // namespace vnq::test
