#pragma once

#include <QString>

namespace vistrel {

class DrawPort;

// The drawing port the program uses, named by VNQ_VISTREL_DRAW: "record" (the default, and the
// only port of a build without VNQ_VISTREL_OVG) or "ovg". Prints once what it chose when that
// draws no pixels. The port lives until the process ends.
DrawPort* chooseDrawPort(const QString& name);

}  // namespace vistrel
