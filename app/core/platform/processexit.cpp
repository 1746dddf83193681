#include "platform/processexit.h"

#include <syslog.h>
#include <unistd.h>

#include <mutex>

namespace vnq {

namespace {
std::mutex hookMutex;
ExitHook& installedHook()
{
    static ExitHook hook;
    return hook;
}
}  // namespace

void exitProcess(int status)
{
    ExitHook hook;
    {
        std::lock_guard<std::mutex> lock(hookMutex);
        hook = installedHook();
    }
    if (hook) {
        hook(status);
        return;
    }
    closelog();
    _exit(status);
}

void setExitHook(ExitHook hook)
{
    std::lock_guard<std::mutex> lock(hookMutex);
    installedHook() = std::move(hook);
}

}  // namespace vnq
