#pragma once

#include <QString>

namespace vnq {

// The text as one word of a POSIX shell line: in single quotes, each ' written as '\''.
// The shell gives back exactly the text and expands nothing inside it.
QString shellQuoted(const QString& text);

// The text as one argument of a command text that the command runner splits the way
// QProcess::splitCommand does: in double quotes, each " written as three.
QString commandArgument(const QString& text);

// A board path as one word of a shell line: as it is when it holds only characters the shell
// takes literally (so on the board the line is the familiar one), otherwise shellQuoted.
QString shellWord(const QString& path);

// A board path as one argument of a runner command text: as it is when it holds no
// white space or quote, otherwise commandArgument.
QString commandWord(const QString& path);

}  // namespace vnq
