#include "drawportchoice.h"

#include "recordingdrawport.h"
#ifdef VNQ_VISTREL_OVG
#include "ovgdrawport.h"
#endif

#include <cstdio>

namespace vistrel {

DrawPort* chooseDrawPort(const QString& name)
{
    const bool ovgAsked = name.isEmpty() || name == QLatin1String("ovg");
#ifdef VNQ_VISTREL_OVG
    if (ovgAsked) {
        static OvgDrawPort ovg;
        return &ovg;
    }
#else
    if (ovgAsked)
        std::printf("drawing: the ovg port is not built (CMake option VNQ_VISTREL_OVG)\n");
#endif
    if (!ovgAsked && name != QLatin1String("record"))
        std::printf("drawing: unknown port \"%s\"\n", qPrintable(name));
    std::printf("drawing: recording only, no pixels\n");
    std::fflush(stdout);
    static RecordingDrawPort recording;
    return &recording;
}

}  // namespace vistrel
