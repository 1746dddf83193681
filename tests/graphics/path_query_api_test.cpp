// The path-query entry points: which error each call records when arguments are wrong (the
// first check in order wins), the -1.0 of vgPathLength on every error, and that good calls
// answer from the path's geometry and the current path matrix.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"

namespace {

constexpr VGbitfield kAll = VG_PATH_CAPABILITY_ALL;

class PathQueryApi : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);

    PathQueryApi()
    {
        VGVAL_vgcurrentcontexthandle = ctx;
        VGALVAL_LX740_ALcontexthandle = ctx;
    }
    ~PathQueryApi() override
    {
        VGALVAL_LX740_ALcontexthandle = nullptr;
        VGVAL_vgcurrentcontexthandle = nullptr;
        VGFUNC_DeleteVGContext(ctx);
    }
};

// M(0,0) L(3,4) L(3,0) Z with exactly the capabilities caps.
VGPath triangleWith(VGbitfield caps)
{
    static const VGubyte segs[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH};
    static const VGfloat data[] = {0, 0, 3, 4, 3, 0};
    const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, kAll);
    vgAppendPathData(p, 4, segs, data);
    vgRemovePathCapabilities(p, VG_PATH_CAPABILITY_ALL & ~caps);
    return p;
}

// Misaligned but otherwise usable output addresses.
alignas(4) unsigned char gBytes[32];
VGfloat* misaligned() { return reinterpret_cast<VGfloat*>(gBytes + 1); }

TEST_F(PathQueryApi, PathLengthChecksInOrderAndAnswersMinusOneOnEveryError)
{
    const VGPath all = triangleWith(kAll);
    const VGPath none = triangleWith(0);
    const VGPath stranger = all + 4;
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);
    const struct {
        const char* what;
        VGPath path;
        VGint start, num;
        VGErrorCode error;
        VGfloat result;
    } table[] = {
        {"the whole path", all, 0, 4, VG_NO_ERROR, 12},
        {"segments 1 to 3", all, 1, 3, VG_NO_ERROR, 12},
        {"segment 2", all, 2, 1, VG_NO_ERROR, 4},
        {"a stranger", stranger, 0, 4, VG_BAD_HANDLE_ERROR, -1},
        {"a stranger with a bad range", stranger, -1, 0, VG_BAD_HANDLE_ERROR, -1},
        {"no PATH_LENGTH", none, 0, 4, VG_PATH_CAPABILITY_ERROR, -1},
        {"no PATH_LENGTH and a bad range", none, -1, 0, VG_PATH_CAPABILITY_ERROR, -1},
        {"negative start", all, -1, 2, VG_ILLEGAL_ARGUMENT_ERROR, -1},
        {"no segments", all, 0, 0, VG_ILLEGAL_ARGUMENT_ERROR, -1},
        {"negative count", all, 0, -1, VG_ILLEGAL_ARGUMENT_ERROR, -1},
        {"one past the end", all, 1, 4, VG_ILLEGAL_ARGUMENT_ERROR, -1},
        {"start past the end", all, 4, 1, VG_ILLEGAL_ARGUMENT_ERROR, -1},
        {"a count whose sum wraps", all, 1, INT_MAX, VG_ILLEGAL_ARGUMENT_ERROR, -1},
        {"the largest start and count", all, INT_MAX, INT_MAX, VG_ILLEGAL_ARGUMENT_ERROR, -1},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        EXPECT_NEAR(vgPathLength(row.path, row.start, row.num), row.result, 1e-5);
        EXPECT_EQ(vgGetError(), row.error);
    }
}

TEST_F(PathQueryApi, PointAlongPathChecksCapabilitiesForTheOutputsGiven)
{
    const VGPath all = triangleWith(kAll);
    const VGPath none = triangleWith(0);
    const VGPath pointOnly = triangleWith(VG_PATH_CAPABILITY_POINT_ALONG_PATH);
    const VGPath tangentOnly = triangleWith(VG_PATH_CAPABILITY_TANGENT_ALONG_PATH);
    const VGPath stranger = all + 4;
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);
    VGfloat x, y, tx, ty;
    VGfloat* const bad = misaligned();
    const struct {
        const char* what;
        VGPath path;
        VGint start, num;
        VGfloat *x, *y, *tx, *ty;
        VGErrorCode error;
    } table[] = {
        {"everything given", all, 1, 3, &x, &y, &tx, &ty, VG_NO_ERROR},
        {"a stranger", stranger, 1, 3, &x, &y, &tx, &ty, VG_BAD_HANDLE_ERROR},
        {"point without POINT_ALONG_PATH", tangentOnly, -1, 3, &x, &y, &tx, &ty, VG_PATH_CAPABILITY_ERROR},
        {"tangent without TANGENT_ALONG_PATH", pointOnly, -1, 3, &x, &y, &tx, &ty, VG_PATH_CAPABILITY_ERROR},
        {"point only, with its capability", pointOnly, 1, 3, &x, &y, nullptr, &ty, VG_NO_ERROR},
        {"tangent only, with its capability", tangentOnly, 1, 3, nullptr, &y, &tx, &ty, VG_NO_ERROR},
        {"half pairs need no capability", none, 1, 3, &x, nullptr, nullptr, &ty, VG_NO_ERROR},
        {"all null: only the range", none, 1, 3, nullptr, nullptr, nullptr, nullptr, VG_NO_ERROR},
        {"all null, bad range", none, 0, 5, nullptr, nullptr, nullptr, nullptr, VG_ILLEGAL_ARGUMENT_ERROR},
        {"a count whose sum wraps", all, 1, INT_MAX, &x, &y, &tx, &ty, VG_ILLEGAL_ARGUMENT_ERROR},
        {"negative start", all, -1, 1, &x, &y, &tx, &ty, VG_ILLEGAL_ARGUMENT_ERROR},
        {"no segments", all, 0, 0, &x, &y, &tx, &ty, VG_ILLEGAL_ARGUMENT_ERROR},
        {"misaligned x", all, 1, 3, bad, &y, &tx, &ty, VG_ILLEGAL_ARGUMENT_ERROR},
        {"misaligned lone y", none, 1, 3, nullptr, bad, nullptr, nullptr, VG_ILLEGAL_ARGUMENT_ERROR},
        {"misaligned tangent y", all, 1, 3, &x, &y, &tx, bad, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        x = y = tx = ty = 99;
        vgPointAlongPath(row.path, row.start, row.num, 6, row.x, row.y, row.tx, row.ty);
        EXPECT_EQ(vgGetError(), row.error);
        const bool point = row.error == VG_NO_ERROR && row.x && row.y;
        const bool tangent = row.error == VG_NO_ERROR && row.tx && row.ty;
        EXPECT_EQ(x, point ? 3 : 99);
        EXPECT_EQ(y, point ? 3 : 99);
        EXPECT_EQ(tx, tangent ? 0 : 99);
        EXPECT_EQ(ty, tangent ? -1 : 99);
    }
}

TEST_F(PathQueryApi, BoundsCheckHandleCapabilityThenOutputs)
{
    const VGPath all = triangleWith(kAll);
    const VGPath noBounds = triangleWith(kAll & ~VG_PATH_CAPABILITY_PATH_BOUNDS);
    const VGPath noTransformed = triangleWith(kAll & ~VG_PATH_CAPABILITY_PATH_TRANSFORMED_BOUNDS);
    const VGPath stranger = all + 4;
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);
    using Call = void (*)(VGPath, VGfloat*, VGfloat*, VGfloat*, VGfloat*);
    VGfloat b[4];
    VGfloat* const bad = misaligned();
    const struct {
        const char* what;
        Call call;
        VGPath path;
        VGfloat *x, *y, *w, *h;
        VGErrorCode error;
    } table[] = {
        {"bounds", vgPathBounds, all, &b[0], &b[1], &b[2], &b[3], VG_NO_ERROR},
        {"bounds of a stranger, null outputs", vgPathBounds, stranger, nullptr, nullptr, nullptr, nullptr, VG_BAD_HANDLE_ERROR},
        {"bounds without PATH_BOUNDS, null outputs", vgPathBounds, noBounds, nullptr, nullptr, nullptr, nullptr, VG_PATH_CAPABILITY_ERROR},
        {"bounds need only their own capability", vgPathBounds, noTransformed, &b[0], &b[1], &b[2], &b[3], VG_NO_ERROR},
        {"bounds, null height", vgPathBounds, all, &b[0], &b[1], &b[2], nullptr, VG_ILLEGAL_ARGUMENT_ERROR},
        {"bounds, misaligned min x", vgPathBounds, all, bad, &b[1], &b[2], &b[3], VG_ILLEGAL_ARGUMENT_ERROR},
        {"transformed", vgPathTransformedBounds, all, &b[0], &b[1], &b[2], &b[3], VG_NO_ERROR},
        {"transformed, stranger", vgPathTransformedBounds, stranger, nullptr, &b[1], &b[2], &b[3], VG_BAD_HANDLE_ERROR},
        {"transformed without its capability", vgPathTransformedBounds, noTransformed, &b[0], nullptr, &b[2], &b[3], VG_PATH_CAPABILITY_ERROR},
        {"transformed need only their own capability", vgPathTransformedBounds, noBounds, &b[0], &b[1], &b[2], &b[3], VG_NO_ERROR},
        {"transformed, null min y", vgPathTransformedBounds, all, &b[0], nullptr, &b[2], &b[3], VG_ILLEGAL_ARGUMENT_ERROR},
        {"transformed, misaligned width", vgPathTransformedBounds, all, &b[0], &b[1], bad, &b[3], VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        b[0] = b[1] = b[2] = b[3] = 99;
        row.call(row.path, row.x, row.y, row.w, row.h);
        EXPECT_EQ(vgGetError(), row.error);
        const bool written = row.error == VG_NO_ERROR;
        EXPECT_EQ(b[0], written ? 0 : 99);
        EXPECT_EQ(b[1], written ? 0 : 99);
        EXPECT_EQ(b[2], written ? 3 : 99);
        EXPECT_EQ(b[3], written ? 4 : 99);
    }
}

TEST_F(PathQueryApi, TransformedBoundsFollowThePathMatrix)
{
    const VGPath p = triangleWith(kAll);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE);
    vgTranslate(100, 0);
    vgRotate(90);  // (x, y) -> (100 - y, x)
    VGfloat b[4], u[4];
    vgPathTransformedBounds(p, &b[0], &b[1], &b[2], &b[3]);
    vgPathBounds(p, &u[0], &u[1], &u[2], &u[3]);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_NEAR(b[0], 96, 1e-4);
    EXPECT_NEAR(b[1], 0, 1e-4);
    EXPECT_NEAR(b[2], 4, 1e-4);
    EXPECT_NEAR(b[3], 3, 1e-4);
    // The plain bounds stay in user space.
    EXPECT_EQ(u[2], 3);
    EXPECT_EQ(u[3], 4);

    // Only the path matrix counts.
    vgLoadIdentity();
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgScale(5, 5);
    vgPathTransformedBounds(p, &b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(b[2], 3);
    EXPECT_EQ(b[3], 4);
}

// The bounds of an arc are the extent of the ellipse's part it runs along, however thin the
// ellipse: from (20, 20) to (40, 20) on an ellipse turned a quarter (radius rv along x), the
// large arc passes both ends of the long axis, x = 0 and 60; a half circle stays below its chord.
// The arc is divided in steps of 11.25 degrees, whose chords stay within r (1 - cos 5.625
// degrees) of it.
TEST_F(PathQueryApi, BoundsOfAnArcAreTheExtentOfItsEllipse)
{
    const struct {
        const char* name;
        VGubyte segment;
        VGfloat rh, rv, rotation;
        VGfloat minX, minY, maxX, maxY;
    } table[] = {
        {"thin, large counter-clockwise", VG_LCCWARC_TO_ABS, 1e-4f, 30, 90, 0, 20, 60, 20},
        {"thinner, large counter-clockwise", VG_LCCWARC_TO_ABS, 1e-5f, 30, 90, 0, 20, 60, 20},
        {"thinner, large clockwise, turned back", VG_LCWARC_TO_ABS, 1e-5f, 30, -90, 0, 20, 60, 20},
        {"half circle", VG_SCCWARC_TO_ABS, 10, 10, 0, 20, 10, 40, 20},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const VGubyte segs[] = {VG_MOVE_TO_ABS, row.segment};
        const VGfloat data[] = {20, 20, row.rh, row.rv, row.rotation, 40, 20};
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, kAll);
        vgAppendPathData(p, 2, segs, data);
        VGfloat b[4];
        vgPathBounds(p, &b[0], &b[1], &b[2], &b[3]);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        const double within = std::max(row.rh, row.rv) * (1 - std::cos(5.625 * M_PI / 180)) + 1e-4;
        EXPECT_NEAR(b[0], row.minX, within);
        EXPECT_NEAR(b[1], row.minY, within);
        EXPECT_NEAR(b[0] + b[2], row.maxX, within);
        EXPECT_NEAR(b[1] + b[3], row.maxY, within);
        vgDestroyPath(p);
    }
}

TEST_F(PathQueryApi, WithoutACurrentContextNothingHappens)
{
    const VGPath p = triangleWith(kAll);
    VGVAL_vgcurrentcontexthandle = nullptr;
    VGfloat b[4] = {99, 99, 99, 99};
    EXPECT_EQ(vgPathLength(p, 0, 4), -1.0f);
    vgPointAlongPath(p, 0, 4, 1, &b[0], &b[1], &b[2], &b[3]);
    vgPathBounds(p, &b[0], &b[1], &b[2], &b[3]);
    vgPathTransformedBounds(p, &b[0], &b[1], &b[2], &b[3]);
    for (VGfloat v : b)
        EXPECT_EQ(v, 99);
    VGVAL_vgcurrentcontexthandle = ctx;
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

}  // namespace
