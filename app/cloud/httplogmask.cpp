#include "httplogmask.h"
#include "httplogmask_spans.h"

#include "loggabletext.h"

#include <algorithm>

namespace logmask {

namespace {

const QString hidden = QStringLiteral("****");

}  // namespace

QString maskSecret(const QString& secret)
{
    return hidden + QStringLiteral("(%1)").arg(secret.size());
}

bool isSecretSetting(const QString& key)
{
    const QString name = key.trimmed();
    return name == QLatin1String("admin_password") || name == QStringLiteral("管理者パスワード");
}

QString maskBody(const QString& body)
{
    QVector<detail::Span> spans;
    detail::xmlSecretSpans(body, &spans);
    detail::jsonSecretSpans(body, &spans);
    if (spans.isEmpty())
        return body;
    std::sort(spans.begin(), spans.end(), [](const detail::Span& a, const detail::Span& b) { return a.start < b.start; });
    QString out;
    int from = 0;
    for (int k = 0; k < spans.size();) {
        detail::Span merged = spans[k];
        for (++k; k < spans.size() && spans[k].start < merged.end; ++k)
            merged.end = qMax(merged.end, spans[k].end);
        if (merged.end <= merged.start)
            continue;
        out += body.midRef(from, merged.start - from);
        out += merged.quoted ? QLatin1Char('"') + hidden + QLatin1Char('"') : hidden;
        from = merged.end;
    }
    out += body.midRef(from);
    return out;
}

QString bodyForLog(const QString& body)
{
    return vnq::loggableText(maskBody(body));
}

}  // namespace logmask
