#pragma once

#include <QString>

namespace vnq::sim {

// One screen update as text: each action or item on its own line, the percent-encoded
// <text> and <filename> contents decoded.
QString decodeUpdate(const QString& update);

}  // namespace vnq::sim
