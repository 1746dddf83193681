#include "commandquote.h"

namespace vnq {

namespace {

bool onlyCharacters(const QString& text, QLatin1String allowed)
{
    for (const QChar c : text) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || QString(allowed).contains(c);
        if (!plain)
            return false;
    }
    return !text.isEmpty();
}

}  // namespace

QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString commandArgument(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString shellWord(const QString& path)
{
    return onlyCharacters(path, QLatin1String("/._-+,:@%=")) ? path : shellQuoted(path);
}

QString commandWord(const QString& path)
{
    for (const QChar c : path) {
        if (c.isSpace() || c == QLatin1Char('"') || c == QLatin1Char('\''))
            return commandArgument(path);
    }
    return path.isEmpty() ? commandArgument(path) : path;
}

}  // namespace vnq
