#pragma once

#include <QString>
#include <QtGlobal>

// The update times the cloud services send, read as seconds since 1970 of the local clock in
// 64 bits. Every field must be there and be digits only; anything else is no time (-1), never
// a time made up from the parts that could be read.
namespace updatetime {

// "yyyy-MM-dd hh:mm:ss" (the SOAP service).
qint64 fromSoapText(const QString& text);
// "yyyyMMddhhmmss" (the JSON service).
qint64 fromMeridText(const QString& text);

}  // namespace updatetime
