#include "loggabletext.h"

namespace vnq {

namespace {

// The character (or surrogate pair) at i as it is logged; count is how many it takes.
QString escapedAt(const QString& text, int i, int* count)
{
    const ushort code = text.at(i).unicode();
    *count = 1;
    if (code == '\n')
        return QStringLiteral("\\n");
    if (code == '\r')
        return QStringLiteral("\\r");
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
        return QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
    if (code == 0x2028 || code == 0x2029)
        return QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0'));
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        *count = 2;
    return text.mid(i, *count);
}

// Escapes text until the result would grow beyond limit; returns how much of it was taken.
int escapeInto(QString* out, const QString& text, int limit)
{
    int i = 0;
    while (i < text.size()) {
        int count = 0;
        const QString piece = escapedAt(text, i, &count);
        if (out->size() + piece.size() > limit)
            break;
        *out += piece;
        i += count;
    }
    return i;
}

}  // namespace

QString loggableText(const QString& text)
{
    QString out;
    if (escapeInto(&out, text, LoggableTextMax) == text.size())
        return out;
    const QString note = QStringLiteral("... (%1 bytes)").arg(text.toUtf8().size());
    out.clear();
    escapeInto(&out, text, LoggableTextMax - note.size());
    return out + note;
}

}  // namespace vnq
