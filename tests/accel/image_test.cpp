// Images: the creation checks and limits, the vendor images, the records of children with
// their reference counting, the image parameters, drawing checks, and an image lent to EGL as
// a pbuffer. A context is made current through EGL, so images get their buffers from the
// acceleration layer on the GPU model. Under AddressSanitizer any read of a freed record or
// buffer fails the test.
#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_memory.h"
#include "vg/common/vg_arena.h"
#include "vg/common/vg_egl_image.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_share.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::VgSurfaceSpec;

class ImageTest : public vnq::test::VgSurfaceTest {
protected:
    void SetUp() override
    {
        VgSurfaceTest::SetUp();
        makeCurrent(VgSurfaceSpec{});
    }
    static OVGcontext* vg() { return VGVAL_vgcurrentcontexthandle; }
    static OVGimage* record(VGImage handle) { return VGFUNC_FindImage(vg()->sharedState, handle); }
    static VGImage image565(int w = 16, int h = 8)
    {
        return vgCreateImage(VG_sRGB_565, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    }
};

TEST_F(ImageTest, CreationChecksFormatThenLimits)
{
    const struct {
        VGImageFormat format;
        VGint width, height;
        VGbitfield quality;
        VGErrorCode error;  // VG_NO_ERROR: the checks pass (the buffer may still be too big)
    } table[] = {
        {VG_sRGBA_8888, 8192, 8192, VG_IMAGE_QUALITY_FASTER, VG_NO_ERROR},
        {VG_A_1, 8192, 8192, VG_IMAGE_QUALITY_NONANTIALIASED, VG_NO_ERROR},
        {VG_sBGR_565, 4, 4, VG_IMAGE_QUALITY_BETTER, VG_NO_ERROR},
        {VG_sXBGR_8888, 1, 1, 7, VG_NO_ERROR},
        {VG_sRGBA_8888, 8193, 1, VG_IMAGE_QUALITY_FASTER, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_sRGBA_8888, 1, 8193, VG_IMAGE_QUALITY_FASTER, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_sRGBA_8888, 0, 1, VG_IMAGE_QUALITY_FASTER, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_sRGBA_8888, 1, -1, VG_IMAGE_QUALITY_FASTER, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_sRGBA_8888, 4, 4, 0, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_sRGBA_8888, 4, 4, 8, VG_ILLEGAL_ARGUMENT_ERROR},
        {static_cast<VGImageFormat>(67), 4, 4, 1, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR},
        {static_cast<VGImageFormat>(67), 0, 0, 0, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR},  // the format first
        {VG_EXT_YUV422, 4, 4, 1, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.format << std::dec << " " << row.width << "x"
                                          << row.height << " q" << row.quality);
        const VGImage image = vgCreateImage(row.format, row.width, row.height, row.quality);
        const VGErrorCode error = vgGetError();
        if (row.error == VG_NO_ERROR) {
            EXPECT_TRUE(error == VG_NO_ERROR || error == VG_OUT_OF_MEMORY_ERROR) << std::hex << error;
            EXPECT_EQ(image != VG_INVALID_HANDLE, error == VG_NO_ERROR);
        } else {
            EXPECT_EQ(error, row.error);
            EXPECT_EQ(image, VG_INVALID_HANDLE);
        }
        vgDestroyImage(image);
        (void)vgGetError();
    }
    EXPECT_EQ(vg()->sharedState->numImage, 0);
}

TEST_F(ImageTest, ANewImageCoversItsBufferAndAnswersItsParameters)
{
    const VGImage image = vgCreateImage(VG_sABGR_4444, 480, 272, VG_IMAGE_QUALITY_NONANTIALIASED);
    ASSERT_NE(image, VG_INVALID_HANDLE);
    const OVGimage* r = record(image);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->format, VG_sABGR_4444);
    EXPECT_EQ(r->quality, VGbitfield(VG_IMAGE_QUALITY_NONANTIALIASED));
    EXPECT_EQ(r->activeRect.x, 0);
    EXPECT_EQ(r->activeRect.y, 0);
    EXPECT_EQ(r->activeRect.width, 480);
    EXPECT_EQ(r->activeRect.height, 272);
    EXPECT_EQ(r->buffer->width, 480);
    EXPECT_EQ(r->buffer->bpp, 16);
    EXPECT_EQ(r->parent, nullptr);
    EXPECT_EQ(r->extension, 0);

    const struct {
        VGint param;
        VGint value;
    } table[] = {{VG_IMAGE_FORMAT, VG_sABGR_4444}, {VG_IMAGE_WIDTH, 480}, {VG_IMAGE_HEIGHT, 272}};
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.param);
        vgSetParameteri(image, row.param, 5);  // read-only: ignored
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        EXPECT_EQ(vgGetParameteri(image, row.param), row.value);
        EXPECT_EQ(vgGetParameterf(image, row.param), float(row.value));
        EXPECT_EQ(vgGetParameterVectorSize(image, row.param), 1);
        VGint two[2];
        vgGetParameteriv(image, row.param, 2, two);
        EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    }
    vgSetParameterf(image, 0x1D00, 1);  // an image id the record does not have
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    vgDestroyImage(image);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgDestroyImage(image);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
}

TEST_F(ImageTest, ChildAreasMustLieInsideTheParent)
{
    const VGImage parent = image565(16, 8);
    const VGint big = 2147483647;
    const struct {
        VGint x, y, w, h;
        VGErrorCode error;
    } table[] = {
        {0, 0, 16, 8, VG_NO_ERROR},                 // the whole parent
        {15, 7, 1, 1, VG_NO_ERROR},
        {16, 0, 1, 1, VG_ILLEGAL_ARGUMENT_ERROR},   // x = width
        {0, 8, 1, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {1, 0, 16, 8, VG_ILLEGAL_ARGUMENT_ERROR},
        {0, 1, 16, 8, VG_ILLEGAL_ARGUMENT_ERROR},
        {1, 0, big, 1, VG_ILLEGAL_ARGUMENT_ERROR},  // x + width would wrap negative
        {0, 1, 1, big, VG_ILLEGAL_ARGUMENT_ERROR},
        {-1, 0, 1, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {0, -1, 1, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {0, 0, 0, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {0, 0, 1, 0, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << row.x << "," << row.y << " " << row.w << "x" << row.h);
        const VGImage child = vgChildImage(parent, row.x, row.y, row.w, row.h);
        EXPECT_EQ(vgGetError(), row.error);
        EXPECT_EQ(child != VG_INVALID_HANDLE, row.error == VG_NO_ERROR);
        vgDestroyImage(child);
        (void)vgGetError();
    }
    EXPECT_EQ(record(parent)->refCount, 0);
    EXPECT_EQ(vgChildImage(parent + 16, 0, 0, 1, 1), VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
}

TEST_F(ImageTest, AChildOfAChildAddsItsOffsetsAndFindsTheNearestLiveAncestor)
{
    const VGImage root = image565(64, 32);
    const VGImage middle = vgChildImage(root, 8, 4, 40, 20);
    const VGImage leaf = vgChildImage(middle, 3, 5, 10, 6);
    ASSERT_NE(leaf, VG_INVALID_HANDLE);
    const OVGimage* r = record(leaf);
    EXPECT_EQ(r->activeRect.x, 11);
    EXPECT_EQ(r->activeRect.y, 9);
    EXPECT_EQ(r->activeRect.width, 10);
    EXPECT_EQ(r->activeRect.height, 6);
    EXPECT_EQ(r->buffer, record(root)->buffer);
    EXPECT_EQ(r->format, VG_sRGB_565);
    EXPECT_EQ(vgGetParameteri(leaf, VG_IMAGE_WIDTH), 10);
    EXPECT_EQ(vgGetParent(leaf), middle);
    EXPECT_EQ(vgGetParent(root), root);

    OVGimage* middleRecord = record(middle);
    vgDestroyImage(middle);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_TRUE(middleRecord->deleted);  // the leaf holds it
    EXPECT_EQ(vgGetParent(leaf), root);
    vgDestroyImage(root);
    EXPECT_EQ(vgGetParent(leaf), leaf);  // every ancestor deleted
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(ImageTest, AParentDestroyedFirstKeepsItsBufferUntilItsLastChildGoes)
{
    const VGImage parent = image565(16, 16);
    const VGImage child = vgChildImage(parent, 4, 4, 8, 8);
    const VGuint addr = record(parent)->buffer->addr;
    vgDestroyImage(parent);
    EXPECT_EQ(vgGetParameteri(parent, VG_IMAGE_WIDTH), 0);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    // The shared buffer is still the child's: its record and memory are read here.
    const OVGimage* r = record(child);
    EXPECT_EQ(r->buffer->addr, addr);
    EXPECT_EQ(r->parent->refCount, 1);
    word32 word = 0;
    VGALFUNC_TVGreadMemory32(&word, r->buffer->addr, 1);
    EXPECT_EQ(word, 0u);  // created zeroed
    vgDestroyImage(child);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(vg()->sharedState->numImage, 0);
}

TEST_F(ImageTest, APatternDestroyedWhileSetLivesUntilThePatternIsRemoved)
{
    const VGImage image = image565();
    const VGPaint paint = vgCreatePaint();
    vgPaintPattern(paint, image);
    OVGimage* pattern = record(image);
    vgDestroyImage(image);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(vgGetParameteri(image, VG_IMAGE_WIDTH), 0);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    // Still the paint's pattern, with its pixels: read here under the sanitizer.
    EXPECT_TRUE(pattern->deleted);
    word32 word = 1;
    VGALFUNC_TVGreadMemory32(&word, pattern->buffer->addr, 1);
    EXPECT_EQ(word, 0u);
    vgPaintPattern(paint, VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    // Freed now: the arena hands the record's block out again first.
    void* next = VGFUNC_ArenaAlloc(sizeof(OVGimage));
    EXPECT_EQ(next, pattern);
    VGFUNC_ArenaFree(next);
}

TEST_F(ImageTest, RenderTargetsCannotBeUsed)
{
    const VGImage image = image565();
    const VGPaint paint = vgCreatePaint();
    VGFUNC_IncRenderTarget(record(image));
    const struct {
        const char* name;
        void (*call)(VGImage, VGPaint);
    } table[] = {
        {"vgChildImage", [](VGImage i, VGPaint) { EXPECT_EQ(vgChildImage(i, 0, 0, 1, 1), VG_INVALID_HANDLE); }},
        {"vgGetParent", [](VGImage i, VGPaint) { EXPECT_EQ(vgGetParent(i), VG_INVALID_HANDLE); }},
        {"vgDrawImage", [](VGImage i, VGPaint) { vgDrawImage(i); }},
        {"vgPaintPattern", [](VGImage i, VGPaint p) { vgPaintPattern(p, i); }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        row.call(image, paint);
        EXPECT_EQ(vgGetError(), VG_IMAGE_IN_USE_ERROR);
    }
    VGFUNC_DecRenderTarget(record(image));
    EXPECT_EQ(record(image)->refCount, 0);
}

TEST_F(ImageTest, DrawingChecksTheImageAndSkipsAnEmptySurface)
{
    const VGImage image = image565();
    vgDrawImage(image);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgDrawImage(image + 16);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    const EGLint none[] = {EGL_WIDTH, 0, EGL_HEIGHT, 0, EGL_NONE};
    EGLSurface empty = eglCreatePbufferSurface(dpy, config(1), none);
    ASSERT_NE(empty, EGL_NO_SURFACE);
    ASSERT_TRUE(eglMakeCurrent(dpy, empty, empty, context));
    EXPECT_EQ(vgnonzerosizedsurface, 0);
    VGFUNC_IncRenderTarget(record(image));
    vgDrawImage(image + 16);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);  // the handle is checked before the surface
    vgDrawImage(image);
    EXPECT_EQ(vgGetError(), VG_IMAGE_IN_USE_ERROR);
    VGFUNC_DecRenderTarget(record(image));
    vgDrawImage(image);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
    EXPECT_TRUE(eglDestroySurface(dpy, empty));
}

TEST_F(ImageTest, VendorImagesCopyOrUseTheClientData)
{
    // Client data below 4 GiB, so that a direct image can use it in place.
    auto* block = static_cast<unsigned char*>(VGFUNC_ArenaAlloc(4096));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 4096; ++i)
        block[i] = static_cast<unsigned char>(i * 7);
    const struct {
        const char* name;
        bool direct;
        VGImageFormat format;
        VGint w, h;
        VGbitfield quality;
        size_t offset;  // from the 16-byte aligned block
        VGErrorCode error;
    } table[] = {
        {"yuv", false, VG_EXT_YUV422, 6, 4, 1, 0, VG_NO_ERROR},
        {"lvq at 2", false, VG_EXT_LVQ88, 8, 8, 1, 2, VG_NO_ERROR},
        {"yuv at 2", false, VG_EXT_YUV422, 6, 4, 1, 2, VG_ILLEGAL_ARGUMENT_ERROR},
        {"lvq odd", false, VG_EXT_LVQ84, 8, 8, 1, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {"standard format", false, VG_sRGB_565, 8, 8, 1, 0, VG_ILLEGAL_ARGUMENT_ERROR},
        {"past the vendor formats", false, static_cast<VGImageFormat>(0x40000005), 8, 8, 1, 0,
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"too wide", false, VG_EXT_LVQ88, 8193, 8, 1, 0, VG_ILLEGAL_ARGUMENT_ERROR},
        {"no quality", false, VG_EXT_LVQ88, 8, 8, 0, 0, VG_ILLEGAL_ARGUMENT_ERROR},
        {"direct 565", true, VG_sRGB_565, 8, 8, 1, 2, VG_NO_ERROR},
        {"direct 565 odd", true, VG_sRGB_565, 8, 8, 1, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {"direct lvq at 8", true, VG_EXT_LVQ88A4, 8, 8, 1, 8, VG_NO_ERROR},
        {"direct lvq at 4", true, VG_EXT_LVQ88A4, 8, 8, 1, 4, VG_ILLEGAL_ARGUMENT_ERROR},
        {"direct unknown format", true, static_cast<VGImageFormat>(67), 8, 8, 1, 0, VG_ILLEGAL_ARGUMENT_ERROR},
        {"direct too tall", true, VG_sRGB_565, 8, 8193, 1, 0, VG_ILLEGAL_ARGUMENT_ERROR},
        {"direct quality 8", true, VG_sRGB_565, 8, 8, 8, 0, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        void* data = block + row.offset;
        const VGImage image = row.direct
                                  ? vgCreateDirectImageEXT(row.format, row.w, row.h, row.quality, data, row.w * 2)
                                  : vgCreateImageEXT(row.format, row.w, row.h, row.quality, data);
        EXPECT_EQ(vgGetError(), row.error);
        if (row.error != VG_NO_ERROR) {
            EXPECT_EQ(image, VG_INVALID_HANDLE);
            continue;
        }
        const OVGimage* r = record(image);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->extension, 1);
        EXPECT_EQ(r->format, row.format);
        EXPECT_EQ(r->activeRect.width, row.w);
        EXPECT_EQ(vgIsImage(vg(), image), OVG_EGL_IMAGE_NOT_AN_IMAGE);  // EGL takes no vendor image
        if (row.direct) {
            EXPECT_EQ(r->buffer->client, data);
            EXPECT_EQ(r->buffer->directimage, 1);
        } else {
            word32 words[6];
            VGALFUNC_TVGreadMemory32(words, r->buffer->addr, 6);
            EXPECT_EQ(std::memcmp(words, data, sizeof words), 0);
        }
        // A child of a vendor image is a vendor image too.
        const VGImage child = vgChildImage(image, 0, 0, 2, 2);
        EXPECT_EQ(record(child)->extension, 1);
        vgDestroyImage(child);
        vgDestroyImage(image);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    }
    VGFUNC_ArenaFree(block);
}

TEST_F(ImageTest, EglHooksTellWhyAnImageCannotBeLent)
{
    const VGImage loose = image565();
    const VGImage parent = image565();
    const VGImage child = vgChildImage(parent, 0, 0, 4, 4);
    const VGImage pattern = image565();
    const VGPaint paint = vgCreatePaint();
    vgPaintPattern(paint, pattern);
    VGint w = 0, h = 0, sw = 0, sh = 0, l = 0, a = 0, order = -1;
    VGuint addr = 0;
    const struct {
        const char* name;
        VGImage image;
        int result;
    } table[] = {
        {"stranger", loose + 16, OVG_EGL_IMAGE_NOT_AN_IMAGE},
        {"child", child, OVG_EGL_IMAGE_CHILD},
        {"parent", parent, OVG_EGL_IMAGE_IN_USE},
        {"pattern", pattern, OVG_EGL_IMAGE_IN_USE},
        {"loose", loose, 0},
        {"loose again", loose, OVG_EGL_IMAGE_BOUND},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(vgGetVGImage(vg(), row.image, &w, &h, &sw, &sh, &l, &a, &addr, &order), row.result);
    }
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 8);
    EXPECT_EQ(addr, record(loose)->buffer->addr);
    EXPECT_EQ(order, 0);
    EXPECT_EQ(record(loose)->isBound, 1);

    // Destroyed while EGL holds it: freed when EGL lets go.
    OVGimage* lent = record(loose);
    vgDestroyImage(loose);
    EXPECT_TRUE(lent->deleted);
    vgReleaseVGImage(loose, &addr);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(vg()->sharedState->numImage, 3);
}

TEST_F(ImageTest, EglHooksMatchChannelSizesAndOrder)
{
    const struct {
        VGImageFormat format;
        VGint r, g, b, a, l;
        int match;
        VGint order;
    } table[] = {
        {VG_sRGB_565, 5, 6, 5, 0, 0, 0, 0},      {VG_sRGB_565, 5, 6, 5, 8, 0, 1, 0},
        {VG_sBGR_565, 5, 6, 5, 0, 0, 0, 2},      {VG_sARGB_4444, 4, 4, 4, 4, 0, 0, 1},
        {VG_sABGR_4444, 4, 4, 4, 4, 0, 0, 3},    {VG_sRGBA_5551, 5, 5, 5, 1, 0, 0, 0},
        {VG_lRGBA_8888_PRE, 8, 8, 8, 8, 0, 0, 0}, {VG_sRGBX_8888, 8, 8, 8, 0, 0, 0, 0},
        {VG_sL_8, 0, 0, 0, 0, 8, 0, 0},          {VG_A_8, 0, 0, 0, 8, 0, 0, 0},
        {VG_BW_1, 0, 0, 0, 0, 1, 0, 0},          {VG_A_4, 0, 0, 0, 4, 0, 0, 0},
        {VG_A_4, 0, 0, 0, 8, 0, 1, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.format);
        const VGImage image = vgCreateImage(row.format, 8, 8, 1);
        VGint order = -1;
        EXPECT_EQ(vgIsImage(vg(), image), 0);
        EXPECT_EQ(vgIsMatchImage(vg(), image, row.r, row.g, row.b, row.a, row.l, &order), row.match);
        EXPECT_EQ(order, row.order);
        vgDestroyImage(image);
    }
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(ImageTest, AnImageLentToEglIsARenderTargetWhileItsPbufferIsCurrent)
{
    const VGImage image = vgCreateImage(VG_sRGB_565, 32, 16, VG_IMAGE_QUALITY_NONANTIALIASED);
    ASSERT_NE(image, VG_INVALID_HANDLE);
    OVGimage* lent = record(image);
    EGLSurface pbuffer = eglCreatePbufferFromClientBuffer(dpy, EGL_OPENVG_IMAGE, reinterpret_cast<EGLClientBuffer>(
                                                                                     static_cast<uintptr_t>(image)),
                                                          config(1), nullptr);
    ASSERT_NE(pbuffer, EGL_NO_SURFACE);
    EXPECT_EQ(lent->isBound, 1);
    EGLint w = 0;
    EXPECT_TRUE(eglQuerySurface(dpy, pbuffer, EGL_WIDTH, &w));
    EXPECT_EQ(w, 32);
    // Lent once only.
    EXPECT_EQ(eglCreatePbufferFromClientBuffer(dpy, EGL_OPENVG_IMAGE,
                                               reinterpret_cast<EGLClientBuffer>(static_cast<uintptr_t>(image)),
                                               config(1), nullptr),
              EGL_NO_SURFACE);
    EXPECT_EQ(eglGetError(), EGL_BAD_ACCESS);

    ASSERT_TRUE(eglMakeCurrent(dpy, pbuffer, pbuffer, context));
    EXPECT_EQ(lent->refRenderCount, 1);
    EXPECT_EQ(lent->refCount, 1);
    EXPECT_EQ(vgChildImage(image, 0, 0, 1, 1), VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetError(), VG_IMAGE_IN_USE_ERROR);

    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
    EXPECT_EQ(lent->refRenderCount, 0);
    EXPECT_EQ(lent->refCount, 0);

    // Destroyed through OpenVG while the pbuffer holds it: freed with the pbuffer.
    vgDestroyImage(image);
    EXPECT_TRUE(lent->deleted);
    EXPECT_TRUE(eglDestroySurface(dpy, pbuffer));
    EXPECT_EQ(vg()->sharedState->numImage, 0);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

// ---- Pixels, moved through the acceleration layer on the GPU model ----

// One 16-bit pixel value of a test pattern at (x, y).
uint16_t patternA(int x, int y)
{
    return static_cast<uint16_t>(x * 37 + y * 101 + 5);
}

uint16_t patternB(int x, int y)
{
    return static_cast<uint16_t>(x * 13 + y * 71 + 0x4321);
}

class ImagePixels : public ImageTest {
protected:
    // The whole image as 16-bit client pixels of its own format.
    static std::vector<uint16_t> read16(VGImage image, VGImageFormat format, int w, int h)
    {
        std::vector<uint16_t> out(size_t(w) * h, 0xDEAD);
        vgGetImageSubData(image, out.data(), w * 2, format, 0, 0, w, h);
        return out;
    }
    // An image of w x h 16-bit pixels holding patternA.
    static VGImage patterned(VGImageFormat format, int w, int h)
    {
        const VGImage image = vgCreateImage(format, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
        std::vector<uint16_t> data(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                data[size_t(y) * w + x] = patternA(x, y);
        vgImageSubData(image, data.data(), w * 2, format, 0, 0, w, h);
        return image;
    }
};

struct Area {
    int x, y, w, h;
    bool holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

TEST_F(ImagePixels, SubDataRoundTripsMoveOnlyTheOverlap)
{
    constexpr int W = 24, H = 16;
    const Area areas[] = {
        {3, 2, 5, 4},     {-3, 2, 6, 4},  {20, 2, 8, 4},  {3, -2, 5, 5}, {3, 14, 5, 5},
        {-2, -2, 30, 20}, {0, 0, W, H},   {30, 0, 4, 4},  {0, -9, 4, 4},
    };
    for (VGImageFormat format : {VG_sRGB_565, VG_sABGR_4444}) {
        for (const Area& a : areas) {
            SCOPED_TRACE(::testing::Message() << std::hex << format << std::dec << " at " << a.x << "," << a.y
                                              << " " << a.w << "x" << a.h);
            const VGImage image = patterned(format, W, H);
            // Client rows three pixels longer than the area: the stride is the caller's.
            const int stride = (a.w + 3) * 2;
            std::vector<uint16_t> data(size_t(a.w + 3) * a.h, 0xBEEF);
            for (int j = 0; j < a.h; ++j)
                for (int i = 0; i < a.w; ++i)
                    data[size_t(j) * (a.w + 3) + i] = patternB(i, j);
            vgImageSubData(image, data.data(), stride, format, a.x, a.y, a.w, a.h);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);

            std::vector<uint16_t> expected(size_t(W) * H);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    expected[size_t(y) * W + x] = a.holds(x, y) ? patternB(x - a.x, y - a.y) : patternA(x, y);
            EXPECT_EQ(read16(image, format, W, H), expected);

            // Read back through the same hanging area: pixels outside the image stay as they were.
            std::vector<uint16_t> back(size_t(a.w + 3) * a.h, 0xBEEF);
            vgGetImageSubData(image, back.data(), stride, format, a.x, a.y, a.w, a.h);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            std::vector<uint16_t> expectedBack(back.size(), 0xBEEF);
            for (int j = 0; j < a.h; ++j)
                for (int i = 0; i < a.w; ++i) {
                    const int x = a.x + i, y = a.y + j;
                    if (x >= 0 && x < W && y >= 0 && y < H)
                        expectedBack[size_t(j) * (a.w + 3) + i] = expected[size_t(y) * W + x];
                }
            EXPECT_EQ(back, expectedBack);
            vgDestroyImage(image);
        }
    }
}

TEST_F(ImagePixels, EightBitChannelsRoundToFourBits)
{
    // Each channel c becomes the integer part of c / 255 x 15 + 0.5.
    const struct {
        uint32_t c, nibble;
    } levels[] = {{0, 0}, {8, 0}, {9, 1}, {25, 1}, {26, 2}, {0x77, 7}, {0x88, 8}, {0xFF, 15}};
    constexpr int n = sizeof levels / sizeof levels[0];
    std::vector<uint32_t> client(n);
    std::vector<uint16_t> expected(n);
    for (int k = 0; k < n; ++k) {
        const auto& r = levels[k];
        const auto& g = levels[(k + 1) % n];
        const auto& b = levels[(k + 2) % n];
        const auto& a = levels[(k + 3) % n];
        client[k] = r.c << 24 | g.c << 16 | b.c << 8 | a.c;
        expected[k] = static_cast<uint16_t>(a.nibble << 12 | b.nibble << 8 | g.nibble << 4 | r.nibble);
    }
    const VGImage image = vgCreateImage(VG_sABGR_4444, n, 1, VG_IMAGE_QUALITY_NONANTIALIASED);
    vgImageSubData(image, client.data(), n * 4, VG_sRGBA_8888, 0, 0, n, 1);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(read16(image, VG_sABGR_4444, n, 1), expected);
}

TEST_F(ImagePixels, WritesIntoAChildStayInsideItsWindow)
{
    constexpr int W = 16, H = 8;
    const Area window{4, 2, 6, 4};
    const VGImage parent = vgCreateImage(VG_sRGB_565, W, H, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage child = vgChildImage(parent, window.x, window.y, window.w, window.h);
    const std::vector<uint16_t> ones(12 * 8, 0xFFFF);
    vgImageSubData(child, ones.data(), 12 * 2, VG_sRGB_565, -2, -1, 12, 8);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    std::vector<uint16_t> expected(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            expected[size_t(y) * W + x] = window.holds(x, y) ? 0xFFFF : 0;
    EXPECT_EQ(read16(parent, VG_sRGB_565, W, H), expected);
    // The child reads its own window.
    EXPECT_EQ(read16(child, VG_sRGB_565, window.w, window.h), std::vector<uint16_t>(window.w * window.h, 0xFFFF));
}

TEST_F(ImagePixels, ClearingAChildLeavesItsSiblings)
{
    constexpr int W = 16, H = 8;
    const VGImage parent = patterned(VG_sRGB_565, W, H);
    const VGImage left = vgChildImage(parent, 0, 0, 8, 8);
    const VGImage right = vgChildImage(parent, 8, 0, 8, 8);
    const VGfloat red[4] = {1, 0, 0, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, red);
    vgClearImage(left, -5, -5, 100, 100);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    std::vector<uint16_t> expected(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            expected[size_t(y) * W + x] = x < 8 ? 0xF800 : patternA(x, y);
    EXPECT_EQ(read16(parent, VG_sRGB_565, W, H), expected);
    EXPECT_NE(right, VG_INVALID_HANDLE);
}

TEST_F(ImagePixels, CopiesBetweenOverlappingChildrenGoEitherWay)
{
    constexpr int W = 20, H = 8;
    const Area a{0, 0, 16, 6}, b{3, 2, 16, 6};
    for (bool forward : {true, false}) {
        SCOPED_TRACE(forward ? "into the later child" : "into the earlier child");
        const VGImage parent = patterned(VG_sRGB_565, W, H);
        const VGImage first = vgChildImage(parent, a.x, a.y, a.w, a.h);
        const VGImage second = vgChildImage(parent, b.x, b.y, b.w, b.h);
        const Area& dst = forward ? b : a;
        const Area& src = forward ? a : b;
        if (forward)
            vgCopyImage(second, 0, 0, first, 0, 0, 16, 6, VG_FALSE);
        else
            vgCopyImage(first, 0, 0, second, 0, 0, 16, 6, VG_FALSE);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        std::vector<uint16_t> expected(size_t(W) * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                expected[size_t(y) * W + x] =
                    dst.holds(x, y) ? patternA(x - dst.x + src.x, y - dst.y + src.y) : patternA(x, y);
        EXPECT_EQ(read16(parent, VG_sRGB_565, W, H), expected);
        vgDestroyImage(first);
        vgDestroyImage(second);
        vgDestroyImage(parent);
    }
}

TEST_F(ImagePixels, PixelEntryPointsCheckInOrder)
{
    alignas(8) static uint8_t data[64] = {};
    const VGImage image = image565();
    const VGImage lent = image565();
    VGFUNC_IncRenderTarget(record(lent));
    auto* block = static_cast<unsigned char*>(VGFUNC_ArenaAlloc(256));
    const VGImage vendor = vgCreateImageEXT(VG_EXT_YUV422, 4, 4, 1, block);
    const VGImageFormat unknown = static_cast<VGImageFormat>(67);
    const struct {
        const char* name;
        VGImage image;
        const void* data;
        VGImageFormat format;
        VGint w;
        VGErrorCode error;
    } table[] = {
        {"565 at an even address", image, data + 2, VG_sRGB_565, 2, VG_NO_ERROR},
        {"565 at an odd address", image, data + 1, VG_sRGB_565, 2, VG_ILLEGAL_ARGUMENT_ERROR},
        {"A_8 at an odd address", image, data + 1, VG_A_8, 2, VG_NO_ERROR},
        {"8888 at 2", image, data + 2, VG_sRGBA_8888, 2, VG_ILLEGAL_ARGUMENT_ERROR},
        {"no data", image, nullptr, VG_sRGB_565, 2, VG_ILLEGAL_ARGUMENT_ERROR},
        {"no width", image, data, VG_sRGB_565, 0, VG_ILLEGAL_ARGUMENT_ERROR},
        {"unknown format", image, nullptr, unknown, 0, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR},
        {"vendor format", image, data, VG_EXT_YUV422, 2, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR},
        {"render target", lent, nullptr, unknown, 0, VG_IMAGE_IN_USE_ERROR},
        {"vendor image: skipped", vendor, nullptr, unknown, 0, VG_NO_ERROR},
        {"no image", image + 16, data, VG_sRGB_565, 2, VG_BAD_HANDLE_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        vgImageSubData(row.image, row.data, 8, row.format, 0, 0, row.w, 2);
        EXPECT_EQ(vgGetError(), row.error);
        vgGetImageSubData(row.image, const_cast<void*>(row.data), 8, row.format, 0, 0, row.w, 2);
        EXPECT_EQ(vgGetError(), row.error);
    }

    const struct {
        const char* name;
        VGImage image, src;
        VGint w;
        VGErrorCode clear, copy;
    } moves[] = {
        {"good", image, image, 1, VG_NO_ERROR, VG_NO_ERROR},
        {"no width", image, image, 0, VG_ILLEGAL_ARGUMENT_ERROR, VG_ILLEGAL_ARGUMENT_ERROR},
        {"render target", lent, image, 0, VG_IMAGE_IN_USE_ERROR, VG_IMAGE_IN_USE_ERROR},
        {"render target source", image, lent, 0, VG_ILLEGAL_ARGUMENT_ERROR, VG_IMAGE_IN_USE_ERROR},
        {"vendor destination: skipped", vendor, image, 0, VG_NO_ERROR, VG_NO_ERROR},
        {"no source", vendor, image + 16, 1, VG_NO_ERROR, VG_BAD_HANDLE_ERROR},
        {"no destination", image + 16, image, 1, VG_BAD_HANDLE_ERROR, VG_BAD_HANDLE_ERROR},
    };
    for (const auto& row : moves) {
        SCOPED_TRACE(row.name);
        vgClearImage(row.image, 0, 0, row.w, 1);
        EXPECT_EQ(vgGetError(), row.clear);
        vgCopyImage(row.image, 0, 0, row.src, 0, 0, row.w, 1, VG_FALSE);
        EXPECT_EQ(vgGetError(), row.copy);
    }
    VGFUNC_DecRenderTarget(record(lent));
    vgDestroyImage(vendor);
    VGFUNC_ArenaFree(block);
}

}  // namespace
