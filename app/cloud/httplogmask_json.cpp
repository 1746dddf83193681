#include "httplogmask.h"
#include "httplogmask_spans.h"

#include "qtjson.h"

namespace logmask::detail {

// The client's own reader walks the body and tells where each object's members stand, so a
// member is found whatever its spelling (escapes) and whatever stands between the members.
void jsonSecretSpans(const QString& body, QVector<Span>* spans)
{
    bool parsed = false;
    QtJson::parse(body, parsed, [spans](const QVector<QtJson::MemberSpan>& members) {
        bool secretKey = false;
        for (const QtJson::MemberSpan& m : members) {
            secretKey = secretKey
                || (m.name == QLatin1String("key") && m.value.type() == QVariant::String
                    && isSecretSetting(m.value.toString()));
        }
        for (const QtJson::MemberSpan& m : members) {
            if (m.name == QLatin1String("token") || (secretKey && m.name == QLatin1String("value")))
                spans->append({m.start, m.end, true});
        }
    });
}

}  // namespace logmask::detail
