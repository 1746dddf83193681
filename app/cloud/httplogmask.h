#pragma once

#include <QString>

// Log text of the cloud exchanges: secrets never reach a log line whole, and text that came
// from a request body or a server is made harmless before it is printed.
namespace logmask {

// "****" and the length of the secret, e.g. "****(15)".
QString maskSecret(const QString& secret);

// The body with the text of every XML element `token` (and `seed`, from which a token is
// made), the value of every JSON member
// "token" and the value paired with the setting "admin_password" (an XML name/value pair or a
// JSON key/value object) replaced by "****".
QString maskBody(const QString& body);

// Outside text as one log line: control characters escaped ("\n", "\r", "\xNN") and, beyond
// 512 characters, cut with the full length noted ("... (1048576 bytes)").
QString outsideText(const QString& text);

// A body ready for a log line: masked, then escaped and cut.
QString bodyForLog(const QString& body);

}  // namespace logmask
