#pragma once

#include "tempboardroot.h"

#include <QByteArray>
#include <QString>

namespace vnq::test {

// Runs a shell line with a PATH that holds only a "reboot" that leaves a marker on the board,
// so anything the line runs by accident shows up. Returns standard output.
QByteArray runShellProbe(const TempBoardRoot& board, const QString& line);
// Whether a line run by runShellProbe ran something.
bool shellProbeRanSomething(const TempBoardRoot& board);

}  // namespace vnq::test
