#pragma once

#include <cstdint>

namespace vistrel {

struct sssys_s;

// One job of the runner; any of its functions may be absent.
struct SSSysJob_s {
    void (*prologue)(sssys_s* runner);
    void (*main)(sssys_s* runner, void* argument);
    void (*epilogue)(sssys_s* runner);
};

// The job runner: bits 0-14 of current are the job index, bit 15 is set once the job's
// prologue has run; next is 0xFFFF while no switch is requested.
struct sssys_s {
    uint16_t current;
    uint16_t next;
    uint16_t previous;
    const SSSysJob_s* const* table;  // indexed by job; a null entry is no job
    int jobCount;
    void* work;
};

constexpr uint16_t SSSYS_NO_SWITCH = 0xFFFF;
constexpr uint16_t SSSYS_PROLOGUE_DONE = 0x8000;

void sssysInit(sssys_s* runner, const SSSysJob_s* const* table, int jobCount, void* work);
// One step: take a requested switch, run the epilogue of the job left and the prologue of
// the job entered once, then the current job's main unless its prologue asked for a switch.
void sssysMain(sssys_s* runner, void* argument);

}  // namespace vistrel
