// The VGU shapes: the segments and coordinates each appends, converted to the path's datatype,
// scale and bias, and the VGU errors they answer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include <VG/openvg.h>
#include <VG/vgu.h>

#include "path_fixture.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"

namespace {

using Doubles = std::vector<double>;
using Segments = std::vector<int>;

class VguShape : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);
    VguShape() { VGVAL_vgcurrentcontexthandle = ctx; }
    ~VguShape() override
    {
        VGVAL_vgcurrentcontexthandle = nullptr;
        VGFUNC_DeleteVGContext(ctx);
    }
    static VGPath newPath(VGPathDatatype type = VG_PATH_DATATYPE_F, VGfloat scale = 1, VGfloat bias = 0,
                          VGbitfield caps = VG_PATH_CAPABILITY_ALL)
    {
        return vgCreatePath(VG_PATH_FORMAT_STANDARD, type, scale, bias, 0, 0, caps);
    }
    const OVGpath* record(VGPath h) const { return VGFUNC_FindPath(ctx->sharedState, h); }
    Segments segments(VGPath h) const { return pathtest::segments(record(h)); }
    Doubles elements(VGPath h) const { return pathtest::elements(record(h)); }
};

TEST_F(VguShape, ShapesAppendTheirSegments)
{
    const struct {
        const char* what;
        VGUErrorCode (*draw)(VGPath);
        Segments segments;
        Doubles coords;
    } table[] = {
        {"line", [](VGPath p) { return vguLine(p, 1, 2, 3, 4); },
         {VG_MOVE_TO_ABS, VG_LINE_TO_ABS}, {1, 2, 3, 4}},
        {"rect", [](VGPath p) { return vguRect(p, 10, 20, 30, 40); },
         {VG_MOVE_TO_ABS, VG_HLINE_TO_ABS, VG_VLINE_TO_ABS, VG_HLINE_TO_ABS, VG_CLOSE_PATH},
         {10, 20, 40, 60, 10}},
        {"closed polygon", [](VGPath p) {
             static const VGfloat pts[] = {0, 0, 10, 0, 5, 8};
             return vguPolygon(p, pts, 3, VG_TRUE);
         },
         {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH}, {0, 0, 10, 0, 5, 8}},
        {"ellipse", [](VGPath p) { return vguEllipse(p, 50, 60, 20, 10); },
         {VG_MOVE_TO_ABS, VG_SCCWARC_TO_ABS, VG_SCCWARC_TO_ABS, VG_CLOSE_PATH},
         {60, 60, 10, 5, 0, 40, 60, 10, 5, 0, 60, 60}},
        {"round rect, arcs clamped to the size", [](VGPath p) { return vguRoundRect(p, 0, 0, 30, 20, 100, -4); },
         {VG_MOVE_TO_ABS, VG_HLINE_TO_ABS, VG_SCCWARC_TO_ABS, VG_VLINE_TO_ABS, VG_SCCWARC_TO_ABS,
          VG_HLINE_TO_ABS, VG_SCCWARC_TO_ABS, VG_VLINE_TO_ABS, VG_SCCWARC_TO_ABS, VG_CLOSE_PATH},
         {15, 0, 15, 15, 0, 0, 30, 0, 20, 15, 0, 0, 15, 20, 15, 15, 0, 0, 0, 20, 0, 15, 0, 0, 15, 0}},
        {"pie of a quarter", [](VGPath p) { return vguArc(p, 0, 0, 20, 10, 0, 90, VGU_ARC_PIE); },
         {VG_MOVE_TO_ABS, VG_SCCWARC_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
         {10, 0, 10, 5, 0, 0, 5, 0, 0}},
        {"full turn: two half-turn arcs", [](VGPath p) { return vguArc(p, 0, 0, 20, 20, 0, 360, VGU_ARC_OPEN); },
         {VG_MOVE_TO_ABS, VG_SCCWARC_TO_ABS, VG_SCCWARC_TO_ABS},
         {10, 0, 10, 10, 0, -10, 0, 10, 10, 0, 10, 0}},
        {"clockwise chord", [](VGPath p) { return vguArc(p, 0, 0, 20, 20, 0, -270, VGU_ARC_CHORD); },
         {VG_MOVE_TO_ABS, VG_SCWARC_TO_ABS, VG_SCWARC_TO_ABS, VG_CLOSE_PATH},
         {10, 0, 10, 10, 0, -10, 0, 10, 10, 0, 0, 10}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        const VGPath p = newPath();
        EXPECT_EQ(row.draw(p), VGU_NO_ERROR);
        EXPECT_EQ(segments(p), row.segments);
        const Doubles got = elements(p);
        ASSERT_EQ(got.size(), row.coords.size());
        for (size_t i = 0; i < got.size(); i++)
            EXPECT_NEAR(got[i], row.coords[i], 1e-4) << i;
    }
}

TEST_F(VguShape, CoordinatesTakeThePathsDatatypeScaleAndBias)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        VGPathDatatype type;
        VGfloat scale, bias, in;
        double stored;
    } table[] = {
        {VG_PATH_DATATYPE_S_16, 0.5f, 0, 1.3f, 3},      // floor(2.6 + 0.5)
        {VG_PATH_DATATYPE_S_8, 1, 0, -2.5f, -2},        // half rounds up
        {VG_PATH_DATATYPE_S_32, 2, 10, 15, 3},          // (15 - 10) / 2 = 2.5 -> 3
        {VG_PATH_DATATYPE_F, 4, 1, 9, 2},
        {VG_PATH_DATATYPE_S_8, 1, 0, 1000, 127},        // beyond the type: saturated
        {VG_PATH_DATATYPE_S_16, 1, 0, -1e9f, -32768},
        {VG_PATH_DATATYPE_S_32, 1, 0, 1e20f, 2147483647},
        {VG_PATH_DATATYPE_S_8, 1, 0, static_cast<VGfloat>(nan), 0},  // NaN stores 0
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << row.type << " " << row.in);
        const VGPath p = newPath(row.type, row.scale, row.bias);
        EXPECT_EQ(vguLine(p, row.in, 0, 0, 0), VGU_NO_ERROR);
        EXPECT_EQ(elements(p).at(0), row.stored);
    }
}

TEST_F(VguShape, ErrorsAreMappedAndBadArgumentsAppendNothing)
{
    const VGPath p = newPath();
    const VGPath readOnly = newPath(VG_PATH_DATATYPE_F, 1, 0, VG_PATH_CAPABILITY_ALL & ~VG_PATH_CAPABILITY_APPEND_TO);
    alignas(4) const VGfloat pts[4] = {};
    const auto* misaligned = reinterpret_cast<const VGfloat*>(reinterpret_cast<const char*>(pts) + 2);
    const struct {
        const char* what;
        VGUErrorCode got, expected;
    } table[] = {
        {"rect of width 0", vguRect(p, 0, 0, 0, 10), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"round rect of negative height", vguRoundRect(p, 0, 0, 5, -1, 1, 1), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"ellipse of height 0", vguEllipse(p, 0, 0, 5, 0), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"arc of an unknown type", vguArc(p, 0, 0, 5, 5, 0, 90, static_cast<VGUArcType>(0xF103)), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"arc of width 0", vguArc(p, 0, 0, 0, 5, 0, 90, VGU_ARC_OPEN), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"arc of endless extent", vguArc(p, 0, 0, 5, 5, 0, std::numeric_limits<VGfloat>::infinity(), VGU_ARC_OPEN), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"arc of a billion turns", vguArc(p, 0, 0, 5, 5, 0, -3.6e11f, VGU_ARC_OPEN), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"polygon of no points", vguPolygon(p, pts, 0, VG_FALSE), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"polygon from null", vguPolygon(p, nullptr, 2, VG_FALSE), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"polygon from a misaligned pointer", vguPolygon(p, misaligned, 1, VG_FALSE), VGU_ILLEGAL_ARGUMENT_ERROR},
        {"line into no path", vguLine(p + 4, 0, 0, 1, 1), VGU_BAD_HANDLE_ERROR},
        {"rect into a path without APPEND_TO", vguRect(readOnly, 0, 0, 1, 1), VGU_PATH_CAPABILITY_ERROR},
    };
    for (const auto& row : table)
        EXPECT_EQ(row.got, row.expected) << row.what;
    EXPECT_EQ(record(p)->numSegments, 0);
    EXPECT_EQ(record(readOnly)->numSegments, 0);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR) << "the shape functions take the errors they map";
}

TEST_F(VguShape, ArcsEndAtAnyStartAngle)
{
    // At such a start angle adding half turns no longer moves the sum: the arc still ends.
    const VGPath p = newPath();
    EXPECT_EQ(vguArc(p, 0, 0, 10, 10, 1e20f, 720, VGU_ARC_OPEN), VGU_NO_ERROR);
    EXPECT_GE(record(p)->numSegments, 2);
    EXPECT_LE(record(p)->numSegments, 6);
}

TEST_F(VguShape, APendingErrorIsClearedFirst)
{
    vgAppendPathData(newPath() + 4, 0, nullptr, nullptr);  // leaves VG_BAD_HANDLE_ERROR waiting
    EXPECT_EQ(vguLine(newPath(), 0, 0, 1, 1), VGU_NO_ERROR);
}

}  // namespace
