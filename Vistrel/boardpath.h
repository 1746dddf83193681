#pragma once

#include <QString>

namespace vistrel {

// The file that holds an absolute board path ("/tmp/vistrel.uds" under VNQ_ROOT); a relative
// path ("./start.xml") is returned unchanged, relative to the working directory.
QString boardPath(const QString& path);

// The file that holds a file name a client sent: an absolute name is a board path, a relative
// one ("../Parts/a.png") is taken from the working directory. "." and ".." are resolved by
// the name's own text; a name that leads out of the board root (VNQ_ROOT, or the whole file
// system without it) has no file and gives an empty string.
QString boardFileInside(const QString& name);

}  // namespace vistrel
