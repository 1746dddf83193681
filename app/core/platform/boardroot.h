#pragma once

#include <QString>

namespace vnq {

// The directory that stands in for "/" on the simulated board, taken from VNQ_ROOT.
// Empty on the board itself, so every path is then exactly the one the system names.
QString boardRoot();

// Maps an absolute path of the board ("/VnQo/app/DB/setting.db") to the file that holds it.
// Relative paths are returned unchanged.
QString boardPath(const QString& absolutePath);

}  // namespace vnq
