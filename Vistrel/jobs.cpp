#include "jobs.h"

#include "guievents.h"
#include "guimodule.h"

#include <cstdio>

namespace vistrel {
namespace {

void jobs_noop_prolog(sssys_s*)
{
    std::printf("%s()\n", "jobs_noop_prolog");
    std::fflush(stdout);
}

void jobs_noop_main(sssys_s*, void*) {}

void aa_test_prolog(sssys_s*)
{
    guiSetProps(nullptr, 0);
    GuiModule::getInstance(QStringLiteral("/tmp/vistrel.uds"));
}

void aa_test_main(sssys_s*, void*) {}

void aa_test_epilog(sssys_s*)
{
    guiSetProps(nullptr, 0);
}

const SSSysJob_s sj_jobs_noop = {jobs_noop_prolog, jobs_noop_main, nullptr};
const SSSysJob_s sj_aa_test = {aa_test_prolog, aa_test_main, aa_test_epilog};

unsigned char jobs_work[128];

}  // namespace

const SSSysJob_s* const TBL_JOBS[2] = {&sj_jobs_noop, &sj_aa_test};
sssys_s ss_jobs;

void init_jobs()
{
    sssysInit(&ss_jobs, TBL_JOBS, 2, jobs_work);
    ss_jobs.next = 1;
}

void jobs_main()
{
    sssysMain(&ss_jobs, nullptr);
}

}  // namespace vistrel
