#include "sssys.h"

namespace vistrel {
namespace {

const SSSysJob_s* jobAt(const sssys_s* runner, unsigned index)
{
    if (!runner->table || index >= static_cast<unsigned>(runner->jobCount))
        return nullptr;
    return runner->table[index];
}

}  // namespace

void sssysInit(sssys_s* runner, const SSSysJob_s* const* table, int jobCount, void* work)
{
    runner->current = 0;
    runner->next = SSSYS_NO_SWITCH;
    runner->previous = SSSYS_NO_SWITCH;
    runner->table = table;
    runner->jobCount = jobCount;
    runner->work = work;
}

void sssysMain(sssys_s* runner, void* argument)
{
    if (runner->next != SSSYS_NO_SWITCH) {
        runner->previous = runner->current & ~SSSYS_PROLOGUE_DONE;
        runner->current = runner->next & ~SSSYS_PROLOGUE_DONE;
        runner->next = SSSYS_NO_SWITCH;
    }
    const SSSysJob_s* job = jobAt(runner, runner->current & ~SSSYS_PROLOGUE_DONE);
    if (!job)
        return;
    if (!(runner->current & SSSYS_PROLOGUE_DONE)) {
        const SSSysJob_s* left = jobAt(runner, runner->previous);
        if (left && left->epilogue)
            left->epilogue(runner);
        if (job->prologue)
            job->prologue(runner);
        runner->current |= SSSYS_PROLOGUE_DONE;
    }
    if (runner->next == SSSYS_NO_SWITCH && job->main)
        job->main(runner, argument);
}

}  // namespace vistrel
