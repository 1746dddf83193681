#pragma once

// The frame of the benchmarks that run on the whole EGL stack of the simulated board: one board
// root with a 480 x 272 16-bit screen and one initialised EGL display for the whole run, as in
// the display server, with the GPU's decoded log switched off.

#include <benchmark/benchmark.h>

#include <EGL/egl.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "framebufferroot.h"
#include "simgpu.h"

namespace eglbench {

constexpr int kScreenWidth = 480, kScreenHeight = 272;

// Runs f with the process's standard output sent nowhere (the GPU's start-up lines).
template <typename F>
auto quietly(F f)
{
    std::fflush(stdout);
    const int saved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
    auto result = f();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    return result;
}

// The display the benchmarks use, set while they run.
inline EGLDisplay& display()
{
    static EGLDisplay d = EGL_NO_DISPLAY;
    return d;
}

// main of such a benchmark program.
inline int runOnBoard(int argc, char** argv, const char* name)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const vnq::test::FramebufferBoardRoot root(kScreenWidth, kScreenHeight, 16);
    if (!root.isValid()) {
        std::fprintf(stderr, "%s: could not make a board root\n", name);
        return 1;
    }
    simgpu::device().setLogLimit(0);
    const bool up = quietly([] {
        display() = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        return eglInitialize(display(), nullptr, nullptr) == EGL_TRUE;
    });
    if (up)
        benchmark::RunSpecifiedBenchmarks();
    else
        std::fprintf(stderr, "%s: eglInitialize failed (0x%04x)\n", name, static_cast<unsigned>(eglGetError()));
    quietly([] { return eglTerminate(display()); });
    benchmark::Shutdown();
    return up ? 0 : 1;
}

}  // namespace eglbench
