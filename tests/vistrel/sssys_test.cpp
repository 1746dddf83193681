#include "sssys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vistrel;

namespace {

// Jobs that write what ran into one log; job 2's prologue may request a switch to job 0.
std::vector<std::string> ran;
bool switchFromPrologue = false;

template <int N>
void prologue(sssys_s* runner)
{
    ran.push_back("prologue " + std::to_string(N));
    if (N == 2 && switchFromPrologue)
        runner->next = 0;
}
template <int N>
void mainStep(sssys_s*, void* argument)
{
    ran.push_back("main " + std::to_string(N) + (argument ? " arg" : ""));
}
template <int N>
void epilogue(sssys_s*)
{
    ran.push_back("epilogue " + std::to_string(N));
}

const SSSysJob_s job0 = {prologue<0>, mainStep<0>, epilogue<0>};
const SSSysJob_s job1 = {prologue<1>, mainStep<1>, nullptr};
const SSSysJob_s job2 = {prologue<2>, mainStep<2>, epilogue<2>};
const SSSysJob_s* const table[] = {&job0, &job1, &job2, nullptr};

class Runner : public ::testing::Test {
protected:
    void SetUp() override
    {
        ran.clear();
        switchFromPrologue = false;
        sssysInit(&runner, table, 4, work);
    }
    std::vector<std::string> step(void* argument = nullptr)
    {
        ran.clear();
        sssysMain(&runner, argument);
        return ran;
    }

    sssys_s runner;
    unsigned char work[16];
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(Runner, FirstStepSwitchesWithoutTheFirstJobsPrologueThenRunsMainOnly)
{
    EXPECT_EQ(runner.current, 0);
    EXPECT_EQ(runner.next, SSSYS_NO_SWITCH);
    EXPECT_EQ(runner.previous, SSSYS_NO_SWITCH);
    EXPECT_EQ(runner.work, work);
    runner.next = 1;
    // Job 0's epilogue runs on leaving it, but its prologue never ran.
    EXPECT_EQ(step(), (Lines{"epilogue 0", "prologue 1", "main 1"}));
    EXPECT_EQ(runner.current, 1 | SSSYS_PROLOGUE_DONE);
    EXPECT_EQ(runner.previous, 0);
    int argument = 0;
    EXPECT_EQ(step(&argument), (Lines{"main 1 arg"}));
    EXPECT_EQ(step(), (Lines{"main 1"}));
}

TEST_F(Runner, SwitchRunsTheLeftJobsEpilogueAndAPrologueRequestingASwitchSkipsMain)
{
    runner.next = 1;
    step();
    switchFromPrologue = true;
    runner.next = 2;
    EXPECT_EQ(step(), (Lines{"prologue 2"}));  // job 1 has no epilogue
    EXPECT_EQ(runner.next, 0);
    EXPECT_EQ(step(), (Lines{"epilogue 2", "prologue 0", "main 0"}));
    EXPECT_EQ(runner.previous, 2);
}

TEST_F(Runner, NoTableOrNoJobStopsTheStep)
{
    runner.next = 3;  // a null entry
    EXPECT_EQ(step(), Lines{});
    runner.next = 7;  // past the table
    EXPECT_EQ(step(), Lines{});
    sssysInit(&runner, nullptr, 0, nullptr);
    EXPECT_EQ(step(), Lines{});
}
