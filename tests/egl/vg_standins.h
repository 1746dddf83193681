#pragma once

// What the OpenVG stand-ins were asked, for the tests that look at EGL's calls into OpenVG.

#include <string>
#include <vector>

#include "vg/common/vg_surface.h"

namespace egltest {

struct VgStandIns {
    std::vector<std::string> calls;
    int initResult = 1;
    int makeCurrentResult = 1;
    int liveContexts = 0;
    int finishes = 0;
    ALsurface* currentSurface = nullptr;
};

VgStandIns& standIns();

}  // namespace egltest
