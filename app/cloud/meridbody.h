#pragma once

#include <QString>

// Writes the request bodies of the JSON service by hand, so the members keep their order and
// the text has no white space (the service compares bodies as they are written). Every string
// value is escaped as QtJson writes strings.
class MeridBody {
public:
    // A string as a JSON string literal, quotes included.
    static QString quoted(const QString& value);

    // Opens the object; `member` and `raw` add members in call order.
    MeridBody();
    MeridBody& member(const QString& name, const QString& value);
    MeridBody& member(const QString& name, qlonglong value);
    // A member whose value is already JSON text (an array, for instance).
    MeridBody& raw(const QString& name, const QString& json);
    QString text() const { return m_text + QLatin1Char('}'); }

private:
    QString m_text;
};
