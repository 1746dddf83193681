#pragma once

#include <QString>

// The entries of the six-digit password and code keypads.
namespace codeentry {

// Whether the entry holds six typed digits (an untouched entry holds the unset marker).
inline bool isComplete(const QString& entry)
{
    if (entry.length() != 6)
        return false;
    for (const QChar c : entry) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

}  // namespace codeentry
