#pragma once

#include "sssys.h"

namespace vistrel {

// The job table: 0 the idle job, 1 the GUI job, whose prologue hands the event system an
// empty hit table and creates the screen protocol server on "/tmp/vistrel.uds".
extern const SSSysJob_s* const TBL_JOBS[2];
extern sssys_s ss_jobs;

// Sets up the runner on the job table and requests the switch to the GUI job.
void init_jobs();
// One step of the runner.
void jobs_main();

}  // namespace vistrel
