// Paints: the defaults, the colour forms a paint keeps (as set, clamped, packed straight and
// premultiplied), the colour-ramp normalisation, the parameter counts and forms, values that
// have no integer (NaN, beyond the 32-bit range), and who holds a paint or its pattern.
// Records are known to be freed when the arena hands their block out again; under
// AddressSanitizer any read of a freed record fails the test.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_arena.h"
#include "vg/common/vg_color.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_paint.h"
#include "vg/common/vg_share.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

class PaintTest : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);
    VGPaint paint = 0;

    PaintTest()
    {
        VGVAL_vgcurrentcontexthandle = ctx;
        paint = vgCreatePaint();
    }
    ~PaintTest() override
    {
        VGVAL_vgcurrentcontexthandle = nullptr;
        VGFUNC_DeleteVGContext(ctx);
    }
    OVGpaint* record(VGPaint handle) const { return VGFUNC_FindPaint(ctx->sharedState, handle); }
    OVGpaint* record() const { return record(paint); }

    std::vector<float> getf(VGint param)
    {
        std::vector<float> v(static_cast<size_t>(vgGetParameterVectorSize(paint, param)));
        if (!v.empty())
            vgGetParameterfv(paint, param, static_cast<VGint>(v.size()), v.data());
        return v;
    }

    // The normalised ramp as (offset, packed colour) pairs.
    std::vector<std::pair<float, VGuint>> ramp() const
    {
        std::vector<std::pair<float, VGuint>> r;
        for (int i = 0; i < record()->realRampStops; ++i)
            r.emplace_back(record()->rampOffset[i], record()->rampColor[i]);
        return r;
    }
};

// A freed block is handed out again first: true when the record's block was freed last.
template <typename T>
bool freedLast(T* record)
{
    void* next = VGFUNC_ArenaAlloc(sizeof(T));
    const bool same = next == record;
    VGFUNC_ArenaFree(next);
    return same;
}

TEST_F(PaintTest, ANewPaintHasEveryDefault)
{
    ASSERT_NE(paint, VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetColor(paint), 0x000000FFu);
    const struct {
        VGint param;
        std::vector<float> values;
    } table[] = {
        {VG_PAINT_TYPE, {float(VG_PAINT_TYPE_COLOR)}},
        {VG_PAINT_COLOR, {0, 0, 0, 1}},
        {VG_PAINT_COLOR_RAMP_SPREAD_MODE, {float(VG_COLOR_RAMP_SPREAD_PAD)}},
        {VG_PAINT_COLOR_RAMP_STOPS, {}},
        {VG_PAINT_LINEAR_GRADIENT, {0, 0, 1, 0}},
        {VG_PAINT_RADIAL_GRADIENT, {0, 0, 0, 0, 1}},
        {VG_PAINT_PATTERN_TILING_MODE, {float(VG_TILE_FILL)}},
        {VG_PAINT_COLOR_RAMP_PREMULTIPLIED, {1}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.param);
        EXPECT_EQ(getf(row.param), row.values);
    }
    const OVGpaint* p = record();
    EXPECT_EQ(p->paintColorPkd, 0x000000FFu);
    EXPECT_EQ(p->paintColorPkdPre, 0x000000FFu);
    EXPECT_EQ(p->dirty, 0x7FF);
    EXPECT_EQ(p->refCount, 0);
    EXPECT_EQ(p->paintPattern, nullptr);
    EXPECT_NE(p->aldep, nullptr);
    EXPECT_EQ(ramp(), (std::vector<std::pair<float, VGuint>>{{0.0f, 0x000000FFu}, {1.0f, 0xFFFFFFFFu}}));
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(PaintTest, ColoursAreKeptAsSetClampedAndPacked)
{
    const struct {
        const char* name;
        bool packedCall;
        VGuint rgba;
        std::vector<float> set, asSet, clamped;
        VGuint packed, premultiplied;
    } table[] = {
        {"vgSetColor", true, 0xFF000080u, {}, {1, 0, 0, 128 / 255.0f}, {1, 0, 0, 128 / 255.0f}, 0xFF000080u,
         0x80000080u},
        {"out of range", false, 0, {2, -1, 0.5f, 1}, {2, -1, 0.5f, 1}, {1, 0, 0.5f, 1}, 0xFF0080FFu, 0xFF0080FFu},
        {"half alpha", false, 0, {1, 1, 1, 0.5f}, {1, 1, 1, 0.5f}, {1, 1, 1, 0.5f}, 0xFFFFFF80u, 0x80808080u},
        {"NaN packs as 0", false, 0, {kNaN, 1, kNaN, 1}, {}, {0, 1, 0, 1}, 0x00FF00FFu, 0x00FF00FFu},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        record()->dirty = 0;
        if (row.packedCall)
            vgSetColor(paint, row.rgba);
        else
            vgSetParameterfv(paint, VG_PAINT_COLOR, 4, row.set.data());
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        const OVGpaint* p = record();
        if (!row.asSet.empty()) {
            EXPECT_EQ(getf(VG_PAINT_COLOR), row.asSet);
        }
        EXPECT_EQ((std::vector<float>{p->paintColorClamp.r, p->paintColorClamp.g, p->paintColorClamp.b,
                                      p->paintColorClamp.a}),
                  row.clamped);
        EXPECT_EQ(p->paintColorPkd, row.packed);
        EXPECT_EQ(vgGetColor(paint), row.packed);
        EXPECT_EQ(p->paintColorPkdPre, row.premultiplied);
        EXPECT_EQ(p->dirty, OVG_PAINT_DIRTY_COLOR);
    }
}

TEST(ColourHelpers, PackAndPremultiplyLimitEveryComponent)
{
    const struct {
        OVGcolor c;
        VGuint packed, premultiplied;
    } table[] = {
        {{0, 0, 0, 0}, 0x00000000u, 0x00000000u},
        {{1, 0.5f, 0.25f, 1}, 0xFF8040FFu, 0xFF8040FFu},
        {{-3, 7, 1, -1}, 0x00FFFF00u, 0x00000000u},
        {{1, 1, 1, kNaN}, 0xFFFFFF00u, 0x00000000u},
        {{1e30f, -1e30f, kNaN, 0.2f}, 0xFF000033u, 0x33000033u},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.packed);
        EXPECT_EQ(VGFUNC_PackColor(&row.c), row.packed);
        EXPECT_EQ(VGFUNC_PackColorPre(&row.c), row.premultiplied);
    }
    OVGcolor c{}, pre{};
    VGFUNC_UnpackColor(&c, 0x336699CCu);
    EXPECT_FLOAT_EQ(c.r, 0x33 / 255.0f);
    EXPECT_FLOAT_EQ(c.g, 0x66 / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 0x99 / 255.0f);
    EXPECT_FLOAT_EQ(c.a, 0xCC / 255.0f);
    const OVGcolor wide = {2, 0.5f, -1, 0.5f};
    VGFUNC_Premultiplied(&pre, &wide);
    EXPECT_EQ((std::vector<float>{pre.r, pre.g, pre.b, pre.a}), (std::vector<float>{0.5f, 0.25f, 0, 0.5f}));
}

TEST_F(PaintTest, ColourRampsAreNormalisedIntoAtMost34Entries)
{
    using Ramp = std::vector<std::pair<float, VGuint>>;
    const VGuint red = 0xFF0000FFu, blue = 0x0000FFFFu, black = 0x000000FFu, white = 0xFFFFFFFFu;
    const Ramp byDefault = {{0.0f, black}, {1.0f, white}};
    const struct {
        const char* name;
        std::vector<float> stops;
        Ramp ramp;
    } table[] = {
        {"inside", {0.2f, 1, 0, 0, 1, 0.8f, 0, 0, 1, 1}, {{0, red}, {0.2f, red}, {0.8f, blue}, {1, blue}}},
        {"ends", {0, 1, 0, 0, 1, 1, 0, 0, 1, 1}, {{0, red}, {1, blue}}},
        {"wrong order", {0.5f, 1, 0, 0, 1, 0.3f, 0, 0, 1, 1}, byDefault},
        {"first outside", {1.5f, 1, 0, 0, 1, 0.5f, 0, 0, 1, 1}, {{0, blue}, {0.5f, blue}, {1, blue}}},
        {"none inside", {-0.5f, 1, 0, 0, 1, 1.5f, 0, 0, 1, 1}, byDefault},
        {"NaN offset skipped", {kNaN, 1, 0, 0, 1, 0.5f, 0, 0, 1, 1}, {{0, blue}, {0.5f, blue}, {1, blue}}},
        {"colours clamped", {0, 2, -1, 0, 1}, {{0, red}, {1, red}}},
        {"no stops", {}, byDefault},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        record()->dirty = 0;
        vgSetParameterfv(paint, VG_PAINT_COLOR_RAMP_STOPS, static_cast<VGint>(row.stops.size()),
                         row.stops.empty() ? nullptr : row.stops.data());
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        EXPECT_EQ(ramp(), row.ramp);
        EXPECT_EQ(record()->dirty, OVG_PAINT_DIRTY_RAMP_STOPS);
        EXPECT_EQ(record()->numRampStops, static_cast<VGint>(row.stops.size() / 5));
        if (row.stops.size() >= 5 && !std::isnan(row.stops[0])) {
            EXPECT_EQ(getf(VG_PAINT_COLOR_RAMP_STOPS), row.stops);  // as set, not normalised
        }
    }
}

TEST_F(PaintTest, RampStopsBeyond32AreDroppedAndCountsMustBeWholeStops)
{
    std::vector<float> stops;
    for (int i = 0; i < 33; ++i)
        stops.insert(stops.end(), {(i + 1) / 34.0f, 1, 1, 1, 1});
    vgSetParameterfv(paint, VG_PAINT_COLOR_RAMP_STOPS, 165, stops.data());
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(record()->numRampStops, 32);
    EXPECT_EQ(vgGetParameterVectorSize(paint, VG_PAINT_COLOR_RAMP_STOPS), 160);
    // 32 stops inside (0, 1): an entry at 0 before them and one at 1 after them.
    EXPECT_EQ(record()->realRampStops, 34);
    EXPECT_EQ(record()->rampOffset[0], 0.0f);
    EXPECT_EQ(record()->rampOffset[33], 1.0f);

    record()->dirty = 0;
    vgSetParameterfv(paint, VG_PAINT_COLOR_RAMP_STOPS, 7, stops.data());
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(record()->numRampStops, 32);
    EXPECT_EQ(record()->dirty, 0);
}

TEST_F(PaintTest, SettersCheckCountsRangesAndMarkEveryAcceptedSet)
{
    const float nan = kNaN;
    const struct {
        VGint param;
        std::vector<float> values;
        VGErrorCode error;
        VGint dirty;
    } table[] = {
        {VG_PAINT_TYPE, {float(VG_PAINT_TYPE_PATTERN)}, VG_NO_ERROR, OVG_PAINT_DIRTY_TYPE},
        {VG_PAINT_TYPE, {float(VG_PAINT_TYPE_PATTERN) + 1}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_TYPE, {nan}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_TYPE, {1e20f}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_TYPE, {-1e20f}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_TYPE, {float(VG_PAINT_TYPE_COLOR), 0}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_COLOR_RAMP_SPREAD_MODE, {float(VG_COLOR_RAMP_SPREAD_REFLECT) + 0.9f}, VG_NO_ERROR,
         OVG_PAINT_DIRTY_SPREAD_MODE},
        {VG_PAINT_COLOR_RAMP_SPREAD_MODE, {nan}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_PATTERN_TILING_MODE, {float(VG_TILE_REFLECT)}, VG_NO_ERROR, OVG_PAINT_DIRTY_TILING_MODE},
        {VG_PAINT_PATTERN_TILING_MODE, {float(VG_TILE_FILL) - 1}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_COLOR_RAMP_PREMULTIPLIED, {0}, VG_NO_ERROR, OVG_PAINT_DIRTY_RAMP_PREMULTIPLIED},
        {VG_PAINT_COLOR_RAMP_PREMULTIPLIED, {nan}, VG_NO_ERROR, OVG_PAINT_DIRTY_RAMP_PREMULTIPLIED},
        {VG_PAINT_COLOR, {1, 1, 1}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_LINEAR_GRADIENT, {1, 2, 3, 4}, VG_NO_ERROR, OVG_PAINT_DIRTY_LINEAR_GRADIENT},
        {VG_PAINT_LINEAR_GRADIENT, {1, 2, 3, 4, 5}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
        {VG_PAINT_RADIAL_GRADIENT, {1, 2, 3, 4, -5}, VG_NO_ERROR, OVG_PAINT_DIRTY_RADIAL_GRADIENT},
        {VG_PAINT_RADIAL_GRADIENT, {1, 2, 3, 4}, VG_ILLEGAL_ARGUMENT_ERROR, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.param << " " << row.values[0]);
        record()->dirty = 0;
        const std::vector<float> before = getf(row.param);
        vgSetParameterfv(paint, row.param, static_cast<VGint>(row.values.size()), row.values.data());
        EXPECT_EQ(vgGetError(), row.error);
        EXPECT_EQ(record()->dirty, row.dirty);
        if (row.error != VG_NO_ERROR) {
            EXPECT_EQ(getf(row.param), before);
        }
    }
    vgSetParameterf(paint, 0x1A08, 0);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    // The same value again is stored and marked again.
    record()->dirty = 0;
    vgSetParameteri(paint, VG_PAINT_PATTERN_TILING_MODE, VG_TILE_REFLECT);
    EXPECT_EQ(record()->dirty, OVG_PAINT_DIRTY_TILING_MODE);
    vgSetParameteri(paint, VG_PAINT_COLOR_RAMP_PREMULTIPLIED, 7);
    EXPECT_EQ(vgGetParameteri(paint, VG_PAINT_COLOR_RAMP_PREMULTIPLIED), 1);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(PaintTest, GettersAnswerUpToTheCountTheParameterHas)
{
    const float stops[10] = {0, 1, 0, 0, 1, 1, 0, 0, 1, 1};
    vgSetParameterfv(paint, VG_PAINT_COLOR_RAMP_STOPS, 10, stops);
    VGint out[12];
    const struct {
        VGint param;
        VGint size;  // vgGetParameterVectorSize
    } table[] = {
        {VG_PAINT_TYPE, 1},           {VG_PAINT_COLOR, 4},
        {VG_PAINT_COLOR_RAMP_SPREAD_MODE, 1}, {VG_PAINT_COLOR_RAMP_STOPS, 10},
        {VG_PAINT_LINEAR_GRADIENT, 4}, {VG_PAINT_RADIAL_GRADIENT, 5},
        {VG_PAINT_PATTERN_TILING_MODE, 1}, {VG_PAINT_COLOR_RAMP_PREMULTIPLIED, 1},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.param);
        EXPECT_EQ(vgGetParameterVectorSize(paint, row.param), row.size);
        vgGetParameteriv(paint, row.param, row.size, out);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        vgGetParameteriv(paint, row.param, row.size + 1, out);
        EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
        // The single-value getters answer the single-valued parameters only.
        vgGetParameteri(paint, row.param);
        EXPECT_EQ(vgGetError(), row.size == 1 ? VG_NO_ERROR : VG_ILLEGAL_ARGUMENT_ERROR);
    }
    EXPECT_EQ(vgGetParameterVectorSize(paint, 0x1A08), 0);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
}

TEST_F(PaintTest, TheIntegerGetterRoundsDownAndSaturates)
{
    const float gradient[4] = {-1.5f, kNaN, 3e9f, -3e9f};
    vgSetParameterfv(paint, VG_PAINT_LINEAR_GRADIENT, 4, gradient);
    VGint out[4] = {7, 7, 7, 7};
    vgGetParameteriv(paint, VG_PAINT_LINEAR_GRADIENT, 4, out);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(out[0], -2);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], std::numeric_limits<VGint>::max());
    EXPECT_EQ(out[3], std::numeric_limits<VGint>::min());
    // Integers set a float parameter as they are.
    const VGint colour[4] = {1, 0, 3, -2};
    vgSetParameteriv(paint, VG_PAINT_COLOR, 4, colour);
    EXPECT_EQ(getf(VG_PAINT_COLOR), (std::vector<float>{1, 0, 3, -2}));
    EXPECT_EQ(record()->paintColorPkd, 0xFF00FF00u);
}

TEST_F(PaintTest, FixedPointFormsTakeTheFourFloatParametersOnly)
{
    const VGfixed half = 0x8000, one = 0x10000;
    const struct {
        VGint param;
        std::vector<VGfixed> values;
        VGErrorCode error;
    } table[] = {
        {VG_PAINT_COLOR, {one, half, 0, one}, VG_NO_ERROR},
        {VG_PAINT_COLOR_RAMP_STOPS, {half, one, 0, 0, one}, VG_NO_ERROR},
        {VG_PAINT_LINEAR_GRADIENT, {0, half, one, 2 * one}, VG_NO_ERROR},
        {VG_PAINT_RADIAL_GRADIENT, {0, half, one, 2 * one, 3 * one}, VG_NO_ERROR},
        {VG_PAINT_TYPE, {VG_PAINT_TYPE_COLOR}, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_PAINT_COLOR_RAMP_SPREAD_MODE, {VG_COLOR_RAMP_SPREAD_PAD}, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_PAINT_PATTERN_TILING_MODE, {VG_TILE_FILL}, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_PAINT_COLOR_RAMP_PREMULTIPLIED, {1}, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.param);
        const VGint n = static_cast<VGint>(row.values.size());
        vgSetParameterxvEXT(paint, row.param, n, row.values.data());
        EXPECT_EQ(vgGetError(), row.error);
        std::vector<VGfixed> back(row.values.size(), -1);
        vgGetParameterxvEXT(paint, row.param, n, back.data());
        EXPECT_EQ(vgGetError(), row.error);
        if (row.error == VG_NO_ERROR) {
            EXPECT_EQ(back, row.values);
        }
    }
    EXPECT_EQ(record()->paintColorPkd, 0xFF8000FFu);
}

TEST_F(PaintTest, EntryPointsCheckHandlesAndModes)
{
    const VGPaint stranger = paint + 16;
    vgSetColor(stranger, 0);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    EXPECT_EQ(vgGetColor(stranger), 0u);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    vgDestroyPaint(stranger);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    vgSetPaint(stranger, VG_FILL_PATH);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    vgSetPaint(stranger, 0);  // the handle is checked before the modes
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    for (VGbitfield modes : {0u, 4u, 7u}) {
        vgSetPaint(paint, modes);
        EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    }
    for (VGint mode : {0, 3}) {
        EXPECT_EQ(vgGetPaint(static_cast<VGPaintMode>(mode)), VG_INVALID_HANDLE);
        EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    }
    vgPaintPattern(paint, stranger);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    // Setting the paint already current in the one mode named does nothing, whatever it is.
    vgSetPaint(0, VG_FILL_PATH);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);

    VGVAL_vgcurrentcontexthandle = nullptr;
    EXPECT_EQ(vgCreatePaint(), VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetColor(paint), 0u);
    vgSetPaint(paint, VG_FILL_PATH);
    EXPECT_EQ(vgGetPaint(VG_FILL_PATH), VG_INVALID_HANDLE);
    VGVAL_vgcurrentcontexthandle = ctx;
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(record()->refCount, 0);
}

TEST_F(PaintTest, EachModeHoldsThePaintOnce)
{
    vgSetPaint(paint, VG_FILL_PATH);
    vgSetPaint(paint, VG_FILL_PATH);
    EXPECT_EQ(record()->refCount, 1);
    EXPECT_EQ(vgGetPaint(VG_FILL_PATH), paint);
    EXPECT_EQ(vgGetPaint(VG_STROKE_PATH), VG_INVALID_HANDLE);
    vgSetPaint(paint, VG_FILL_PATH | VG_STROKE_PATH);
    EXPECT_EQ(record()->refCount, 2);
    vgSetPaint(0, VG_FILL_PATH | VG_STROKE_PATH);
    EXPECT_EQ(record()->refCount, 0);

    const VGPaint other = vgCreatePaint();
    vgSetPaint(other, VG_FILL_PATH | VG_STROKE_PATH);
    EXPECT_EQ(record(other)->refCount, 2);
    EXPECT_EQ(vgGetPaint(VG_STROKE_PATH), other);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(PaintTest, APaintDestroyedWhileSetStaysInUseUntilReplaced)
{
    vgSetColor(paint, 0x11223344u);
    vgSetPaint(paint, VG_FILL_PATH);
    OVGpaint* held = record();
    vgDestroyPaint(paint);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(record(), nullptr);  // no longer a handle
    vgSetColor(paint, 0);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    // Still the paint drawing uses.
    EXPECT_EQ(VGFUNC_GetPaint(ctx, VG_FILL_PATH), held);
    EXPECT_TRUE(held->deleted);
    EXPECT_EQ(held->paintColorPkd, 0x11223344u);

    const VGPaint next = vgCreatePaint();
    vgSetPaint(next, VG_FILL_PATH);
    EXPECT_TRUE(freedLast(held));
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(PaintTest, APatternDestroyedWhileSetLivesUntilThePatternGoes)
{
    auto* image = static_cast<OVGimage*>(VGFUNC_ArenaAlloc(sizeof(OVGimage)));
    VGFUNC_AddImage(ctx->sharedState, image);
    const VGImage handle = VGFUNC_HandleOf(image);
    record()->dirty = 0;
    vgPaintPattern(paint, handle);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(record()->paintPattern, image);
    EXPECT_EQ(image->refCount, 1);
    EXPECT_EQ(record()->dirty, OVG_PAINT_DIRTY_PATTERN);
    vgPaintPattern(paint, handle);  // the same pattern again is held once
    EXPECT_EQ(image->refCount, 1);

    // Destroyed as vgDestroyImage does: out of the table, deleted while held.
    VGFUNC_RemoveImage(ctx->sharedState, image);
    VGFUNC_DeleteImage(image);
    EXPECT_TRUE(image->deleted);
    EXPECT_EQ(record()->paintPattern, image);
    vgPaintPattern(paint, 0);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(record()->paintPattern, nullptr);
    EXPECT_TRUE(freedLast(image));
}

TEST_F(PaintTest, ARenderTargetCannotBeAPattern)
{
    auto* image = static_cast<OVGimage*>(VGFUNC_ArenaAlloc(sizeof(OVGimage)));
    VGFUNC_AddImage(ctx->sharedState, image);
    VGFUNC_IncRenderTarget(image);
    vgPaintPattern(paint, VGFUNC_HandleOf(image));
    EXPECT_EQ(vgGetError(), VG_IMAGE_IN_USE_ERROR);
    EXPECT_EQ(record()->paintPattern, nullptr);
    EXPECT_EQ(image->refCount, 1);
    VGFUNC_DecRenderTarget(image);
}

TEST_F(PaintTest, ThePatternGoesWithItsPaint)
{
    auto* image = static_cast<OVGimage*>(VGFUNC_ArenaAlloc(sizeof(OVGimage)));
    VGFUNC_AddImage(ctx->sharedState, image);
    vgPaintPattern(paint, VGFUNC_HandleOf(image));
    VGFUNC_RemoveImage(ctx->sharedState, image);
    VGFUNC_DeleteImage(image);
    vgDestroyPaint(paint);
    EXPECT_TRUE(freedLast(image));
}

}  // namespace
