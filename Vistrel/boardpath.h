#pragma once

#include <QString>

namespace vistrel {

// The file that holds an absolute board path ("/tmp/vistrel.uds" under VNQ_ROOT); a relative
// path ("./start.xml") is returned unchanged, relative to the working directory.
QString boardPath(const QString& path);

}  // namespace vistrel
