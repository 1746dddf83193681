#pragma once

#include <QString>

namespace vistrel {

class DrawPort;

// The drawing port the program uses, named by VNQ_VISTREL_DRAW: "ovg" (the default; a build
// without VNQ_VISTREL_OVG records instead) or "record". Prints once what it chose when that
// draws no pixels. The port lives until the process ends.
DrawPort* chooseDrawPort(const QString& name);

}  // namespace vistrel
