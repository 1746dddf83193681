#pragma once

#include <functional>

namespace vnq {

// Ends the process with the given status the way the terminal must end: close the system
// log and leave at once with _exit(), so no static destructor runs while other threads still
// hold locks. Tests install a hook that records the status instead; the caller must then
// simply return.
void exitProcess(int status);

using ExitHook = std::function<void(int status)>;

// Installs a hook in place of the real exit; an empty hook restores it.
void setExitHook(ExitHook hook);

}  // namespace vnq
