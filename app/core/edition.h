#pragma once

#include "zsystem.h"

// The edition named by the first command-line argument, compared over its first 6
// characters: "-Basic" basic, "-Cloud" cloud, "-Merid" Merid (so "-Cloudy" is the cloud
// edition). No argument or any other word gives the basic edition.
ZSystem::_zmode editionFromCommandLine(int argc, const char* const* argv);
