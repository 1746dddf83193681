#pragma once

#include <QString>

namespace vnq {

// On the simulated board, copies every Qt message (and so every log line) to the given file
// under the board root as well as to standard error. Does nothing when the board root is empty.
void installBoardLogFile(const QString& boardFile);

}  // namespace vnq
