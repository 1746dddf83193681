#pragma once

#include <QString>

// The SOAP 1.1 request text of the cloud service: no whitespace between elements, every value
// XML-escaped (ordinary values come out unchanged).
namespace soap {

QString escaped(const QString& value);
// "<name>value</name>" with the value escaped.
QString element(const QString& name, const QString& value);
// "<name>" + children (already built) + "</name>".
QString group(const QString& name, const QString& children);
QString envelope(const QString& serviceUrl, const QString& operation, const QString& children);

}  // namespace soap
