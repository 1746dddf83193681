#include "drawport.h"

#include "recordingdrawport.h"

namespace vistrel {
namespace {

DrawPort* installedPort = nullptr;

}  // namespace

DrawPort& drawPort()
{
    if (!installedPort) {
        static RecordingDrawPort fallback;
        return fallback;
    }
    return *installedPort;
}

void setDrawPort(DrawPort* port)
{
    installedPort = port;
}

}  // namespace vistrel
