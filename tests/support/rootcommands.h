#pragma once

#include "recordingrunner.h"

#include <QString>
#include <QStringList>

namespace vnq::test {

// The words of a shell line as sh splits them. Single quotes and backslashes are taken apart;
// a double quote, an expansion ($, `) or a command separator (; | newline) outside single
// quotes is an error, since it could reach beyond the line's own words. Redirections (<, >, &)
// only separate words.
QStringList shellWords(const QString& line, QString* error);

// Why a recorded command would reach outside the board root at root -- a path outside it, a
// piece of a root path split in two, or shell text that is not plain words -- or an empty
// text when it stays inside.
QString whyCommandLeavesRoot(const RecordingRunner::Call& call, const QString& root);

}  // namespace vnq::test
