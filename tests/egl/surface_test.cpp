// Surfaces: the buffers each kind gets, attribute checks before any allocation, clean-up
// when a buffer cannot be had, pixmaps, queries and destruction.
#include "egl_test_support.h"

#include <tuple>
#include <vector>

#include "EGL/egl/egl_linklist.h"
#include "winsys/vxlib_records.h"

namespace egltest {
namespace {

using Request = std::tuple<EGLint, EGLint, EGLint, EGLint>;  // width, height, bits, kind
std::vector<Request> requests;

EGLGpuAddress recordMemAlloc(EGLint width, EGLint height, EGLint bits, EGLint kind)
{
    requests.emplace_back(width, height, bits, kind);
    return PORTL_MemAlloc(width, height, bits, kind);
}

class Surfaces : public EglTest {
protected:
    void SetUp() override
    {
        initialize();
        requests.clear();
        EGLINL_CallbackMemAlloc = recordMemAlloc;
    }
    void TearDown() override
    {
        EXPECT_EQ(terminate(), "");
        EXPECT_EQ(gmBlocksInUse(), 0);
        EglTest::TearDown();
    }
};

TEST_F(Surfaces, WindowBuffersBySizeAndConfiguration)
{
    struct Case {
        EGLint config;
        std::vector<Request> buffers;
        EGLint width;
    } const cases[] = {
        {2, {{104, 50, 16, 1}, {104, 50, 16, 2}, {104, 50, 4, 5}}, 100},
        {18, {{104, 50, 16, 1}, {104, 50, 16, 2}, {416, 50, 16, 4}, {416, 50, 4, 5}}, 100},
        {8, {{104, 50, 32, 1}, {104, 50, 32, 2}, {104, 50, 8, 5}}, 100},
        {1, {{104, 50, 16, 1}, {104, 50, 16, 2}}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        requests.clear();
        EGLSurface surface = windowSurface(c.config, 100, 50);
        ASSERT_NE(surface, EGL_NO_SURFACE);
        EXPECT_EQ(requests, c.buffers);
        EXPECT_EQ(query(surface, EGL_WIDTH), c.width);
        EXPECT_EQ(query(surface, EGL_HEIGHT), 50);
        EXPECT_EQ(query(surface, EGL_CONFIG_ID), c.config);
        EXPECT_EQ(query(surface, EGL_RENDER_BUFFER), EGL_BACK_BUFFER);
        EXPECT_TRUE(eglDestroySurface(dpy, surface));
    }
    EXPECT_EQ(gmBlocksInUse(), layerBlocks);

    const EGLint single[] = {EGL_RENDER_BUFFER, EGL_SINGLE_BUFFER, EGL_NONE};
    requests.clear();
    EGLSurface surface = windowSurface(1, 100, 50, single);
    EXPECT_EQ(requests, (std::vector<Request>{{104, 50, 16, 1}}));
    EXPECT_EQ(query(surface, EGL_RENDER_BUFFER), EGL_SINGLE_BUFFER);
}

TEST_F(Surfaces, PbufferSizesApplyInListOrder)
{
    struct Case {
        const char* name;
        std::vector<EGLint> attribs;
        EGLint width, height, largest;
        std::vector<Request> buffers;
    } const cases[] = {
        {"largest, then a width", {EGL_LARGEST_PBUFFER, 1, EGL_WIDTH, 10, EGL_NONE}, 10, 2048, 1,
         {{16, 2048, 16, 1}, {16, 2048, 4, 5}}},
        {"a width above the maximum is clamped and clears largest",
         {EGL_LARGEST_PBUFFER, 1, EGL_WIDTH, 5000, EGL_NONE}, 2048, 2048, 0, {{2048, 2048, 16, 1}, {2048, 2048, 4, 5}}},
        {"width 0 gets no buffer", {EGL_WIDTH, 0, EGL_HEIGHT, 10, EGL_NONE}, 0, 10, 0, {}},
        {"no size gets no buffer", {EGL_NONE}, 0, 0, 0, {}},
        {"a small pbuffer", {EGL_WIDTH, 3, EGL_HEIGHT, 5, EGL_NONE}, 3, 5, 0, {{8, 5, 16, 1}, {8, 5, 4, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        requests.clear();
        EGLSurface surface = eglCreatePbufferSurface(dpy, config(2), c.attribs.data());
        ASSERT_NE(surface, EGL_NO_SURFACE);
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
        EXPECT_EQ(query(surface, EGL_WIDTH), c.width);
        EXPECT_EQ(query(surface, EGL_HEIGHT), c.height);
        EXPECT_EQ(query(surface, EGL_LARGEST_PBUFFER), c.largest);
        EXPECT_EQ(requests, c.buffers);
        EXPECT_TRUE(eglDestroySurface(dpy, surface));
    }
}

TEST_F(Surfaces, QueriesAnswerTheRecordAndPostSubBufferIsSupported)
{
    EGLSurface win = windowSurface(2, 100, 50);
    const EGLint pbufferAttribs[] = {EGL_WIDTH, 4, EGL_HEIGHT, 4, EGL_VG_COLORSPACE, EGL_VG_COLORSPACE_LINEAR,
                                     EGL_NONE};
    EGLSurface pbuffer = eglCreatePbufferSurface(dpy, config(18), pbufferAttribs);
    ASSERT_NE(pbuffer, EGL_NO_SURFACE);
    for (EGLSurface surface : {win, pbuffer})
        EXPECT_EQ(query(surface, EGL_POST_SUB_BUFFER_SUPPORTED_NV), 1);
    const std::pair<EGLint, EGLint> defaults[] = {
        {EGL_TEXTURE_FORMAT, EGL_NO_TEXTURE},  {EGL_TEXTURE_TARGET, EGL_NO_TEXTURE},
        {EGL_MIPMAP_TEXTURE, 0},              {EGL_MIPMAP_LEVEL, 0},
        {EGL_VG_COLORSPACE, EGL_VG_COLORSPACE_sRGB}, {EGL_VG_ALPHA_FORMAT, EGL_VG_ALPHA_FORMAT_NONPRE},
        {EGL_HORIZONTAL_RESOLUTION, -1},      {EGL_VERTICAL_RESOLUTION, -1},
        {EGL_PIXEL_ASPECT_RATIO, -1},         {EGL_SWAP_BEHAVIOR, EGL_BUFFER_DESTROYED},
    };
    for (const auto& [attribute, value] : defaults)
        EXPECT_EQ(query(win, attribute), value) << std::hex << attribute;
    EXPECT_EQ(query(pbuffer, EGL_VG_COLORSPACE), EGL_VG_COLORSPACE_LINEAR);

    EGLint value = 0;
    EXPECT_FALSE(eglQuerySurface(dpy, win, EGL_BUFFER_SIZE, &value));
    EXPECT_EQ(eglGetError(), EGL_BAD_ATTRIBUTE);
    EXPECT_FALSE(eglQuerySurface(dpy, win, EGL_WIDTH, nullptr));
    EXPECT_EQ(eglGetError(), EGL_BAD_PARAMETER);
    EXPECT_FALSE(eglSurfaceAttrib(dpy, win, EGL_MIPMAP_LEVEL, 1));
    EXPECT_EQ(eglGetError(), EGL_BAD_ATTRIBUTE);
    int notASurface = 0;
    EXPECT_FALSE(eglQuerySurface(dpy, &notASurface, EGL_WIDTH, &value));
    EXPECT_EQ(eglGetError(), EGL_BAD_SURFACE);
}

TEST_F(Surfaces, AttributeErrorsAllocateNothing)
{
    VXWindow win = window(100, 50);
    VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, 8, 8, 16);
    struct Case {
        const char* name;
        EGLint kind;  // EGL_WINDOW_BIT, EGL_PBUFFER_BIT or EGL_PIXMAP_BIT
        EGLint config;
        std::vector<EGLint> attribs;
        EGLint error;
    } const cases[] = {
        {"unknown window attribute", EGL_WINDOW_BIT, 2, {EGL_WIDTH, 10, EGL_NONE}, EGL_BAD_ATTRIBUTE},
        {"bad render buffer", EGL_WINDOW_BIT, 2, {EGL_RENDER_BUFFER, 7, EGL_NONE}, EGL_BAD_PARAMETER},
        {"bad colour space", EGL_WINDOW_BIT, 2, {EGL_VG_COLORSPACE, 7, EGL_NONE}, EGL_BAD_PARAMETER},
        {"bad alpha format", EGL_WINDOW_BIT, 18, {EGL_VG_ALPHA_FORMAT, 7, EGL_NONE}, EGL_BAD_PARAMETER},
        {"negative width", EGL_PBUFFER_BIT, 2, {EGL_WIDTH, -1, EGL_NONE}, EGL_BAD_PARAMETER},
        {"negative height", EGL_PBUFFER_BIT, 2, {EGL_HEIGHT, -1, EGL_NONE}, EGL_BAD_PARAMETER},
        {"largest of 2", EGL_PBUFFER_BIT, 2, {EGL_LARGEST_PBUFFER, 2, EGL_NONE}, EGL_BAD_PARAMETER},
        {"render buffer on a pbuffer", EGL_PBUFFER_BIT, 2, {EGL_RENDER_BUFFER, EGL_BACK_BUFFER, EGL_NONE},
         EGL_BAD_ATTRIBUTE},
        {"a format without a target", EGL_PBUFFER_BIT, 2, {EGL_WIDTH, 16, EGL_TEXTURE_FORMAT, EGL_TEXTURE_RGB, EGL_NONE},
         EGL_BAD_MATCH},
        {"a 2D texture of width 10", EGL_PBUFFER_BIT, 2,
         {EGL_WIDTH, 10, EGL_HEIGHT, 16, EGL_TEXTURE_FORMAT, EGL_TEXTURE_RGB, EGL_TEXTURE_TARGET, EGL_TEXTURE_2D,
          EGL_NONE},
         EGL_BAD_MATCH},
        {"a texture on an OpenVG configuration", EGL_PBUFFER_BIT, 2,
         {EGL_WIDTH, 16, EGL_HEIGHT, 16, EGL_TEXTURE_FORMAT, EGL_TEXTURE_RGB, EGL_TEXTURE_TARGET, EGL_TEXTURE_2D,
          EGL_NONE},
         EGL_BAD_ATTRIBUTE},
        {"a mipmap texture on an OpenVG configuration", EGL_PBUFFER_BIT, 2, {EGL_MIPMAP_TEXTURE, 1, EGL_NONE},
         EGL_BAD_ATTRIBUTE},
        {"unknown pixmap attribute", EGL_PIXMAP_BIT, 1, {EGL_RENDER_BUFFER, EGL_BACK_BUFFER, EGL_NONE},
         EGL_BAD_ATTRIBUTE},
        {"a pixmap surface on a configuration without pixmaps", EGL_PIXMAP_BIT, 3, {EGL_NONE}, EGL_BAD_MATCH},
        {"a pixmap of the wrong depth", EGL_PIXMAP_BIT, 8, {EGL_NONE}, EGL_BAD_MATCH},
    };
    pixmap->addr = gmMalloc(static_cast<int>(PORTL_MemSize(8, 8, 16, 1)), 32);
    const int blocks = gmBlocksInUse();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        requests.clear();
        EGLConfig chosen = config(c.config);
        EGLSurface surface = c.kind == EGL_WINDOW_BIT   ? eglCreateWindowSurface(dpy, chosen, win, c.attribs.data())
                             : c.kind == EGL_PBUFFER_BIT ? eglCreatePbufferSurface(dpy, chosen, c.attribs.data())
                                                         : eglCreatePixmapSurface(dpy, chosen, pixmap, c.attribs.data());
        EXPECT_EQ(surface, EGL_NO_SURFACE);
        EXPECT_EQ(eglGetError(), c.error);
        EXPECT_TRUE(requests.empty());
        EXPECT_EQ(gmBlocksInUse(), blocks);
    }
    VXFreePixmap(vx(), pixmap);
}

TEST_F(Surfaces, AFailureAtEachBufferFreesEverything)
{
    const EGLint pbufferAttribs[] = {EGL_WIDTH, 20, EGL_HEIGHT, 20, EGL_NONE};
    struct Case {
        const char* name;
        EGLint config;
        bool window;
        int buffers;
    } const cases[] = {
        {"window of configuration 18", 18, true, 4},
        {"window of configuration 2", 2, true, 3},
        {"pbuffer of configuration 18", 18, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VXWindow win = window(100, 50);
        for (int failing = 1; failing <= c.buffers + 1; ++failing) {
            SCOPED_TRACE(failing);
            const bool listFails = failing > c.buffers;
            if (listFails)
                EGLINL_FailLinkListInsert(1);
            else
                gmFailBlockAllocation(failing);
            testing::internal::CaptureStdout();
            EGLSurface surface = c.window ? eglCreateWindowSurface(dpy, config(c.config), win, nullptr)
                                          : eglCreatePbufferSurface(dpy, config(c.config), pbufferAttribs);
            testing::internal::GetCapturedStdout();
            EXPECT_EQ(surface, EGL_NO_SURFACE);
            EXPECT_EQ(eglGetError(), EGL_BAD_ALLOC);
            EXPECT_EQ(gmBlocksInUse(), layerBlocks);
            gmFailBlockAllocation(0);
            EGLINL_FailLinkListInsert(0);
        }
    }
}

VXPixmap pixmapWithMemory;
uint32_t pixmapMemory;

uint32_t pixmapQueryWithMemory(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap, EGLint attribute)
{
    if (pixmap == pixmapWithMemory && attribute == EGL_NATIVE_PIXMAP_ADDR)
        return pixmapMemory;
    return PORTL_NativeQueryPixmap(dpy, pixmap, attribute);
}

TEST_F(Surfaces, PixmapSurfacesDrawIntoTheMemoryTheHookGivesAndAreRefusedWithout)
{
    VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, 30, 20, 16);
    EXPECT_EQ(eglCreatePixmapSurface(dpy, config(1), pixmap, nullptr), EGL_NO_SURFACE);
    EXPECT_EQ(eglGetError(), EGL_BAD_NATIVE_PIXMAP);

    pixmapWithMemory = pixmap;
    pixmapMemory = PORTL_MemAlloc(32, 20, 16, 1);
    EGLINL_CallbackNativeQueryPixmap = pixmapQueryWithMemory;
    requests.clear();
    EGLSurface surface = eglCreatePixmapSurface(dpy, config(2), pixmap, nullptr);
    ASSERT_NE(surface, EGL_NO_SURFACE);
    EXPECT_EQ(requests, (std::vector<Request>{{32, 20, 4, 5}}));
    EXPECT_EQ(query(surface, EGL_WIDTH), 30);
    EXPECT_EQ(query(surface, EGL_RENDER_BUFFER), EGL_SINGLE_BUFFER);

    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EGLContext context = eglCreateContext(dpy, config(2), EGL_NO_CONTEXT, nullptr);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
    const ALsurface* sfc = PORTL_DrawingSurface();
    EXPECT_EQ(sfc->disp0->addr, pixmapMemory);
    EXPECT_EQ(sfc->disp0->width, 30);
    EXPECT_EQ(sfc->disp1, nullptr);
    EXPECT_EQ(sfc->mode, 0);
    EXPECT_EQ(sfc->offscreen, 0);

    // The pixmap's memory stays the embedder's when the surface goes.
    EXPECT_TRUE(eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
    const int blocks = gmBlocksInUse();
    EXPECT_TRUE(eglDestroySurface(dpy, surface));
    EXPECT_EQ(gmBlocksInUse(), blocks - 1);  // the mask
    PORTL_MemFree(pixmapMemory, 1);
}

TEST_F(Surfaces, WindowsAndPixmapsAreNotTakenForEachOther)
{
    VXWindow win = window(16, 16);
    VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, 16, 16, 16);
    pixmap->addr = gmMalloc(static_cast<int>(PORTL_MemSize(16, 16, 16, 1)), 32);
    win->addr = gmMalloc(static_cast<int>(PORTL_MemSize(16, 16, 16, 1)), 32);
    EXPECT_EQ(eglCreateWindowSurface(dpy, config(1), pixmap, nullptr), EGL_NO_SURFACE);
    EXPECT_EQ(eglGetError(), EGL_BAD_NATIVE_WINDOW);
    EXPECT_EQ(eglCreatePixmapSurface(dpy, config(1), win, nullptr), EGL_NO_SURFACE);
    EXPECT_EQ(eglGetError(), EGL_BAD_NATIVE_PIXMAP);
    EXPECT_FALSE(PORTL_IsValidNativeWindowType(vx(), pixmap));
    EXPECT_FALSE(PORTL_IsValidNativePixmapType(vx(), win));
    EXPECT_TRUE(PORTL_IsValidNativeWindowType(vx(), win));
    EXPECT_TRUE(PORTL_IsValidNativePixmapType(vx(), pixmap));
    VXFreePixmap(vx(), pixmap);
    VXDestroyWindow(vx(), win);
}

}  // namespace
}  // namespace egltest
