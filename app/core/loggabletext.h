#pragma once

#include <QString>

namespace vnq {

// Longest text from outside that goes into a log line.
constexpr int LoggableTextMax = 512;

// Text that came from outside (a socket message, a reader's or a server's answer) in the form
// it may take in a log line: control characters written as \n, \r or \xNN (line and paragraph
// separators as \uNNNN), so it can never start a line of its own; cut to at most
// LoggableTextMax characters, with the full length noted as "... (N bytes)".
QString loggableText(const QString& text);

}  // namespace vnq
