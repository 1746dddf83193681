#include "updatetime.h"

#include <QDateTime>
#include <QRegularExpression>

namespace updatetime {

namespace {

qint64 secondsOf(const QRegularExpressionMatch& match)
{
    if (!match.hasMatch())
        return -1;
    const auto field = [&](int n) { return match.captured(n).toInt(); };
    const QDate date(field(1), field(2), field(3));
    const QTime time(field(4), field(5), field(6));
    if (!date.isValid() || !time.isValid())
        return -1;
    const QDateTime when(date, time);
    return when.isValid() ? when.toSecsSinceEpoch() : -1;
}

}  // namespace

qint64 fromSoapText(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{1,4})-([0-9]{1,2})-([0-9]{1,2}) ([0-9]{1,2}):([0-9]{1,2}):([0-9]{1,2})\\z"));
    return secondsOf(form.match(text));
}

qint64 fromMeridText(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{4})([0-9]{2})([0-9]{2})([0-9]{2})([0-9]{2})([0-9]{2})\\z"));
    return secondsOf(form.match(text));
}

}  // namespace updatetime
