#include "drawportchoice.h"

#include "recordingdrawport.h"

#include <cstdio>

namespace vistrel {

DrawPort* chooseDrawPort(const QString& name)
{
    if (name == QLatin1String("ovg"))
        std::printf("drawing: the ovg port is not built (CMake option VNQ_VISTREL_OVG)\n");
    else if (!name.isEmpty() && name != QLatin1String("record"))
        std::printf("drawing: unknown port \"%s\"\n", qPrintable(name));
    std::printf("drawing: recording only, no pixels\n");
    std::fflush(stdout);
    static RecordingDrawPort recording;
    return &recording;
}

}  // namespace vistrel
