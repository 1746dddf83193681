// The libutl functions libktr610 takes from the process, on the scripted line's clock.
#include "scripted_line.h"
#include "utl.h"

#include <cstring>

using ktr610test::ScriptedLine;

extern "C" {

uint32_t utl_get_time_msec(void)
{
    return ScriptedLine::get().nowMs;
}

uint32_t utl_get_rest_timeout(uint32_t start_ms, uint32_t timeout_ms, uint32_t* elapsed_out)
{
    const uint32_t elapsed = ScriptedLine::get().nowMs - start_ms;
    if (elapsed_out)
        *elapsed_out = elapsed;
    return elapsed >= timeout_ms ? 0 : timeout_ms - elapsed;
}

uint32_t utl_msleep(uint32_t ms)
{
    ScriptedLine::get().calls.push_back("sleep " + std::to_string(ms));
    ScriptedLine::get().nowMs += ms;
    return 0;
}

void* utl_memcpy(void* destination, const void* source, size_t count)
{
    return std::memmove(destination, source, count);
}

int utl_memcmp(const void* a, const void* b, size_t count)
{
    return std::memcmp(a, b, count);
}

}
