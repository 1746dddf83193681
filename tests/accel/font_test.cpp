// Fonts: the glyph array's capacity and growth, glyphs replaced and cleared with the references
// they hold on paths and images, the entry points' check order, and the drawing checks. A
// context is made current through EGL so that images have buffers; under AddressSanitizer a
// path or image freed while a glyph still holds it fails the test.
#include <VG/openvg.h>

#include <cstdlib>
#include <vector>

#include "vg/common/vg_font.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_heap.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_path.h"
#include "vg/common/vg_share.h"
#include "vgsurfacefixture.h"

namespace {

const VGfloat kOrigin[2] = {1, 2};
const VGfloat kEscapement[2] = {10, 0};

class FontTest : public vnq::test::VgSurfaceTest {
protected:
    void SetUp() override
    {
        VgSurfaceTest::SetUp();
        makeCurrent(vnq::test::VgSurfaceSpec{});
    }
    static OVGshare* share() { return VGVAL_vgcurrentcontexthandle->sharedState; }
    static OVGfont* font(VGFont h) { return VGFUNC_FindFont(share(), h); }
    static VGPath newPath()
    {
        return vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
    }
    static OVGpath* path(VGPath h) { return VGFUNC_FindPath(share(), h); }
    static std::vector<VGuint> indices(VGFont h)
    {
        const OVGfont* f = font(h);
        std::vector<VGuint> v;
        for (VGint i = 0; i < f->numGlyphs; i++)
            v.push_back(f->glyphs[i].index);
        return v;
    }
};

TEST_F(FontTest, CapacityFollowsTheHintWithinItsBoundsAndGrowsBy128)
{
    const struct {
        VGint hint, capacity;
    } table[] = {{0, 128}, {200, 200}, {512, 512}, {1000, 512}};
    for (const auto& row : table) {
        const VGFont f = vgCreateFont(row.hint);
        ASSERT_NE(f, VG_INVALID_HANDLE);
        EXPECT_EQ(font(f)->numIndices, row.capacity) << row.hint;
    }
    EXPECT_EQ(vgCreateFont(-1), VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);

    const VGFont f = vgCreateFont(0);
    for (VGuint i = 0; i < 129; i++)
        vgSetGlyphToPath(f, i, VG_INVALID_HANDLE, VG_FALSE, kOrigin, kEscapement);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(font(f)->numIndices, 256);
    EXPECT_EQ(vgGetParameteri(f, VG_FONT_NUM_GLYPHS), 129);
    EXPECT_EQ(font(f)->glyphs[128].origin[1], 2);
}

TEST_F(FontTest, AGlyphArrayThatCannotGrowLeavesTheFontUnchanged)
{
    const VGFont f = vgCreateFont(0);
    for (VGuint i = 0; i < 128; i++)
        vgSetGlyphToPath(f, i, VG_INVALID_HANDLE, VG_FALSE, kOrigin, kEscapement);
    VGFUNC_SetHeapAllocator([](void*, size_t) -> void* { return nullptr; });
    vgSetGlyphToPath(f, 500, VG_INVALID_HANDLE, VG_FALSE, kOrigin, kEscapement);
    vgSetGlyphToPath(f, 5, VG_INVALID_HANDLE, VG_TRUE, kOrigin, kEscapement);  // a replacement needs no room
    VGFUNC_SetHeapAllocator(nullptr);
    EXPECT_EQ(vgGetError(), VG_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(font(f)->numGlyphs, 128);
    EXPECT_EQ(font(f)->numIndices, 128);
    EXPECT_EQ(VGFUNC_FindGlyph(font(f), 500), nullptr);
    EXPECT_EQ(VGFUNC_FindGlyph(font(f), 5)->isHinted, VG_TRUE);
}

TEST_F(FontTest, GlyphsHoldTheirPathsUntilReplacedClearedOrTheFontGoes)
{
    const VGFont f = vgCreateFont(0);
    const VGPath first = newPath(), second = newPath(), kept = newPath();
    OVGpath* keptRecord = path(kept);

    vgSetGlyphToPath(f, 7, first, VG_TRUE, kOrigin, kEscapement);
    vgSetGlyphToPath(f, 7, second, VG_FALSE, kOrigin, kEscapement);
    EXPECT_EQ(indices(f), (std::vector<VGuint>{7}));
    EXPECT_EQ(path(first)->refCount, 0);
    EXPECT_EQ(path(second)->refCount, 1);
    EXPECT_EQ(VGFUNC_FindGlyph(font(f), 7)->isHinted, VG_FALSE);

    vgSetGlyphToPath(f, 5, VG_INVALID_HANDLE, VG_FALSE, kOrigin, kEscapement);  // no outline, no reference
    vgSetGlyphToPath(f, 9, kept, VG_FALSE, kOrigin, kEscapement);
    EXPECT_EQ(indices(f), (std::vector<VGuint>{7, 5, 9}));
    vgClearGlyph(f, 7);  // the last glyph moves into the hole
    EXPECT_EQ(indices(f), (std::vector<VGuint>{9, 5}));
    EXPECT_EQ(path(second)->refCount, 0);
    EXPECT_EQ(vgGetParameteri(f, VG_FONT_NUM_GLYPHS), 2);
    vgClearGlyph(f, 7);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);

    vgDestroyPath(kept);  // the handle goes at once, the record stays with the glyph
    EXPECT_EQ(path(kept), nullptr);
    EXPECT_EQ(keptRecord->deleted, VG_TRUE);
    EXPECT_EQ(keptRecord->refCount, 1);
    vgDestroyFont(f);  // frees the path with it
    EXPECT_EQ(font(f), nullptr);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

// A glyph without object holds nothing: replacing, clearing and destroying it release only
// objects that are there.
TEST_F(FontTest, GlyphsWithoutObjectReleaseNothing)
{
    const VGFont f = vgCreateFont(0);
    const VGPath p = newPath();
    vgSetGlyphToPath(f, 3, VG_INVALID_HANDLE, VG_FALSE, kOrigin, kEscapement);
    vgSetGlyphToImage(f, 4, VG_INVALID_HANDLE, kOrigin, kEscapement);
    vgSetGlyphToImage(f, 5, VG_INVALID_HANDLE, kOrigin, kEscapement);
    vgSetGlyphToPath(f, 3, p, VG_FALSE, kOrigin, kEscapement);
    vgSetGlyphToPath(f, 4, p, VG_FALSE, kOrigin, kEscapement);
    EXPECT_EQ(path(p)->refCount, 2);
    vgClearGlyph(f, 3);
    vgSetGlyphToImage(f, 4, VG_INVALID_HANDLE, kOrigin, kEscapement);
    EXPECT_EQ(path(p)->refCount, 0);
    vgSetGlyphToPath(f, 6, VG_INVALID_HANDLE, VG_FALSE, kOrigin, kEscapement);
    vgClearGlyph(f, 6);
    vgDestroyFont(f);  // glyphs 4 and 5, image glyphs without object
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(FontTest, ImageGlyphsHoldTheirImagesAndRefuseRenderTargets)
{
    const VGFont f = vgCreateFont(0);
    const VGImage image = vgCreateImage(VG_sRGB_565, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    OVGimage* record = VGFUNC_FindImage(share(), image);
    const VGint before = record->refCount;

    vgSetGlyphToImage(f, 1, image, kOrigin, kEscapement);
    EXPECT_EQ(record->refCount, before + 1);
    EXPECT_EQ(VGFUNC_FindGlyph(font(f), 1)->type, OVG_GLYPH_IMAGE);
    vgDestroyImage(image);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgSetGlyphToPath(f, 1, VG_INVALID_HANDLE, VG_FALSE, kOrigin, kEscapement);  // lets the image go

    const VGImage target = vgCreateImage(VG_sRGB_565, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    VGFUNC_IncRenderTarget(VGFUNC_FindImage(share(), target));
    vgSetGlyphToImage(f, 2, target, kOrigin, kEscapement);
    EXPECT_EQ(vgGetError(), VG_IMAGE_IN_USE_ERROR);
    EXPECT_EQ(VGFUNC_FindGlyph(font(f), 2), nullptr);
    VGFUNC_DecRenderTarget(VGFUNC_FindImage(share(), target));
}

TEST_F(FontTest, EntryPointsCheckInOrder)
{
    const VGFont f = vgCreateFont(0);
    const VGPath p = newPath();
    const VGImage image = vgCreateImage(VG_sRGB_565, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    alignas(4) static VGfloat storage[4];
    const VGfloat* misaligned = reinterpret_cast<const VGfloat*>(reinterpret_cast<const char*>(storage) + 2);
    const VGuint some[2] = {1, 2};
    const struct {
        const char* what;
        void (*call)(VGFont, VGPath, VGImage, const VGfloat*, const VGuint*);
        VGErrorCode error;
    } table[] = {
        {"path glyph in no font", [](VGFont f, VGPath p, VGImage, const VGfloat*, const VGuint*) { vgSetGlyphToPath(f + 4, 0, p, VG_FALSE, nullptr, nullptr); }, VG_BAD_HANDLE_ERROR},
        {"a path that is none", [](VGFont f, VGPath p, VGImage, const VGfloat*, const VGuint*) { vgSetGlyphToPath(f, 0, p + 4, VG_FALSE, nullptr, nullptr); }, VG_BAD_HANDLE_ERROR},
        {"an image as the path", [](VGFont f, VGPath, VGImage i, const VGfloat*, const VGuint*) { vgSetGlyphToPath(f, 0, i, VG_FALSE, kOrigin, kEscapement); }, VG_BAD_HANDLE_ERROR},
        {"null origin", [](VGFont f, VGPath p, VGImage, const VGfloat*, const VGuint*) { vgSetGlyphToPath(f, 0, p, VG_FALSE, nullptr, kEscapement); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"misaligned escapement", [](VGFont f, VGPath, VGImage i, const VGfloat* m, const VGuint*) { vgSetGlyphToImage(f, 0, i, kOrigin, m); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"a path as the image", [](VGFont f, VGPath p, VGImage, const VGfloat*, const VGuint*) { vgSetGlyphToImage(f, 0, p, nullptr, nullptr); }, VG_BAD_HANDLE_ERROR},
        {"clear in no font", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgClearGlyph(f + 4, 0); }, VG_BAD_HANDLE_ERROR},
        {"draw with paint modes 4", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgDrawGlyph(f, 0, 4, VG_FALSE); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"draw no glyphs", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint* s) { vgDrawGlyphs(f, 0, s, nullptr, nullptr, VG_FILL_PATH, VG_FALSE); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"draw from null indices", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgDrawGlyphs(f, 1, nullptr, nullptr, nullptr, VG_FILL_PATH, VG_FALSE); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"draw with misaligned adjustments", [](VGFont f, VGPath, VGImage, const VGfloat* m, const VGuint* s) { vgDrawGlyphs(f, 2, s, nullptr, m, VG_FILL_PATH, VG_FALSE); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"draw glyphs in no font", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgDrawGlyphs(f + 4, 0, nullptr, nullptr, nullptr, 9, VG_FALSE); }, VG_BAD_HANDLE_ERROR},
        {"destroy no font", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgDestroyFont(f + 4); }, VG_BAD_HANDLE_ERROR},
        {"draw from misaligned indices", [](VGFont f, VGPath, VGImage, const VGfloat* m, const VGuint*) { vgDrawGlyphs(f, 1, reinterpret_cast<const VGuint*>(m), nullptr, nullptr, VG_FILL_PATH, VG_FALSE); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"draw glyphs the font does not hold", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint* s) { vgDrawGlyphs(f, 2, s, kOrigin, kOrigin, VG_FILL_PATH | VG_STROKE_PATH, VG_TRUE); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"set the glyph count", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgSetParameteri(f, VG_FONT_NUM_GLYPHS, 99); }, VG_NO_ERROR},
        {"set the glyph count as a float", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgSetParameterf(f, VG_FONT_NUM_GLYPHS, 99); }, VG_NO_ERROR},
        {"set another font parameter", [](VGFont f, VGPath, VGImage, const VGfloat*, const VGuint*) { vgSetParameteri(f, VG_PATH_FORMAT, 0); }, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        row.call(f, p, image, misaligned, some);
        EXPECT_EQ(vgGetError(), row.error) << row.what;
    }
    EXPECT_EQ(font(f)->numGlyphs, 0);
    EXPECT_EQ(vgGetParameterVectorSize(f, VG_FONT_NUM_GLYPHS), 1);

    vgnonzerosizedsurface = 0;  // drawing on an empty surface is silent, bad arguments are not
    vgDrawGlyph(f, 0, VG_FILL_PATH, VG_FALSE);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgDrawGlyphs(f, 0, some, nullptr, nullptr, VG_FILL_PATH, VG_FALSE);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    vgnonzerosizedsurface = 1;
}

}  // namespace
