#pragma once

// Shared pieces of the GPU tests: a fixture on the simulated GPU device (with its whole log
// kept) that fails a test whose command streams the device could not decode, and small log
// queries.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cgl.h"
#include "lx740_ioctl.h"
#include "simgpu.h"

namespace gputest {

using simgpu::Event;
using simgpu::Kind;
using simgpu::Stream;
using simgpu::Unit;
using RegValue = std::pair<uint32_t, uint32_t>;

class GpuTest : public ::testing::Test {
protected:
    simgpu::SimGpu& gpu = simgpu::device();

    GpuTest() { gpu.setLogLimit(simgpu::SimGpu::kUnlimited); }
    ~GpuTest() override { gpu.setExecutor(nullptr); }

    // For register-level tests whose words are no drawing (made-up addresses, lone trigger
    // values): the device decodes them and the GPU model carries out nothing.
    void switchModelOff() { gpu.setExecutor(&noWork_); }

    void TearDown() override
    {
        for (const std::string& error : gpu.errors())
            ADD_FAILURE() << "GPU protocol error: " << error;
    }

private:
    simgpu::Executor noWork_;

protected:

    // Exactly one protocol error was reported and it names `text`; forgets it.
    void expectOneError(const std::string& text)
    {
        ASSERT_EQ(gpu.errors().size(), 1u);
        EXPECT_NE(gpu.errors()[0].find(text), std::string::npos) << gpu.errors()[0];
        gpu.clearErrors();
    }

    // Register writes to one unit, from any stream, in order.
    std::vector<RegValue> writes(Unit unit) const
    {
        std::vector<RegValue> out;
        for (const Event& e : gpu.log())
            if (e.kind == Kind::Write && e.unit == unit)
                out.emplace_back(e.reg, e.value);
        return out;
    }

    // Register writes of one unit decoded from command buffers, in order.
    std::vector<RegValue> fetched(Unit unit) const
    {
        std::vector<RegValue> out;
        for (const Event& e : gpu.log())
            if (e.stream == Stream::CmdBuf && e.kind == Kind::Write && e.unit == unit)
                out.emplace_back(e.reg, e.value);
        return out;
    }

    size_t countEvents(Stream stream, Kind kind, Unit unit, uint32_t reg) const
    {
        size_t n = 0;
        for (const Event& e : gpu.log())
            n += e.stream == stream && e.kind == kind && e.unit == unit && e.reg == reg;
        return n;
    }

    size_t ioctls(unsigned long request) const
    {
        return countEvents(Stream::Driver, Kind::Ioctl, Unit::None, static_cast<uint32_t>(request));
    }

    size_t mmioReads(uint32_t offset) const
    {
        return countEvents(Stream::Mmio, Kind::Read, Unit::Mem, offset);
    }

    // Index of the first event at or after `from` that matches, or -1.
    template <typename Pred>
    long find(Pred pred, long from = 0) const
    {
        const auto& log = gpu.log();
        for (size_t i = static_cast<size_t>(from); i < log.size(); ++i)
            if (pred(log[i]))
                return static_cast<long>(i);
        return -1;
    }

    // Every interrupt the GPU raised was armed before its trigger (the bit written to
    // LX_INTR_CLEAR), then waited for (a driver wait for it, or a poll of LX_INTR_STAT), then
    // disarmed (the bit written to LX_INTR_CLEAR again).
    void expectArmTriggerWaitDisarm(bool interruptMode = true) const
    {
        enum State { Idle, Armed, Raised, Waited };
        State state[32] = {};
        const auto& log = gpu.log();
        for (size_t i = 0; i < log.size(); ++i) {
            const Event& e = log[i];
            bool clear = e.stream == Stream::Mmio && e.kind == Kind::Write && e.unit == Unit::Mem &&
                         e.reg == LX_INTR_CLEAR && e.value != 0xffffffffu;
            bool wait = interruptMode ? e.kind == Kind::Ioctl && e.reg == OVG_IOC_WAIT_INTR
                                      : e.kind == Kind::Read && e.reg == LX_INTR_STAT;
            for (int b = 0; b < 32; ++b) {
                uint32_t bit = 1u << b;
                if (clear && (e.value & bit)) {
                    EXPECT_NE(state[b], Raised) << "interrupt 0x" << std::hex << bit << " disarmed unwaited at event "
                                                << std::dec << i;
                    state[b] = state[b] == Waited ? Idle : Armed;
                } else if (e.kind == Kind::Raise && (e.value & bit)) {
                    EXPECT_EQ(state[b], Armed) << "interrupt 0x" << std::hex << bit << " raised unarmed at event "
                                               << std::dec << i;
                    state[b] = Raised;
                } else if (wait && state[b] == Raised && (!interruptMode || (e.value & bit))) {
                    state[b] = Waited;
                }
            }
        }
        for (int b = 0; b < 32; ++b)
            EXPECT_TRUE(state[b] == Idle || state[b] == Armed)
                << "interrupt 0x" << std::hex << (1u << b) << " left " << (state[b] == Raised ? "unwaited" : "not disarmed");
    }
};

}  // namespace gputest
