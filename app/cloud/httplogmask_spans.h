#pragma once

#include <QString>
#include <QVector>

// The scanners behind logmask::maskBody: each finds the stretches of a body that hold a value
// the cloud clients' readers would take as a secret.
namespace logmask::detail {

// [start, end) of the body; `quoted`: replaced by a JSON string rather than bare text.
struct Span {
    int start = 0;
    int end = 0;
    bool quoted = false;
};

// The XML elements token and seed, and the settings values paired with a secret setting's
// name, as a tolerant reading of the body finds them: it goes on where a strict reader stops
// (undeclared prefixes, several roots, a cut), so it finds at least what the client reads.
void xmlSecretSpans(const QString& body, QVector<Span>* spans);

// The JSON members "token" and the "value" members beside a secret setting's "key", read by
// the rules of the client's JSON reader from the start of the body.
void jsonSecretSpans(const QString& body, QVector<Span>* spans);

}  // namespace logmask::detail
