#pragma once

#include <QString>

namespace vnq {

// The text as one word of a POSIX shell line: in single quotes, each ' written as '\''.
// The shell gives back exactly the text and expands nothing inside it.
QString shellQuoted(const QString& text);

// The text as one argument of a command text that the command runner splits the way
// QProcess::splitCommand does: in double quotes, each " written as three.
QString commandArgument(const QString& text);

}  // namespace vnq
