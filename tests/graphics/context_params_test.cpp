// Context parameters through the OpenVG entry points: defaults, validation, dirty bits,
// conversions, fixed-point and vendor forms, and the first-error rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"

namespace {

constexpr VGint kIllegal = VG_ILLEGAL_ARGUMENT_ERROR;

class ContextParams : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);

    ContextParams() { VGVAL_vgcurrentcontexthandle = ctx; }
    ~ContextParams() override
    {
        VGVAL_vgcurrentcontexthandle = nullptr;
        VGFUNC_DeleteVGContext(ctx);
    }

    std::vector<VGfloat> getfv(VGParamType type)
    {
        std::vector<VGfloat> v(static_cast<size_t>(vgGetVectorSize(type)));
        if (!v.empty())
            vgGetfv(type, static_cast<VGint>(v.size()), v.data());
        return v;
    }
};

TEST_F(ContextParams, EveryDefaultReadsBack)
{
    const float maxFloat = std::numeric_limits<float>::max();
    const struct {
        VGParamType type;
        std::vector<VGfloat> values;
    } table[] = {
        {VG_MATRIX_MODE, {0x1400}},
        {VG_FILL_RULE, {0x1900}},
        {VG_IMAGE_QUALITY, {2}},
        {VG_RENDERING_QUALITY, {0x1202}},
        {VG_BLEND_MODE, {0x2001}},
        {VG_IMAGE_MODE, {0x1F00}},
        {VG_SCISSOR_RECTS, {}},
        {VG_STROKE_LINE_WIDTH, {1}},
        {VG_STROKE_CAP_STYLE, {0x1700}},
        {VG_STROKE_JOIN_STYLE, {0x1800}},
        {VG_STROKE_MITER_LIMIT, {4}},
        {VG_STROKE_DASH_PATTERN, {}},
        {VG_STROKE_DASH_PHASE, {0}},
        {VG_STROKE_DASH_PHASE_RESET, {0}},
        {VG_TILE_FILL_COLOR, {0, 0, 0, 0}},
        {VG_CLEAR_COLOR, {0, 0, 0, 0}},
        {VG_GLYPH_ORIGIN, {0, 0}},
        {VG_MASKING, {0}},
        {VG_SCISSORING, {0}},
        {VG_PIXEL_LAYOUT, {0x1300}},
        {VG_SCREEN_LAYOUT, {0x1300}},
        {VG_FILTER_FORMAT_LINEAR, {0}},
        {VG_FILTER_FORMAT_PREMULTIPLIED, {0}},
        {VG_FILTER_CHANNEL_MASK, {15}},
        {VG_COLOR_TRANSFORM, {0}},
        {VG_COLOR_TRANSFORM_VALUES, {1, 1, 1, 1, 0, 0, 0, 0}},
        {VG_MAX_SCISSOR_RECTS, {32}},
        {VG_MAX_DASH_COUNT, {16}},
        {VG_MAX_KERNEL_SIZE, {15}},
        {VG_MAX_SEPARABLE_KERNEL_SIZE, {15}},
        {VG_MAX_COLOR_RAMP_STOPS, {32}},
        {VG_MAX_IMAGE_WIDTH, {8192}},
        {VG_MAX_IMAGE_HEIGHT, {8192}},
        {VG_MAX_IMAGE_PIXELS, {67108864.0f}},
        {VG_MAX_IMAGE_BYTES, {268435456.0f}},
        {VG_MAX_FLOAT, {maxFloat}},
        {VG_MAX_GAUSSIAN_STD_DEVIATION, {16}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.type);
        EXPECT_EQ(getfv(row.type), row.values);
        if (row.values.size() == 1) {
            EXPECT_EQ(vgGetf(row.type), row.values[0]);
            const VGint asInt = row.type == VG_MAX_FLOAT ? 0x7FFFFFFF : static_cast<VGint>(row.values[0]);
            EXPECT_EQ(vgGeti(row.type), asInt);
        }
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    }
    EXPECT_EQ(ctx->dirty, -1);
    EXPECT_EQ(ctx->currentMtx, &ctx->pathUserToSurface);
    EXPECT_EQ(ctx->blendUnitEXT, 0x40005100u);
    EXPECT_EQ(ctx->blendFuncEXT[1], 0x40005300u);
}

TEST_F(ContextParams, EachSetMarksItsDirtyBitAndEnumeratedValuesOnlyWhenChanged)
{
    const VGfloat four[8] = {0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0};
    const struct {
        VGParamType type;
        VGint count;
        VGfloat value;  // a valid value other than the default (vectors: `four`)
        VGuint bit;
        bool onlyWhenChanged;
    } table[] = {
        {VG_IMAGE_QUALITY, 1, 4, 0x1, true},
        {VG_RENDERING_QUALITY, 1, 0x1200, 0x2, true},
        {VG_BLEND_MODE, 1, 0x2003, 0x4, true},
        {VG_IMAGE_MODE, 1, 0x1F01, 0x8, true},
        {VG_SCISSOR_RECTS, 4, 0, 0x10, false},
        {VG_SCISSORING, 1, 1, 0x10, true},
        {VG_TILE_FILL_COLOR, 4, 0, 0x20, false},
        {VG_CLEAR_COLOR, 4, 0, 0x40, false},
        {VG_MASKING, 1, 1, 0x80, true},
        {VG_FILL_RULE, 1, 0x1901, 0x100, true},
        {VG_FILTER_FORMAT_LINEAR, 1, 1, 0x200, true},
        {VG_FILTER_FORMAT_PREMULTIPLIED, 1, 1, 0x400, true},
        {VG_FILTER_CHANNEL_MASK, 1, 3, 0x800, true},
        {VG_COLOR_TRANSFORM, 1, 1, 0x1000, true},
        {VG_COLOR_TRANSFORM_VALUES, 8, 0, 0x1000, false},
        {VG_GLYPH_ORIGIN, 2, 0, 0x2000, false},
        {VG_STROKE_LINE_WIDTH, 1, 2, 0x4000, false},
        {VG_STROKE_CAP_STYLE, 1, 0x1701, 0x8000, true},
        {VG_STROKE_JOIN_STYLE, 1, 0x1802, 0x10000, true},
        {VG_STROKE_MITER_LIMIT, 1, 8, 0x20000, false},
        {VG_STROKE_DASH_PHASE, 1, 1, 0x40000, false},
        {VG_STROKE_DASH_PHASE_RESET, 1, 1, 0x80000, true},
        {VG_STROKE_DASH_PATTERN, 2, 0, 0x100000, false},
        {VG_MATRIX_MODE, 1, 0x1402, 0, true},
        {VG_PIXEL_LAYOUT, 1, 0x1301, 0, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.type);
        for (int round = 0; round < 2; ++round) {
            ctx->dirty = 0;
            if (row.count == 1)
                vgSetf(row.type, row.value);
            else
                vgSetfv(row.type, row.count, four);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            const VGuint expected = round == 1 && row.onlyWhenChanged ? 0u : row.bit;
            EXPECT_EQ(static_cast<VGuint>(ctx->dirty), expected) << "round " << round;
        }
    }
}

TEST_F(ContextParams, RejectedValuesGiveIllegalArgumentAndChangeNothing)
{
    const VGfloat six[6] = {};
    const struct {
        VGParamType type;
        VGint count;
        VGint value;
    } table[] = {
        {VG_IMAGE_QUALITY, 1, 3}, {VG_IMAGE_QUALITY, 1, 0},     {VG_FILL_RULE, 1, 0x1902},
        {VG_BLEND_MODE, 1, 0x200A}, {VG_IMAGE_MODE, 1, 0x1F03}, {VG_RENDERING_QUALITY, 1, 0x1203},
        {VG_STROKE_CAP_STYLE, 1, 0x1703}, {VG_STROKE_JOIN_STYLE, 1, 0x17FF}, {VG_MATRIX_MODE, 1, 0x1405},
        {VG_PIXEL_LAYOUT, 1, 0x1305}, {VG_SCISSOR_RECTS, 6, 0}, {VG_TILE_FILL_COLOR, 3, 0},
        {VG_CLEAR_COLOR, 5, 0},    {VG_GLYPH_ORIGIN, 1, 0},      {VG_COLOR_TRANSFORM_VALUES, 7, 0},
        {VG_FILL_RULE, 2, 0x1901}, {static_cast<VGParamType>(0x10FF), 1, 0},
        {static_cast<VGParamType>(0x1107), 1, 0}, {static_cast<VGParamType>(0x1172), 1, 0},
        {VG_EXT_BLEND_UNIT, 1, 0x40005101},
    };
    const OVGcontext before = *ctx;
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.type << " x" << row.count << " = " << row.value);
        if (row.count == 1) {
            vgSeti(row.type, row.value);
        } else {
            const VGint ints[8] = {row.value};
            vgSetiv(row.type, row.count, row.type == VG_SCISSOR_RECTS ? reinterpret_cast<const VGint*>(six) : ints);
        }
        EXPECT_EQ(vgGetError(), kIllegal);
    }
    EXPECT_EQ(std::memcmp(&before, ctx, sizeof before), 0);
}

TEST_F(ContextParams, ScissorRectanglesAreCutAtThirtyTwoAndZeroClearsThem)
{
    std::vector<VGint> values(132);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<VGint>(i);
    vgSetiv(VG_SCISSOR_RECTS, 132, values.data());
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(ctx->numScissorRects, 32);
    EXPECT_EQ(vgGetVectorSize(VG_SCISSOR_RECTS), 128);
    EXPECT_EQ(ctx->scissorRects[31].height, 127);
    ctx->dirty = 0;
    vgSetiv(VG_SCISSOR_RECTS, 0, nullptr);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(ctx->numScissorRects, 0);
    EXPECT_EQ(ctx->dirty, 0x10);
}

TEST_F(ContextParams, FloatsBecomeIntegersByTruncationAndScissorValuesByFloor)
{
    vgSetf(VG_BLEND_MODE, 8193.9f);
    EXPECT_EQ(ctx->blendMode, 0x2001);
    const VGfloat rect[4] = {-0.5f, 1.5f, 2.9f, -3.1f};
    vgSetfv(VG_SCISSOR_RECTS, 4, rect);
    EXPECT_EQ(ctx->scissorRects[0].x, -1);
    EXPECT_EQ(ctx->scissorRects[0].y, 1);
    EXPECT_EQ(ctx->scissorRects[0].width, 2);
    EXPECT_EQ(ctx->scissorRects[0].height, -4);
    vgSetf(VG_STROKE_LINE_WIDTH, 2.7f);
    EXPECT_EQ(vgGeti(VG_STROKE_LINE_WIDTH), 2);
    vgSetf(VG_STROKE_LINE_WIDTH, -0.5f);
    EXPECT_EQ(vgGeti(VG_STROKE_LINE_WIDTH), -1);
    vgSeti(VG_STROKE_MITER_LIMIT, -3);  // no range check
    EXPECT_EQ(vgGetf(VG_STROKE_MITER_LIMIT), -3.0f);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(ContextParams, ConversionsSaturateAndTakeNaNAsZero)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const VGint max = 2147483647, min = -max - 1;
    const struct {
        VGfloat value;
        VGint expected;
    } table[] = {{nan, 0}, {inf, max}, {-inf, min}, {1e20f, max}, {-1e20f, min}, {2147483520.0f, 2147483520}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.value);
        vgSetf(VG_FILTER_CHANNEL_MASK, row.value);  // integer parameter through the float setter
        EXPECT_EQ(static_cast<VGint>(ctx->filterChannelMask), row.expected);
        const VGfloat rect[4] = {row.value, row.value, row.value, row.value};
        vgSetfv(VG_SCISSOR_RECTS, 4, rect);  // rounded down
        EXPECT_EQ(ctx->scissorRects[0].x, row.expected);
        vgSetf(VG_STROKE_LINE_WIDTH, row.value);  // float parameter through the integer getter
        EXPECT_EQ(vgGeti(VG_STROKE_LINE_WIDTH), row.expected);
        vgSetf(VG_STROKE_DASH_PHASE_RESET, row.value);
        EXPECT_EQ(ctx->strokeDashPhaseReset, row.expected != 0 ? VG_TRUE : VG_FALSE);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    }
    const VGfloat colour[4] = {nan, inf, -inf, 0.25f};
    vgSetfv(VG_CLEAR_COLOR, 4, colour);
    EXPECT_EQ(ctx->clearColorClamp.r, 0.0f);
    EXPECT_EQ(ctx->clearColorClamp.g, 1.0f);
    EXPECT_EQ(ctx->clearColorClamp.b, 0.0f);
    EXPECT_EQ(ctx->clearColorClamp.a, 0.25f);
}

TEST_F(ContextParams, DashPatternKeepsSixteenValuesAndAnEvenSafePrefix)
{
    const VGfloat three[3] = {2, -1, 5};
    vgSetfv(VG_STROKE_DASH_PATTERN, 3, three);
    EXPECT_EQ(ctx->numDashCount, 3);
    EXPECT_EQ(ctx->dashSafePattern[0], 2.0f);
    EXPECT_EQ(ctx->dashSafePattern[1], 0.0f);
    EXPECT_EQ(ctx->strokeDashLength, 2.0f);
    EXPECT_EQ(getfv(VG_STROKE_DASH_PATTERN), std::vector<VGfloat>({2, -1, 5}));

    std::vector<VGfloat> forty(40);
    for (size_t i = 0; i < forty.size(); ++i)
        forty[i] = static_cast<VGfloat>(i + 1);
    vgSetfv(VG_STROKE_DASH_PATTERN, 40, forty.data());
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(getfv(VG_STROKE_DASH_PATTERN), std::vector<VGfloat>(forty.begin(), forty.begin() + 16));
    EXPECT_EQ(ctx->strokeDashLength, 136.0f);
    EXPECT_EQ(vgGeti(VG_MAX_DASH_COUNT), 16);
    VGfloat more[17];
    vgGetfv(VG_STROKE_DASH_PATTERN, 17, more);
    EXPECT_EQ(vgGetError(), kIllegal);

    vgSetfv(VG_STROKE_DASH_PATTERN, 0, nullptr);
    EXPECT_EQ(vgGetVectorSize(VG_STROKE_DASH_PATTERN), 0);
    EXPECT_EQ(ctx->strokeDashLength, 0.0f);
}

// Dashes and gaps too long for any path (infinite ones, or sixteen of the largest float) are
// used bounded, so that the pattern's length stays finite for the stroke set-up; a NaN is no
// dash. The pattern reads back as it was set.
TEST_F(ContextParams, DashValuesBeyondAnyLengthAreUsedBounded)
{
    const VGfloat inf = std::numeric_limits<VGfloat>::infinity(), big = std::numeric_limits<VGfloat>::max();
    const VGfloat nan = std::numeric_limits<VGfloat>::quiet_NaN();
    const struct {
        std::vector<VGfloat> pattern;
        std::vector<bool> bounded;  // which safe values are the bound; the others are as set
    } table[] = {
        {{inf, 5}, {true, false}},
        {{5, inf}, {false, true}},
        {{nan, 5, big, 2}, {false, false, true, false}},
        {std::vector<VGfloat>(16, big), std::vector<bool>(16, true)},
        {std::vector<VGfloat>(16, inf), std::vector<bool>(16, true)},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.pattern.size());
        vgSetfv(VG_STROKE_DASH_PATTERN, VGint(row.pattern.size()), row.pattern.data());
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        VGfloat bound = 0;
        for (size_t i = 0; i < row.pattern.size(); ++i)
            bound = std::max(bound, ctx->dashSafePattern[i]);
        EXPECT_TRUE(std::isfinite(bound));
        EXPECT_GE(bound, big / 64);
        for (size_t i = 0; i < row.pattern.size(); ++i) {
            const VGfloat v = row.pattern[i];
            EXPECT_EQ(ctx->dashSafePattern[i], row.bounded[i] ? bound : std::isnan(v) ? 0.0f : v) << i;
        }
        EXPECT_TRUE(std::isfinite(ctx->strokeDashLength));
        EXPECT_GT(ctx->strokeDashLength, 0.0f);
        const std::vector<VGfloat> back = getfv(VG_STROKE_DASH_PATTERN);
        ASSERT_EQ(back.size(), row.pattern.size());
        for (size_t i = 0; i < back.size(); ++i)
            EXPECT_TRUE(back[i] == row.pattern[i] || (std::isnan(back[i]) && std::isnan(row.pattern[i]))) << i;
    }
}

TEST_F(ContextParams, ReadOnlyParametersIgnoreSets)
{
    vgSeti(VG_MAX_IMAGE_WIDTH, 5);
    vgSeti(VG_SCREEN_LAYOUT, 0x1301);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(vgGeti(VG_MAX_IMAGE_WIDTH), 8192);
    EXPECT_EQ(vgGeti(VG_SCREEN_LAYOUT), 0x1300);
}

TEST_F(ContextParams, GettersCheckTheCountAgainstTheParameter)
{
    const VGfloat colour[4] = {2, -1, 0, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, colour);
    EXPECT_EQ(vgGeti(VG_CLEAR_COLOR), 0);  // a vector through the scalar getter
    EXPECT_EQ(vgGetError(), kIllegal);
    VGfloat two[2] = {};
    vgGetfv(VG_CLEAR_COLOR, 2, two);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(two[0], 2.0f);  // as set, not clamped
    EXPECT_EQ(two[1], -1.0f);
    VGint ints[2];
    vgGetiv(VG_FILL_RULE, 2, ints);
    EXPECT_EQ(vgGetError(), kIllegal);
    EXPECT_EQ(vgGetVectorSize(static_cast<VGParamType>(0x1172)), 0);
    EXPECT_EQ(vgGetError(), kIllegal);
    EXPECT_EQ(vgGetVectorSize(VG_EXT_BLEND_UNIT), 0);  // no getter for vendor parameters
    EXPECT_EQ(vgGetError(), kIllegal);
}

TEST_F(ContextParams, VectorEntryPointsCheckTheirPointersAndCounts)
{
    alignas(4) unsigned char raw[40] = {};
    const auto* misaligned = reinterpret_cast<const VGfloat*>(raw + 1);
    const struct {
        const char* what;
        void (*call)(const VGfloat* aligned, const VGfloat* misaligned);
    } table[] = {
        {"negative count", [](const VGfloat* a, const VGfloat*) { vgSetfv(VG_CLEAR_COLOR, -1, a); }},
        {"null values", [](const VGfloat*, const VGfloat*) { vgSetfv(VG_CLEAR_COLOR, 4, nullptr); }},
        {"misaligned values", [](const VGfloat*, const VGfloat* m) { vgSetfv(VG_CLEAR_COLOR, 4, m); }},
        {"null integers", [](const VGfloat*, const VGfloat*) { vgSetiv(VG_SCISSOR_RECTS, 4, nullptr); }},
        {"null fixed", [](const VGfloat*, const VGfloat*) { vgSetxvEXT(VG_CLEAR_COLOR, 4, nullptr); }},
        {"null vendor", [](const VGfloat*, const VGfloat*) { vgSetivEXT(VG_EXT_ALTERNATE_COLOR, 4, nullptr); }},
        {"get count 0", [](const VGfloat*, const VGfloat*) { vgGetfv(VG_CLEAR_COLOR, 0, nullptr); }},
        {"get null", [](const VGfloat*, const VGfloat*) { vgGetiv(VG_CLEAR_COLOR, 4, nullptr); }},
        {"get misaligned",
         [](const VGfloat*, const VGfloat* m) { vgGetxvEXT(VG_CLEAR_COLOR, 4, const_cast<VGfixed*>(reinterpret_cast<const VGfixed*>(m))); }},
    };
    const VGfloat aligned[4] = {};
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        row.call(aligned, misaligned);
        EXPECT_EQ(vgGetError(), kIllegal);
    }
}

TEST_F(ContextParams, TheFirstErrorIsKeptUntilRead)
{
    vgSeti(VG_IMAGE_QUALITY, 3);
    vgGetiv(VG_CLEAR_COLOR, 0, nullptr);
    vgSeti(static_cast<VGParamType>(0x2000), 1);
    EXPECT_EQ(vgGetError(), kIllegal);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    ctx->error = VG_OUT_OF_MEMORY_ERROR;
    vgSeti(VG_IMAGE_QUALITY, 3);
    EXPECT_EQ(vgGetError(), VG_OUT_OF_MEMORY_ERROR);
}

TEST_F(ContextParams, WithoutAContextNothingHappensAndTheErrorIsNoContext)
{
    VGVAL_vgcurrentcontexthandle = nullptr;
    vgSeti(VG_IMAGE_QUALITY, 3);
    vgSeti(VG_FILL_RULE, VG_NON_ZERO);
    EXPECT_EQ(vgGeti(VG_MAX_IMAGE_WIDTH), 0);
    EXPECT_EQ(vgGetVectorSize(VG_CLEAR_COLOR), 0);
    EXPECT_EQ(vgGetError(), VG_NO_CONTEXT_ERROR);
    EXPECT_EQ(ctx->error, VG_NO_ERROR);
    EXPECT_EQ(ctx->fillRule, VG_EVEN_ODD);
}

TEST_F(ContextParams, MatrixModeSelectsTheCurrentMatrix)
{
    OVGmatrix* const expected[] = {&ctx->pathUserToSurface, &ctx->imageUserToSurface, &ctx->fillPaintToUser,
                                   &ctx->strokePaintToUser, &ctx->glyphUserToSurface};
    for (VGint mode = 0x1400; mode <= 0x1404; ++mode) {
        vgSeti(VG_MATRIX_MODE, mode);
        EXPECT_EQ(VGFUNC_GetCurrentMatrix(ctx), expected[mode - 0x1400]);
        EXPECT_EQ(vgGeti(VG_MATRIX_MODE), mode);
    }
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(ContextParams, FixedPointFormsTakeOnlyFloatParameters)
{
    vgSetxEXT(VG_STROKE_LINE_WIDTH, 0x28000);  // 2.5
    EXPECT_EQ(ctx->strokeLineWidth, 2.5f);
    EXPECT_EQ(vgGetxEXT(VG_STROKE_LINE_WIDTH), 0x28000);
    const VGfixed colour[4] = {0x10000, 0x8000, 0, 0x20000};
    vgSetxvEXT(VG_TILE_FILL_COLOR, 4, colour);
    EXPECT_EQ(ctx->tileFillColor.a, 2.0f);
    EXPECT_EQ(ctx->tileFillColorClamp.a, 1.0f);
    VGfixed back[4] = {};
    vgGetxvEXT(VG_TILE_FILL_COLOR, 4, back);
    EXPECT_EQ(std::vector<VGfixed>(back, back + 4), std::vector<VGfixed>(colour, colour + 4));
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);

    vgSetxEXT(VG_FILL_RULE, 0x19010000);
    EXPECT_EQ(vgGetError(), kIllegal);
    EXPECT_EQ(vgGetxEXT(VG_MAX_IMAGE_WIDTH), 0);
    EXPECT_EQ(vgGetError(), kIllegal);
    vgSetxvEXT(VG_SCISSOR_RECTS, 4, colour);
    EXPECT_EQ(vgGetError(), kIllegal);
}

TEST_F(ContextParams, VendorSetterChecksCodesAndCounts)
{
    const VGuint srcSaturate[4] = {0x4000530A, 0x40005301, 0x4000530A, 0x40005300};
    const VGuint dstColourSaturate[4] = {0x40005301, 0x4000530A, 0x40005301, 0x40005300};
    const VGuint dstAlphaSaturate[4] = {0x40005301, 0x40005300, 0x40005301, 0x4000530A};
    const VGuint outOfRange[4] = {0x4000530F, 0x40005300, 0x40005301, 0x40005300};
    const VGuint equations[2] = {0x40005402, 0x40005401};
    const VGuint badEquation[2] = {0x40005400, 0x40005403};
    const VGuint nine[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const struct {
        VGParamType type;
        VGint count;
        const VGuint* values;
        VGint error;
        VGuint bit;
    } table[] = {
        {VG_EXT_BLEND_FUNC_SEPARATE, 4, srcSaturate, 0, 0x10000000},
        {VG_EXT_BLEND_FUNC_SEPARATE, 4, dstColourSaturate, kIllegal, 0},
        {VG_EXT_BLEND_FUNC_SEPARATE, 4, dstAlphaSaturate, kIllegal, 0},
        {VG_EXT_BLEND_FUNC_SEPARATE, 4, outOfRange, kIllegal, 0},
        {VG_EXT_BLEND_FUNC_SEPARATE, 3, srcSaturate, kIllegal, 0},
        {VG_EXT_BLEND_EQUATION, 2, equations, 0, 0x10000000},
        {VG_EXT_BLEND_EQUATION, 2, badEquation, kIllegal, 0},
        {VG_EXT_YUV_RGB_COEFFICIENT, 9, nine, 0, 0x4000000},
        {VG_EXT_YUV_RGB_COEFFICIENT, 8, nine, kIllegal, 0},
        {VG_EXT_ALTERNATE_COLOR, 4, nine, 0, 0x80000000},
        {VG_FILL_RULE, 1, nine, kIllegal, 0},
        {static_cast<VGParamType>(0x40005004), 1, nine, kIllegal, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.type << " x" << row.count);
        const OVGcontext before = *ctx;
        ctx->dirty = 0;
        vgSetivEXT(row.type, row.count, row.values);
        EXPECT_EQ(vgGetError(), row.error);
        EXPECT_EQ(static_cast<VGuint>(ctx->dirty), row.bit);
        if (row.error) {
            ctx->dirty = before.dirty;
            EXPECT_EQ(std::memcmp(&before, ctx, sizeof before), 0);
        }
    }
    EXPECT_EQ(ctx->blendFuncEXT[0], 0x4000530Au);
    EXPECT_EQ(ctx->blendEquationEXT[1], 0x40005401u);
    EXPECT_EQ(ctx->yuv2rgbCoefficient[8], 9u);
    EXPECT_EQ(ctx->altColor[3], 4u);
}

TEST_F(ContextParams, VendorSingleValues)
{
    const struct {
        VGParamType type;
        VGuint value;
        VGint error;
        VGuint bit;
    } table[] = {
        {VG_EXT_BLEND_UNIT, 0x40005100, 0, 0},  // unchanged: any value passes, nothing marked
        {VG_EXT_BLEND_UNIT, 0x40005101, 0, 0x8000000},
        {VG_EXT_BLEND_UNIT, 0x40005102, kIllegal, 0},
        {VG_EXT_BLEND_COLOR, 0, 0, 0},
        {VG_EXT_BLEND_COLOR, 0x11223344, 0, 0x20000000},
        {VG_EXT_CHANNEL_MASK, 0, 0, 0},
        {VG_EXT_CHANNEL_MASK, 7, 0, 0x40000000},
        {VG_EXT_YUV_RGB_CONVERSION, 0, 0, 0x4000000},
        {VG_EXT_ALTERNATE_COLOR, 1, kIllegal, 0},  // a vector through the scalar form
        {VG_EXT_BLEND_EQUATION, 0x40005400, kIllegal, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.type << " = " << row.value);
        ctx->dirty = 0;
        vgSetiEXT(row.type, row.value);
        EXPECT_EQ(vgGetError(), row.error);
        EXPECT_EQ(static_cast<VGuint>(ctx->dirty), row.bit);
    }
    EXPECT_EQ(ctx->blendUnitEXT, 0x40005101u);
    EXPECT_EQ(ctx->channelMask, 7u);
}

TEST_F(ContextParams, ColourTransformValuesAreKeptAsSetAndClamped)
{
    const VGfloat values[8] = {200, -200, 0.5f, 1, 2, -2, 0.25f, 0};
    vgSetfv(VG_COLOR_TRANSFORM_VALUES, 8, values);
    EXPECT_EQ(getfv(VG_COLOR_TRANSFORM_VALUES), std::vector<VGfloat>(values, values + 8));
    const std::vector<VGfloat> clamped(ctx->colorTransformValues, ctx->colorTransformValues + 8);
    EXPECT_EQ(clamped, std::vector<VGfloat>({127, -127, 0.5f, 1, 1, -1, 0.25f, 0}));
}

}  // namespace
