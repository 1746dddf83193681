// Contexts, the API binding, make-current with the drawing surface it hands to OpenVG, and the
// deferred destruction of what is current.
#include "egl_test_support.h"

#include <map>

#include "vg/al_lx740/vg_al_lx740.h"

namespace egltest {
namespace {

std::map<EGLint, EGLGpuAddress> buffersByKind;
int makeCurrentCalls;
int destroyedContexts;
bool makeCurrentFails;

EGLGpuAddress recordBuffer(EGLint width, EGLint height, EGLint bits, EGLint kind)
{
    return buffersByKind[kind] = PORTL_MemAlloc(width, height, bits, kind);
}

EGLBoolean countMakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx)
{
    ++makeCurrentCalls;
    return makeCurrentFails ? EGL_FALSE : PORTL_MakeCurrentOpenVG(dpy, draw, read, ctx);
}

void countDestroy(void* ovg)
{
    ++destroyedContexts;
    PORTL_DestroyOpenVGContext(ovg);
}

class Contexts : public EglTest {
protected:
    void SetUp() override
    {
        initialize();
        buffersByKind.clear();
        makeCurrentCalls = destroyedContexts = 0;
        makeCurrentFails = false;
        EGLINL_CallbackMemAlloc = recordBuffer;
        EGLINL_CallbackMakeCurrentOpenVG = countMakeCurrent;
        EGLINL_CallbackDestroyOpenVGContext = countDestroy;
    }
    void TearDown() override
    {
        EXPECT_EQ(terminate(), "");
        EXPECT_EQ(gmBlocksInUse(), 0);
        EglTest::TearDown();
    }

    EGLContext context(EGLint configId) { return eglCreateContext(dpy, config(configId), EGL_NO_CONTEXT, nullptr); }
};

void expectBuffer(const ALbuffer* b, EGLint width, EGLint height, EGLint stride, EGLint bpp, EGLGpuAddress addr)
{
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->width, width);
    EXPECT_EQ(b->height, height);
    EXPECT_EQ(b->stride, stride);
    EXPECT_EQ(b->bpp, bpp);
    EXPECT_EQ(b->addr, addr);
}

TEST_F(Contexts, MakeCurrentDescribesAWindowToOpenVg)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    const EGLint attribs[] = {EGL_VG_ALPHA_FORMAT, EGL_VG_ALPHA_FORMAT_PRE, EGL_NONE};
    EGLSurface surface = windowSurface(2, 100, 50, attribs);
    EGLContext ctx = context(2);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    const ALsurface* sfc = PORTL_DrawingSurface();
    expectBuffer(sfc->disp0, 100, 50, 208, 16, buffersByKind[1]);
    expectBuffer(sfc->disp1, 100, 50, 208, 16, buffersByKind[2]);
    expectBuffer(sfc->mask, 100, 50, 56, 4, buffersByKind[5]);
    EXPECT_EQ(sfc->multisample, nullptr);
    EXPECT_EQ(sfc->mode, 1);
    EXPECT_EQ(sfc->back, 0);
    EXPECT_EQ(sfc->offscreen, 0);
    EXPECT_EQ(sfc->alphaformat, EGL_VG_ALPHA_FORMAT_PRE);
    EXPECT_EQ(sfc->colorspace, EGL_VG_COLORSPACE_sRGB);
    EXPECT_EQ(sfc->buffermode, EGL_RGB_BUFFER);
    EXPECT_EQ(sfc->alphabits, 0);
    EXPECT_EQ(sfc->colororder, 1);
    // The acceleration layer draws into the surface.
    ASSERT_NE(VGALVAL_LX740_ALcontexthandle, nullptr);
    EXPECT_EQ(VGALVAL_LX740_ALcontexthandle->drawSurface, sfc);
    EXPECT_EQ(VGALVAL_colorbuffer_addr, buffersByKind[1]);
    EXPECT_EQ(VGALVAL_maskbuffer, sfc->mask);
}

TEST_F(Contexts, MakeCurrentDescribesPbuffersMultisamplingAndMasks)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    struct Case {
        const char* name;
        EGLint config;
        bool window;
        EGLint maskBits, maskStride, alphaBits;
        bool multisampled;
    } const cases[] = {
        {"pbuffer of configuration 2", 2, false, 4, 56, 0, false},
        {"multisampled window", 18, true, 4, 56, 0, true},
        {"32-bit window with an 8-bit mask", 8, true, 8, 104, 8, false},
        {"16-bit window without a mask", 1, true, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        buffersByKind.clear();
        const EGLint size[] = {EGL_WIDTH, 100, EGL_HEIGHT, 50, EGL_NONE};
        EGLSurface surface = c.window ? windowSurface(c.config, 100, 50)
                                      : eglCreatePbufferSurface(dpy, config(c.config), size);
        EGLContext ctx = context(c.config);
        ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
        const ALsurface* sfc = PORTL_DrawingSurface();
        const EGLint bpp = c.config == 8 ? 32 : 16;
        expectBuffer(sfc->disp0, 100, 50, 104 * bpp / 8, bpp, buffersByKind[1]);
        if (c.window)
            expectBuffer(sfc->disp1, 100, 50, 104 * bpp / 8, bpp, buffersByKind[2]);
        else
            EXPECT_EQ(sfc->disp1, nullptr);
        EXPECT_EQ(sfc->mode, c.window ? 1 : 0);
        EXPECT_EQ(sfc->offscreen, c.window ? 0 : 1);
        EXPECT_EQ(sfc->alphabits, c.alphaBits);
        if (c.multisampled)
            expectBuffer(sfc->multisample, 400, 50, 4 * 104 * bpp / 8, bpp, buffersByKind[4]);
        else
            EXPECT_EQ(sfc->multisample, nullptr);
        if (c.maskBits)
            expectBuffer(sfc->mask, 100, 50, c.maskStride, c.maskBits, buffersByKind[5]);
        else
            EXPECT_EQ(sfc->mask, nullptr);
        ASSERT_TRUE(eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
        EXPECT_TRUE(eglDestroySurface(dpy, surface));
        EXPECT_TRUE(eglDestroyContext(dpy, ctx));
    }
}

TEST_F(Contexts, TheSameFourTwiceDoNothingTheSecondTime)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EGLSurface surface = windowSurface(1, 64, 32);
    EGLContext ctx = context(1);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    EXPECT_EQ(makeCurrentCalls, 1);
    EXPECT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_EQ(makeCurrentCalls, 1);
}

TEST_F(Contexts, MakeCurrentChecks)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EGLSurface s1 = windowSurface(1, 64, 32);
    EGLSurface s2 = windowSurface(1, 64, 32);
    EGLSurface other = windowSurface(2, 64, 32);
    EGLContext ctx = context(1);
    VXWindow gone = window(8, 8);
    EGLSurface orphan = eglCreateWindowSurface(dpy, config(1), gone, nullptr);
    VXDestroyWindow(vx(), gone);
    int bogus = 0;
    struct Case {
        const char* name;
        EGLDisplay dpy;
        EGLSurface draw, read;
        EGLContext ctx;
        EGLint error;
    } const cases[] = {
        {"two different surfaces", dpy, s1, s2, ctx, EGL_BAD_MATCH},
        {"a surface of another configuration", dpy, other, other, ctx, EGL_BAD_MATCH},
        {"a surface without a context", dpy, s1, s1, EGL_NO_CONTEXT, EGL_BAD_MATCH},
        {"a context without surfaces", dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx, EGL_BAD_MATCH},
        {"no display with objects", EGL_NO_DISPLAY, s1, s1, ctx, EGL_BAD_DISPLAY},
        {"not a display", &bogus, s1, s1, ctx, EGL_BAD_DISPLAY},
        {"not a surface", dpy, &bogus, &bogus, ctx, EGL_BAD_SURFACE},
        {"not a context", dpy, s1, s1, &bogus, EGL_BAD_CONTEXT},
        {"a window that is gone", dpy, orphan, orphan, ctx, EGL_BAD_NATIVE_WINDOW},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(eglMakeCurrent(c.dpy, c.draw, c.read, c.ctx));
        EXPECT_EQ(eglGetError(), c.error);
    }
    EXPECT_EQ(makeCurrentCalls, 0);
    EXPECT_TRUE(eglMakeCurrent(EGL_NO_DISPLAY, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
}

TEST_F(Contexts, AFailedMakeCurrentLeavesThePreviousCurrent)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EGLSurface s1 = windowSurface(1, 64, 32);
    EGLSurface s2 = windowSurface(1, 64, 32);
    EGLContext ctx = context(1);
    ASSERT_TRUE(eglMakeCurrent(dpy, s1, s1, ctx));
    makeCurrentFails = true;
    EXPECT_FALSE(eglMakeCurrent(dpy, s2, s2, ctx));
    EXPECT_EQ(eglGetError(), EGL_BAD_ALLOC);
    EXPECT_EQ(eglGetCurrentSurface(EGL_DRAW), s1);
    EXPECT_EQ(eglGetCurrentContext(), ctx);
    makeCurrentFails = false;
}

TEST_F(Contexts, DestroyedCurrentObjectsAreFreedAtTheReleasingMakeCurrent)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EGLSurface surface = windowSurface(2, 100, 50);
    EGLContext ctx = context(2);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    const int blocks = gmBlocksInUse();

    EXPECT_TRUE(eglDestroySurface(dpy, surface));
    EXPECT_TRUE(eglDestroyContext(dpy, ctx));
    EXPECT_EQ(gmBlocksInUse(), blocks);
    EXPECT_EQ(destroyedContexts, 0);
    EGLint value = 0;
    EXPECT_FALSE(eglQuerySurface(dpy, surface, EGL_WIDTH, &value));
    EXPECT_EQ(eglGetError(), EGL_BAD_SURFACE);
    EXPECT_FALSE(eglQueryContext(dpy, ctx, EGL_CONFIG_ID, &value));
    EXPECT_EQ(eglGetError(), EGL_BAD_CONTEXT);

    // The surface's two colour buffers and its mask go; the layer keeps its own buffers.
    EXPECT_TRUE(eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
    EXPECT_EQ(gmBlocksInUse(), blocks - 3);
    EXPECT_EQ(destroyedContexts, 1);
    EXPECT_EQ(eglGetCurrentSurface(EGL_DRAW), EGL_NO_SURFACE);

    // A context that is not current goes at once.
    EGLContext idle = context(2);
    EXPECT_TRUE(eglDestroyContext(dpy, idle));
    EXPECT_EQ(destroyedContexts, 2);
}

TEST_F(Contexts, CreationAttributes)
{
    EGLContext shared = context(1);
    int bogus = 0;
    struct Case {
        const char* name;
        std::vector<EGLint> attribs;
        EGLContext share;
        EGLint error;
    } const cases[] = {
        {"an ES 1 version on an OpenVG configuration", {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE}, nullptr,
         EGL_BAD_CONFIG},
        {"an ES 2 version on an OpenVG configuration", {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE}, nullptr,
         EGL_BAD_CONFIG},
        {"version 3", {EGL_CONTEXT_CLIENT_VERSION, 3, EGL_NONE}, nullptr, EGL_BAD_ATTRIBUTE},
        {"another attribute", {EGL_WIDTH, 3, EGL_NONE}, nullptr, EGL_BAD_ATTRIBUTE},
        {"a share that is no context", {EGL_NONE}, &bogus, EGL_BAD_CONTEXT},
        {"an empty list", {EGL_NONE}, nullptr, EGL_SUCCESS},
        {"a share", {EGL_NONE}, shared, EGL_SUCCESS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EGLContext made = eglCreateContext(dpy, config(1), c.share, c.attribs.data());
        EXPECT_EQ(eglGetError(), c.error);
        EXPECT_EQ(made != EGL_NO_CONTEXT, c.error == EGL_SUCCESS);
    }
    EXPECT_EQ(eglCreateContext(dpy, &bogus, EGL_NO_CONTEXT, nullptr), EGL_NO_CONTEXT);
    EXPECT_EQ(eglGetError(), EGL_BAD_CONFIG);
}

TEST_F(Contexts, ApiBindingAndCurrentQueries)
{
    EXPECT_EQ(eglQueryAPI(), static_cast<EGLenum>(EGL_NONE));
    EGLSurface surface = windowSurface(1, 64, 32);
    EGLContext ctx = context(1);
    EGLint value = 0;
    ASSERT_TRUE(eglQueryContext(dpy, ctx, EGL_CONTEXT_CLIENT_TYPE, &value));
    EXPECT_EQ(value, EGL_NONE);

    // Without a bound API nothing is handed to OpenVG and no context is reported current.
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    EXPECT_EQ(makeCurrentCalls, 0);
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    EXPECT_EQ(eglGetCurrentSurface(EGL_DRAW), surface);
    EXPECT_EQ(eglGetCurrentSurface(EGL_READ), surface);
    EXPECT_EQ(eglGetCurrentDisplay(), dpy);
    EXPECT_EQ(eglGetCurrentSurface(0x3000), EGL_NO_SURFACE);
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);

    EXPECT_FALSE(eglBindAPI(0x1234));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    EXPECT_FALSE(eglBindAPI(EGL_OPENGL_ES_API));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    EXPECT_EQ(eglQueryAPI(), static_cast<EGLenum>(EGL_NONE));

    // Binding OpenVG makes the current objects current for it.
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EXPECT_EQ(makeCurrentCalls, 1);
    EXPECT_EQ(eglQueryAPI(), static_cast<EGLenum>(EGL_OPENVG_API));
    EXPECT_EQ(eglGetCurrentContext(), ctx);
    const std::pair<EGLint, EGLint> answers[] = {
        {EGL_CONFIG_ID, 1},
        {EGL_RENDER_BUFFER, EGL_BACK_BUFFER},
        {EGL_CONTEXT_CLIENT_TYPE, EGL_OPENVG_API},
        {EGL_CONTEXT_CLIENT_VERSION, 1},
    };
    for (const auto& [attribute, expected] : answers) {
        EXPECT_TRUE(eglQueryContext(dpy, ctx, attribute, &value));
        EXPECT_EQ(value, expected) << std::hex << attribute;
    }
    EXPECT_FALSE(eglQueryContext(dpy, ctx, EGL_WIDTH, &value));
    EXPECT_EQ(eglGetError(), EGL_BAD_ATTRIBUTE);
    EXPECT_FALSE(eglQueryContext(dpy, ctx, EGL_CONFIG_ID, nullptr));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);

    ASSERT_TRUE(eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
    EXPECT_TRUE(eglQueryContext(dpy, ctx, EGL_RENDER_BUFFER, &value));
    EXPECT_EQ(value, EGL_NONE);
}

TEST_F(Contexts, PbuffersFromOpenVgImagesAreCheckedBeforeAnything)
{
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EXPECT_EQ(eglCreatePbufferFromClientBuffer(dpy, EGL_OPENVG_IMAGE, nullptr, config(1), nullptr), EGL_NO_SURFACE);
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    EGLSurface surface = windowSurface(1, 64, 32);
    EGLContext ctx = context(1);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    const int blocks = gmBlocksInUse();
    for (EGLenum buftype : {static_cast<EGLenum>(EGL_OPENVG_IMAGE), static_cast<EGLenum>(0x3097)}) {
        EXPECT_EQ(eglCreatePbufferFromClientBuffer(dpy, buftype, reinterpret_cast<EGLClientBuffer>(0x1234),
                                                   config(1), nullptr),
                  EGL_NO_SURFACE);
        EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    }
    EXPECT_EQ(gmBlocksInUse(), blocks);
}

}  // namespace
}  // namespace egltest
