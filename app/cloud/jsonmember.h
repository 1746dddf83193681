#pragma once

#include <QString>
#include <QVariant>

// Typed reads of the members of a parsed JSON answer (QtJson trees).
namespace jsonmember {

// A JSON integer that fits an int; a string, a fraction or any other type is not one.
bool integer(const QVariant& value, int* out);
// The text of a JSON string; false for any other type.
bool text(const QVariant& value, QString* out);
// The text of a JSON string, or empty for any other type.
QString textOrEmpty(const QVariant& value);

}  // namespace jsonmember
