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

// A body ready for a log line: masked, then escaped and cut as all outside text is.
QString bodyForLog(const QString& body);

}  // namespace logmask
