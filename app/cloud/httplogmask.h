#pragma once

#include <QString>

// Log text of the cloud exchanges: secrets never reach a log line whole, and text that came
// from a request body or a server is made harmless before it is printed.
namespace logmask {

// "****" and the length of the secret, e.g. "****(15)".
QString maskSecret(const QString& secret);

// Whether a setting, by its English key or its item name, holds a secret (the administrator
// password), whose value no log line shows.
bool isSecretSetting(const QString& key);

// The body with every value the cloud clients would take as a secret replaced by "****", found
// as their readers find it rather than by its spelling: the content of every XML element
// `token` and `seed` (any prefix; CDATA, comments and character references included), every
// XML `value` that the settings reader pairs with the name of a secret setting (before or
// after it), the value of every JSON member named "token" (escapes decoded) and every "value"
// member of a JSON object whose "key" names a secret setting (whatever stands between them).
// Over-masking is preferred to missing a secret: text that does not read to its end is masked
// as far as it was read, and an unterminated secret to the end of the body.
QString maskBody(const QString& body);

// A body ready for a log line: masked, then escaped and cut as all outside text is.
QString bodyForLog(const QString& body);

}  // namespace logmask
