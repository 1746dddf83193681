// The SoC port on the simulated GPU device: environment settings, windows and base
// arithmetic, MMU programming, interrupt waits and the start-up assertions.
#include <fcntl.h>
#include <gmock/gmock.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ostream>

#include "gpu_test_support.h"

namespace gputest {
namespace {

using ::testing::HasSubstr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr uintptr_t kMiB = 0x100000;

std::string hexLine(const char* label, uintptr_t value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s0x%08" PRIxPTR "\n", label, value);
    return text;
}

class Port : public GpuTest {};

// ---- Environment ----

struct EnvCase {
    const char* variable;
    const char* value;  // nullptr: unset
    unsigned long expected;
};

void PrintTo(const EnvCase& c, std::ostream* os)
{
    *os << c.variable << "=" << (c.value ? c.value : "unset");
}

class PortEnvironment : public Port, public ::testing::WithParamInterface<EnvCase> {};

unsigned long setting(const char* variable)
{
    std::string name = variable;
    if (name == "OVG_TXMEM_SIZE")
        return cglGetTxmemSize();
    if (name == "OVG_MMU_MODE")
        return static_cast<unsigned long>(cglGetMmuMode());
    return static_cast<unsigned long>(cglGetIntrMode());
}

TEST_P(PortEnvironment, IsParsedOnceWithItsDefault)
{
    const EnvCase& c = GetParam();
    if (c.value)
        setenv(c.variable, c.value, 1);
    else
        unsetenv(c.variable);
    EXPECT_EQ(setting(c.variable), c.expected);
    setenv(c.variable, "0x7700000", 1);  // read once: later changes are not seen
    EXPECT_EQ(setting(c.variable), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PortEnvironment,
    ::testing::Values(EnvCase{"OVG_TXMEM_SIZE", nullptr, 0x1000000}, EnvCase{"OVG_TXMEM_SIZE", "0x180000", 0x200000},
                      EnvCase{"OVG_TXMEM_SIZE", "3145728", 0x300000}, EnvCase{"OVG_TXMEM_SIZE", "1", 0x100000},
                      EnvCase{"OVG_TXMEM_SIZE", "0x100000", 0x100000}, EnvCase{"OVG_MMU_MODE", nullptr, 1},
                      EnvCase{"OVG_MMU_MODE", "0", 0}, EnvCase{"OVG_INTR_MODE", nullptr, 1},
                      EnvCase{"OVG_INTR_MODE", "0", 0}, EnvCase{"OVG_INTR_MODE", "0x10", 16},
                      EnvCase{"OVG_INTR_MODE", "010", 8}));

// ---- Windows and base arithmetic ----

TEST_F(Port, WithTheMmuOnGpuAddressesAreProcessAddresses)
{
    setenv("OVG_TXMEM_SIZE", "0x180000", 1);
    CaptureStdout();
    pltInit(0);
    std::string out = GetCapturedStdout();

    EXPECT_EQ(CglTxMemBase, 0u);
    EXPECT_EQ(CglCFifoBase, gpu.registerWindow());
    EXPECT_EQ(gpu.mmuMode(), 1);
    EXPECT_EQ(gpu.memoryWindowLength(), 0x200000 + 0xfffff);
    // Addresses print in full, also where they need more than eight digits.
    EXPECT_THAT(out, HasSubstr(hexLine("CFifoBase: ", gpu.registerWindow())));
    EXPECT_THAT(out, HasSubstr("TxMemBase: 0x00000000\n"));

    word32 base = cglGetTxmemBase();
    uintptr_t window = gpu.memoryWindow();
    EXPECT_EQ(base, (window + kMiB - 1) & ~(kMiB - 1));
    EXPECT_EQ(base % kMiB, 0u);
    cglWriteMemory32(base + 0x1ffffc, 0x12345678);  // the last word of the 2 MiB window
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(static_cast<uintptr_t>(base) + 0x1ffffc), 0x12345678u);
    EXPECT_NE(gpu.gpuPointer(base + 0x1ffffc, 4), nullptr);
}

struct BaseCase {
    const char* name;
    int failErrno;           // the driver request fails
    uint32_t answer;         // or answers this (0: the configured bus base)
    uint32_t expectedBase;
    const char* message;
};

void PrintTo(const BaseCase& c, std::ostream* os)
{
    *os << c.name;
}

class PortWithoutMmu : public Port, public ::testing::WithParamInterface<BaseCase> {};

TEST_P(PortWithoutMmu, TakesTheGpuBaseFromTheDriver)
{
    const BaseCase& c = GetParam();
    setenv("OVG_MMU_MODE", "0", 1);
    gpu.config().gpuBusBase = c.expectedBase;
    if (c.failErrno)
        gpu.failIoctl(TVMEM_IOC_GET_GPU_TXMEM_BASE, c.failErrno, 10);
    if (c.answer)
        gpu.answerIoctl(TVMEM_IOC_GET_GPU_TXMEM_BASE, c.answer);
    CaptureStdout();
    pltInit(0);
    word32 base = cglGetTxmemBase();
    std::string out = GetCapturedStdout();

    EXPECT_EQ(gpu.mmuMode(), 0);
    EXPECT_EQ(gpu.memoryWindowLength(), 0x1000000u);
    EXPECT_EQ(base, c.expectedBase);
    EXPECT_EQ(CglTxMemBase, gpu.memoryWindow() - c.expectedBase);
    EXPECT_THAT(out, HasSubstr(c.message));
    EXPECT_EQ(countEvents(Stream::Mmio, Kind::Write, Unit::Mmu, LX_MMU_MODE), 0u);

    // GPU address a is reached at a + CglTxMemBase.
    cglWriteMemory32(base + 0x10, 0xcafe);
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(gpu.memoryWindow() + 0x10), 0xcafeu);
}

INSTANTIATE_TEST_SUITE_P(
    Bases, PortWithoutMmu,
    ::testing::Values(BaseCase{"driver", 0, 0, 0x40000000, "lx740_txmem_base = 0x40000000\n"},
                      BaseCase{"failed", EIO, 0, 0x3000000,
                               "ioctl (TVMEM_IOC_GET_GPU_TXMEM_BASE) failed: Input/output error\n"},
                      BaseCase{"all_ones", 0, 0xffffffff, 0x3000000, "lx740_txmem_base = 0x03000000\n"}));

TEST_F(Port, ProgramsTheMmuAfterTheGpuIsIdle)
{
    pltInit(0);
    const auto& log = gpu.log();
    long firstPort = find([](const Event& e) { return e.kind == Kind::Write && e.reg == LX_EXTDEV_PORTID; });
    ASSERT_GE(firstPort, 0);
    EXPECT_EQ(countEvents(Stream::Mmio, Kind::Read, Unit::Mem, LX_BUSY_STAT), 13u);  // bits 0 to 12
    EXPECT_LT(find([](const Event& e) { return e.kind == Kind::Read && e.reg == LX_BUSY_STAT; }), firstPort);

    std::vector<RegValue> expected = {{LX_MMU_MAPPING_EN, 0x1ff}, {LX_MMU_MODE, 0xc055}};
    for (uint32_t reg = LX_MMU_LV1_DESC00; reg <= LX_MMU_LV1_DESCI15; reg += 4)
        expected.emplace_back(reg, 0);
    expected.emplace_back(LX_MMU_TLB_CTRL, 1);
    std::vector<RegValue> programmed;
    for (size_t i = static_cast<size_t>(firstPort); i + 1 < log.size(); i += 2) {
        if (log[i].reg != LX_EXTDEV_PORTID)
            break;
        EXPECT_EQ(log[i].value, 2u);  // written right before every MMU register
        EXPECT_EQ(log[i + 1].unit, Unit::Mmu);
        programmed.emplace_back(log[i + 1].reg, log[i + 1].value);
    }
    EXPECT_EQ(programmed, expected);
    EXPECT_EQ(gpu.reg(Unit::Mem, LX_INTR_MASK) & 0x6, 0x6u);
}

TEST_F(Port, FinishUndoesInitAndInitRunsAgain)
{
    pltInit(0);
    EXPECT_TRUE(gpu.open());
    EXPECT_EQ(gpu.fdFlags() & FD_CLOEXEC, FD_CLOEXEC);
    cglWriteMemReg32(LX_INTR_MASK, cglReadMemReg32(LX_INTR_MASK) | 0x100);

    gpu.clearLog();
    pltFinish();
    EXPECT_FALSE(gpu.open());
    EXPECT_EQ(gpu.registerWindow(), 0u);
    EXPECT_EQ(gpu.memoryWindow(), 0u);
    EXPECT_EQ(CglCFifoBase, UINTPTR_MAX);
    EXPECT_EQ(CglTxMemBase, UINTPTR_MAX);
    EXPECT_EQ(gpu.reg(Unit::Mem, LX_INTR_MASK), 0x100u);  // only the MMU bits cleared
    EXPECT_EQ(mmioReads(LX_BUSY_STAT), 13u);             // after the GPU went idle
    pltFinish();                                         // nothing left to undo

    gpu.clearLog();
    pltInit(0);
    EXPECT_TRUE(gpu.open());
    EXPECT_EQ(countEvents(Stream::Mmio, Kind::Write, Unit::Mmu, LX_MMU_TLB_CTRL), 1u);
}

TEST_F(Port, ASecondInitOnlyResendsTheInterruptMode)
{
    pltInit(0);
    gpu.clearLog();
    CaptureStdout();
    pltInit(0);
    std::string out = GetCapturedStdout();
    ASSERT_EQ(gpu.log().size(), 1u);
    EXPECT_EQ(gpu.log()[0].kind, Kind::Ioctl);
    EXPECT_EQ(gpu.log()[0].reg, TVMEM_IOC_SET_INTR_MODE);
    EXPECT_THAT(out, HasSubstr("CFifoBase: "));
    EXPECT_THAT(out, HasSubstr("TxMemBase: "));
}

TEST_F(Port, FailedModeRequestsAreReportedAndStartUpGoesOn)
{
    gpu.failIoctl(OVG_IOC_SET_MMU_MODE, EINVAL);
    gpu.failIoctl(TVMEM_IOC_SET_INTR_MODE, EINVAL);
    CaptureStdout();
    pltInit(0);
    std::string out = GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("ioctl (OVG_IOC_SET_MMU_MODE = 1) failed: Invalid argument\n"));
    EXPECT_THAT(out, HasSubstr("ioctl (TVMEM_IOC_SET_INTR_MODE = 1) failed: Invalid argument\n"));
    EXPECT_EQ(CglTxMemBase, 0u);
}

// ---- Waits ----

TEST_F(Port, WaitAllIdleChecksTheBusyBitsOneByOneInRisingOrder)
{
    pltInit(0);
    gpu.clearLog();
    // Bit 2 is busy twice; bit 0 turns busy again after it was checked and is not seen.
    gpu.scriptReads(LX_BUSY_STAT, {0x0, 0x0, 0x4, 0x4, 0x1});
    wait_all_idle();
    EXPECT_EQ(mmioReads(LX_BUSY_STAT), 15u);
}

struct IntrModeCase {
    const char* env;
    bool byDriver;
};

void PrintTo(const IntrModeCase& c, std::ostream* os)
{
    *os << (c.byDriver ? "driver_wait" : "polling");
}

class PortInterruptMode : public Port, public ::testing::WithParamInterface<IntrModeCase> {};

TEST_P(PortInterruptMode, ArmsTriggersWaitsAndDisarms)
{
    setenv("OVG_INTR_MODE", GetParam().env, 1);
    pltInit(0);
    EXPECT_EQ(gpu.intrMode(), GetParam().byDriver ? 1 : 0);
    gpu.clearLog();

    cglWaitIntrOn(CGL_INTR_PE_SYNC);
    EXPECT_EQ(CglWaitIntrBit, CGL_INTR_PE_SYNC);
    cglWritePEReg1(LX_PE_OVG_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_PE_SYNC);
    EXPECT_EQ(CglWaitIntrBit, 0u);

    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), GetParam().byDriver ? 1u : 0u);
    EXPECT_EQ(mmioReads(LX_INTR_STAT), GetParam().byDriver ? 0u : 1u);
    expectArmTriggerWaitDisarm(GetParam().byDriver);
}

INSTANTIATE_TEST_SUITE_P(Modes, PortInterruptMode,
                         ::testing::Values(IntrModeCase{"1", true}, IntrModeCase{"0", false}));

TEST_F(Port, InterruptWaitsWithoutNoClearDoNotTouchTheGpu)
{
    pltInit(0);
    gpu.clearLog();
    cglWaitIntrOnNC(0x8);
    cglWaitIntrOnNC(0x10);
    cglWaitIntrOffNC(0x8);
    EXPECT_EQ(CglWaitIntrBit, 0x10u);
    EXPECT_TRUE(gpu.log().empty());
}

struct RetryCase {
    int err;
    int failures;
    size_t requests;
    size_t messages;
    bool polled;
};

void PrintTo(const RetryCase& c, std::ostream* os)
{
    *os << c.failures << (c.err == EINTR ? "_interruptions" : "_failures");
}

class PortWaitRetry : public Port, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(PortWaitRetry, RetriesTheDriverWait)
{
    const RetryCase& c = GetParam();
    pltInit(0);
    gpu.clearLog();
    gpu.failIoctl(OVG_IOC_WAIT_INTR, c.err, c.failures);
    CaptureStdout();
    cglWaitIntrOn(CGL_INTR_PE_SYNC);
    cglWritePEReg1(LX_PE_OVG_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_PE_SYNC);
    std::string out = GetCapturedStdout();

    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), c.requests);
    size_t messages = 0;
    for (size_t at = out.find("OVG_IOC_WAIT_INTR failed: "); at != std::string::npos;
         at = out.find("OVG_IOC_WAIT_INTR failed: ", at + 1))
        ++messages;
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(mmioReads(LX_INTR_STAT), c.polled ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Failures, PortWaitRetry,
                         ::testing::Values(RetryCase{EINTR, 3, 4, 0, false}, RetryCase{EIO, 2, 3, 2, false},
                                           RetryCase{EIO, 16, 16, 16, true}));

// ---- Fatal start-up failures ----

struct DeathCase {
    const char* name;
    std::function<void(simgpu::SimGpu&)> arrange;
    std::function<void()> act;
    const char* message;
};

void PrintTo(const DeathCase& c, std::ostream* os)
{
    *os << c.name;
}

class PortDeath : public Port, public ::testing::WithParamInterface<DeathCase> {};

TEST_P(PortDeath, EndsTheProcessWithTheAssertionText)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const DeathCase& c = GetParam();
    EXPECT_DEATH(
        {
            c.arrange(gpu);
            c.act();
        },
        c.message);
}

void noArrangement(simgpu::SimGpu&) {}
void init() { pltInit(0); }

INSTANTIATE_TEST_SUITE_P(
    Fatal, PortDeath,
    ::testing::Values(
        DeathCase{"no_device", [](simgpu::SimGpu& g) { g.config().devicePresent = false; }, init,
                  "Assertion `lx740_filp != -1' failed"},
        DeathCase{"window_size_failed",
                  [](simgpu::SimGpu& g) { g.failIoctl(OVG_IOC_GET_TXMEM_MAPOFFSET, EIO); }, init,
                  "lx740_reg_mapsize != 0"},
        DeathCase{"window_size_zero",
                  [](simgpu::SimGpu& g) { g.answerIoctl(OVG_IOC_GET_TXMEM_MAPOFFSET, 0); }, init,
                  "lx740_reg_mapsize != 0"},
        DeathCase{"register_map_failed", [](simgpu::SimGpu& g) { g.failMmap(0, ENOMEM); }, init,
                  "lx740_reg_mmap != \\(\\(void \\*\\) -1\\)"},
        DeathCase{"memory_map_failed", [](simgpu::SimGpu& g) { g.failMmap(0x1000, ENOMEM); }, init,
                  "lx740_txmem_mmap != \\(\\(void \\*\\) -1\\)"},
        DeathCase{"memory_size_zero",
                  [](simgpu::SimGpu&) { setenv("OVG_TXMEM_SIZE", "0", 1); }, init,
                  "OVG_TXMEM_SIZE is 0: the GPU memory window needs at least 1 MiB.*"
                  "lx740_txmem_mapsize != 0"},
        DeathCase{"base_before_mapping", noArrangement, [] { cglGetTxmemBase(); },
                  "lx740_txmem_mmap != \\(\\(void \\*\\) -1\\)"},
        DeathCase{"busy_forever", [](simgpu::SimGpu& g) { g.config().busy = 0x4; }, init,
                  "simulated GPU: the wait on LX_BUSY_STAT .* can never end"},
        DeathCase{"interrupt_never_raised", noArrangement,
                  [] {
                      pltInit(0);
                      cglWaitIntrOn(CGL_INTR_XPT_SYNC);
                      cglWaitIntr();
                  },
                  "simulated GPU: the interrupt wait for 0x00000008 can never end"},
        DeathCase{"fifo_never_has_room", [](simgpu::SimGpu& g) { g.config().cfifoDepth = 59; },
                  [] {
                      pltInit(0);
                      const word32 words[60] = {};
                      cglWriteCFifo32A(words, 60);
                  },
                  "simulated GPU: the wait on LX_CFIFO .* can never end"}));

}  // namespace
}  // namespace gputest
