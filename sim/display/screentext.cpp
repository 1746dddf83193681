#include "screentext.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace vnq::sim {

namespace {

QString decodeTexts(const QString& line)
{
    static const QRegularExpression encoded(QStringLiteral("<(text|filename)>([^<]*)</\\1>"));
    QString out;
    int from = 0;
    auto it = encoded.globalMatch(line);
    while (it.hasNext()) {
        const auto match = it.next();
        out += line.mid(from, match.capturedStart() - from);
        out += QStringLiteral("<%1>%2</%1>")
                   .arg(match.captured(1), QUrl::fromPercentEncoding(match.captured(2).toLatin1()));
        from = match.capturedEnd();
    }
    return out + line.mid(from);
}

}  // namespace

QString decodeUpdate(const QString& update)
{
    static const QRegularExpression part(QStringLiteral("<action>.*?</action>|<item>.*?</item>"));
    QStringList lines;
    auto it = part.globalMatch(update);
    while (it.hasNext())
        lines << decodeTexts(it.next().captured(0));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace vnq::sim
