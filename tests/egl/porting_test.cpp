// The porting layer: buffer sizes, the alpha-mask buffer and its clear on the simulated GPU,
// and the hooks that replace each operation.
#include "egl_test_support.h"

#include <cstring>
#include <functional>
#include <type_traits>
#include <vector>

#include "vg/al_lx740/vg_al_lx740.h"
#include "winsys/vxlib_records.h"

namespace egltest {
namespace {

using gputest::Stream;
using gputest::Unit;

TEST(PortingMemory, BufferSizes)
{
    struct Case {
        EGLint width, height, bits, kind;
        long size;
    } const cases[] = {
        {104, 50, 16, 1, 11648},  // row slack 48, height slack 1248
        {100, 50, 8, 1, 5824},    {100, 50, 32, 1, 23296}, {100, 50, 4, 2, 2912},
        {100, 50, 1, 3, 728},     {64, 48, 16, 4, 6144},   {104, 50, 4, 5, 3584},
        {20, 10, 8, 5, 512},      {20, 16, 1, 5, 264},     {20, 8, 4, 5, 144},
        {104, 50, 16, 0, 0},      {104, 50, 16, 6, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits << " kind " << c.kind);
        EXPECT_EQ(PORTL_MemSize(c.width, c.height, c.bits, c.kind), c.size);
    }
}

TEST(PortingMemory, AlphaMaskPitchRoundsUpAndFormatWords)
{
    struct Case {
        EGLint width, bits, pitch;
        uint32_t format;
    } const cases[] = {
        {104, 4, 32, 0x200018},  {1, 1, 8, 0x80018},      {17, 1, 8, 0x80018},         {1, 4, 8, 0x80018},
        {1, 8, 8, 0x80018},      {20, 8, 16, 0x100018},   {2048, 8, 1024, 0x4000018}, {2048, 32, 4096, 0x10000018},
        {8192, 16, 8192, 0x20000018},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " wide at " << c.bits);
        EXPECT_EQ(PORTL_AlphaMaskPitch(c.width, c.bits), c.pitch);
        EXPECT_EQ(PORTL_AlphaMaskFormat(c.pitch), c.format);
    }
}

class PortingGpu : public EglTest {
protected:
    void SetUp() override { initialize(); }
    void TearDown() override
    {
        terminate();
        EglTest::TearDown();
    }

    static uint8_t* cpu(uint32_t addr) { return reinterpret_cast<uint8_t*>(addr + CglTxMemBase); }
};

TEST_F(PortingGpu, BuffersAreTakenThirtyTwoByteAligned)
{
    std::vector<EGLGpuAddress> taken;
    for (EGLint kind = 1; kind <= 5; ++kind) {
        EGLGpuAddress addr = PORTL_MemAlloc(13, 7, 16, kind);
        EXPECT_NE(addr, EGL_NO_GPU_ADDRESS);
        EXPECT_EQ(addr % 32, 0u);
        taken.push_back(addr);
    }
    EXPECT_EQ(PORTL_MemAlloc(13, 7, 16, 0), EGL_NO_GPU_ADDRESS);
    EXPECT_EQ(PORTL_MemAlloc(13, 7, 16, 6), EGL_NO_GPU_ADDRESS);
    for (EGLGpuAddress addr : taken)
        PORTL_MemFree(addr, 1);
    PORTL_MemFree(EGL_NO_GPU_ADDRESS, 1);
    EXPECT_EQ(gmBlocksInUse(), layerBlocks);
}

TEST_F(PortingGpu, AlphaMaskClearWritesTheFormatWordsAndMarksTheLayerDirty)
{
    VGALVAL_lx740_dirty = 0;
    VGALVAL_lx740_ctxdirty = 0;
    gpu.clearLog();
    EGLGpuAddress addr = PORTL_NativeGetAlphaMaskBuffer(104, 50, 4);
    ASSERT_NE(addr, EGL_NO_GPU_ADDRESS);
    std::vector<gputest::RegValue> pe = writes(Unit::PE);
    const std::vector<gputest::RegValue> expected = {
        {LX_PE_OVG_CCACHE_FLUSH, 1},     {LX_PE_OVG_CH_MASK, 0},          {LX_PE_OVG_CBUF_CVAL, 0xFFFFFFFF},
        {LX_PE_OVG_CBUF_CRLT, 0},        {LX_PE_OVG_CBUF_CRRB, 49 | (31u << 16)}, {LX_PE_OVG_CBUF0_ADDR, addr},
        {LX_PE_OVG_CBUF1_ADDR, addr},    {LX_PE_OVG_CBUF0_FMT, 0x200018}, {LX_PE_OVG_CBUF1_FMT, 0x200018},
        {LX_PE_OVG_CBUF2_ADDR, addr},    {LX_PE_OVG_CBUF2_FMT, 0x200018}, {LX_PE_OVG_CBUF_CSTART, 1},
        {LX_PE_OVG_SYNC, 1},
    };
    EXPECT_EQ(pe, expected);
    expectArmTriggerWaitDisarm();
    // The colour buffers and channel mask the layer had programmed are no longer there.
    EXPECT_EQ(VGALVAL_lx740_dirty & VGAL_DIRTY_COLORBUFFER, VGAL_DIRTY_COLORBUFFER);
    EXPECT_EQ(VGALVAL_lx740_ctxdirty & 0x40000000u, 0x40000000u);
    PORTL_MemFree(addr, 5);
}

TEST_F(PortingGpu, NarrowMasksAreAllOnesAndNothingOutsideTheirBlockChanges)
{
    constexpr size_t kGuard = 4096;
    // Keeps the pool set up, so the allocator touches each page once, before the pattern.
    MemAddr anchor = gmMalloc(1, 32);
    for (EGLint bits : {1, 4, 8}) {
        for (EGLint width = 1; width <= 20; ++width) {
            const EGLint height = 3;
            SCOPED_TRACE(testing::Message() << width << " wide at " << bits << " bits");
            const long size = PORTL_MemSize(width, height, bits, 5);
            // The mask goes where a probe block of the same alignment went.
            MemAddr probe = gmMalloc(1, 32);
            ASSERT_NE(probe, GM_NO_ADDRESS);
            gmFree(probe);
            std::memset(cpu(static_cast<uint32_t>(probe)), 0x5A, static_cast<size_t>(size) + kGuard);

            EGLGpuAddress addr = PORTL_NativeGetAlphaMaskBuffer(width, height, bits);
            ASSERT_EQ(addr, probe);
            const size_t rowBytes = static_cast<size_t>(PORTL_AlphaMaskPitch(width, bits)) * 2;
            ASSERT_LE(rowBytes * height, static_cast<size_t>(size));
            const uint8_t* mask = cpu(addr);
            size_t notOnes = 0, changedOutside = 0;
            for (size_t i = 0; i < rowBytes * height; ++i)
                notOnes += mask[i] != 0xFF;
            for (size_t i = static_cast<size_t>(size); i < static_cast<size_t>(size) + kGuard; ++i)
                changedOutside += mask[i] != 0x5A;
            EXPECT_EQ(notOnes, 0u);
            EXPECT_EQ(changedOutside, 0u);
            PORTL_MemFree(addr, 5);
        }
    }
    gmFree(anchor);
}

TEST_F(PortingGpu, AMaskMadeAfterAMultisampledSurfaceWasCurrentIsAllOnesToo)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EGLSurface surface = windowSurface(18, 64, 32);
    EGLContext context = eglCreateContext(dpy, config(18), EGL_NO_CONTEXT, nullptr);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
    ASSERT_TRUE(eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));

    MemAddr probe = gmMalloc(1, 32);
    gmFree(probe);
    std::memset(cpu(static_cast<uint32_t>(probe)), 0, static_cast<size_t>(PORTL_MemSize(20, 3, 4, 5)));
    EGLGpuAddress addr = PORTL_NativeGetAlphaMaskBuffer(20, 3, 4);
    ASSERT_EQ(addr, probe);
    for (size_t i = 0; i < 3 * 16; ++i)
        ASSERT_EQ(cpu(addr)[i], 0xFF) << i;
    PORTL_MemFree(addr, 5);
}

// ---- Hooks ----

// A hook that counts its calls and then does what the default does.
template <typename F, F* Default>
struct Spy;
template <typename R, typename... A, R (*Default)(A...)>
struct Spy<R(A...), Default> {
    static inline int calls = 0;
    static R fn(A... a)
    {
        ++calls;
        return Default(a...);
    }
};
#define SPY(name) Spy<std::remove_pointer_t<EGLHook##name>, &PORTL_##name>

struct HookRow {
    const char* name;
    std::function<void()> install;
    // What EGL calls for the operation: 0 the default, 1 the spy, -1 anything else.
    std::function<int()> picks;
    int* calls;
    bool reachedThroughEgl;  // else only the dispatch is checked
};

#define HOOK_ROW(name, throughEgl)                                                            \
    HookRow{#name, [] { EGLINL_Callback##name = SPY(name)::fn; },                              \
            [] {                                                                               \
                auto f = EGL_PORT(name);                                                       \
                return f == &PORTL_##name ? 0 : f == &SPY(name)::fn ? 1 : -1;                  \
            },                                                                                 \
            &SPY(name)::calls, throughEgl}

class Hooks : public EglTest {
protected:
    // The display server's road, a multisampled pbuffer, a pixmap surface, a choice by native
    // visual type and a pbuffer from an image, then the end: what each step answered.
    std::string road()
    {
        std::string out;
        auto note = [&](bool ok) { out += std::to_string(ok) + ":" + std::to_string(eglGetError()) + " "; };
        initialize();
        note(eglBindAPI(EGL_OPENVG_API));
        EGLSurface win = windowSurface(2, 100, 50);
        note(win != EGL_NO_SURFACE);
        const EGLint pbufferAttribs[] = {EGL_WIDTH, 10, EGL_HEIGHT, 10, EGL_NONE};
        note(eglCreatePbufferSurface(dpy, config(18), pbufferAttribs) != EGL_NO_SURFACE);
        VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, 16, 16, 16);
        pixmap->addr = gmMalloc(static_cast<int>(PORTL_MemSize(16, 16, 16, 1)), 32);
        note(eglCreatePixmapSurface(dpy, config(1), pixmap, nullptr) != EGL_NO_SURFACE);
        EGLContext context = eglCreateContext(dpy, config(2), EGL_NO_CONTEXT, nullptr);
        note(eglMakeCurrent(dpy, win, win, context));
        const EGLint byVisual[] = {EGL_NATIVE_VISUAL_TYPE, EGL_NONE, EGL_RENDERABLE_TYPE, 2, EGL_NONE};
        EGLConfig configs[30];
        EGLint count = 0;
        note(eglChooseConfig(dpy, byVisual, configs, 30, &count));
        out += std::to_string(count) + " ";
        note(eglCreatePbufferFromClientBuffer(dpy, EGL_OPENVG_IMAGE, nullptr, config(2), nullptr) != nullptr);
        VXFreePixmap(vx(), pixmap);
        out += terminate();
        out += std::to_string(gmBlocksInUse()) + " " + std::to_string(gpu.open());
        return out;
    }
};

TEST_F(Hooks, EachHookLeftNullActsAsItsDefaultAndASetHookIsCalledInstead)
{
    const HookRow rows[] = {
        HOOK_ROW(OpenNativeDisplay, true),
        HOOK_ROW(IsValidNativeDisplayType, true),
        HOOK_ROW(IsValidNativeWindowType, true),
        HOOK_ROW(IsValidNativePixmapType, true),
        HOOK_ROW(IsMatchNativePixmapFormat, true),
        HOOK_ROW(NativeQueryWindow, true),
        HOOK_ROW(NativeQueryPixmap, true),
        HOOK_ROW(NativeFixSurfaceSize, true),
        HOOK_ROW(IsSortNativeVisualType, true),
        HOOK_ROW(WaitNativeRendering, false),
        HOOK_ROW(MemAlloc, true),
        HOOK_ROW(MemFree, true),
        HOOK_ROW(NativeGetAlphaMaskBuffer, true),
        HOOK_ROW(InitializeGPU, true),
        HOOK_ROW(TerminateGPU, true),
        HOOK_ROW(InitializeOpenVGAPI, true),
        HOOK_ROW(TerminateOpenVGAPI, true),
        HOOK_ROW(CreateOpenVGContext, true),
        HOOK_ROW(DestroyOpenVGContext, true),
        HOOK_ROW(MakeCurrentOpenVG, true),
        HOOK_ROW(WaitOpenVG, true),
        HOOK_ROW(SwapBufferOpenVG, false),
        HOOK_ROW(BindOpenVGImage, false),
        HOOK_ROW(UnbindOpenVGImage, false),
        HOOK_ROW(GetOpenVGImageInfo, false),
        HOOK_ROW(IsValidOpenVGImage, true),
        HOOK_ROW(IsMatchOpenVGImageFormat, false),
        HOOK_ROW(ReleasePbufferFromOpenVGImage, false),
        HOOK_ROW(GetProcAddressOpenVG, false),
        HOOK_ROW(InitializeOpenGLESAPI, false),
        HOOK_ROW(TerminateOpenGLESAPI, false),
        HOOK_ROW(CreateOpenGLESContext, false),
        HOOK_ROW(DestroyOpenGLESContext, false),
        HOOK_ROW(MakeCurrentOpenGLES, true),
        HOOK_ROW(WaitOpenGLES, false),
        HOOK_ROW(BindOpenGLESTexImage, false),
        HOOK_ROW(ReleaseOpenGLESTexImage, false),
        HOOK_ROW(SwapBufferOpenGLES, false),
        HOOK_ROW(GetProcAddressOpenGLES, false),
    };
    const std::string byDefault = road();
    EXPECT_EQ(byDefault, "1:12288 1:12288 1:12288 1:12288 1:12288 1:12288 24 0:12300 0 0");
    for (const HookRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.picks(), 0);
        row.install();
        EXPECT_EQ(row.picks(), 1);
        if (row.reachedThroughEgl) {
            EXPECT_EQ(road(), byDefault);
            EXPECT_GT(*row.calls, 0);
        }
        resetHooks();
    }

}

}  // namespace
}  // namespace egltest
