#include "soapenvelope.h"

namespace soap {

QString escaped(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        default: out += c;
        }
    }
    return out;
}

QString element(const QString& name, const QString& value)
{
    return QLatin1Char('<') + name + QLatin1Char('>') + escaped(value) + QLatin1String("</") + name + QLatin1Char('>');
}

QString group(const QString& name, const QString& children)
{
    return QLatin1Char('<') + name + QLatin1Char('>') + children + QLatin1String("</") + name + QLatin1Char('>');
}

QString envelope(const QString& serviceUrl, const QString& operation, const QString& children)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                          "<soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                          " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
                          " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                          "<soap:Header></soap:Header><soap:Body>")
           + QLatin1Char('<') + operation + QStringLiteral(" xmlns=\"") + escaped(serviceUrl) + QStringLiteral("\">")
           + children + QLatin1String("</") + operation + QLatin1Char('>')
           + QStringLiteral("</soap:Body></soap:Envelope>");
}

}  // namespace soap
