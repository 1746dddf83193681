// The path entry points: which error each call records when arguments are wrong (the first
// check in order wins), and that good calls reach the path operations.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include <VG/openvg.h>

#include "path_fixture.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"

namespace {

class PathApi : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);

    PathApi() { VGVAL_vgcurrentcontexthandle = ctx; }
    ~PathApi() override
    {
        VGVAL_vgcurrentcontexthandle = nullptr;
        VGFUNC_DeleteVGContext(ctx);
    }

    static VGPath floatPath(VGbitfield caps = VG_PATH_CAPABILITY_ALL)
    {
        return vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, caps);
    }
    OVGpath* record(VGPath h) const { return VGFUNC_FindPath(ctx->sharedState, h); }
};

const VGubyte kLine[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS};
const VGfloat kLineData[] = {1, 2, 3, 4};

TEST_F(PathApi, CreateChecksFormatThenDatatypeAndScale)
{
    const struct {
        VGint format, datatype;
        VGfloat scale;
        VGErrorCode error;
    } table[] = {
        {1, VG_PATH_DATATYPE_F, 1, VG_UNSUPPORTED_PATH_FORMAT_ERROR},
        {1, 4, 0, VG_UNSUPPORTED_PATH_FORMAT_ERROR},  // the format is looked at first
        {0, 4, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {0, -1, 1, VG_ILLEGAL_ARGUMENT_ERROR},
        {0, VG_PATH_DATATYPE_S_8, 0, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << row.format << " " << row.datatype << " " << row.scale);
        EXPECT_EQ(vgCreatePath(row.format, static_cast<VGPathDatatype>(row.datatype), row.scale, 0, 0,
                               0, VG_PATH_CAPABILITY_ALL),
                  VG_INVALID_HANDLE);
        EXPECT_EQ(vgGetError(), row.error);
    }

    const VGPath p = vgCreatePath(0, VG_PATH_DATATYPE_S_16, -2, 3, 10, 20, 0x1FFF);
    ASSERT_NE(p, VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(vgGetPathCapabilities(p), 0xFFFu);  // only the defined bits are answered
    EXPECT_EQ(vgGetParameteri(p, VG_PATH_DATATYPE), VG_PATH_DATATYPE_S_16);
    EXPECT_EQ(vgGetParameterf(p, VG_PATH_SCALE), -2);
}

TEST_F(PathApi, EditingCallsCheckHandlesCapabilitiesThenArguments)
{
    const VGPath all = floatPath();
    const VGPath none = floatPath(0);
    const VGPath stranger = all + 4;
    const VGubyte seg[] = {VG_MOVE_TO_ABS};
    const VGfloat data[] = {0, 0};
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);

    const struct {
        const char* what;
        void (*call)(VGPath all, VGPath none, VGPath stranger, const VGubyte* seg, const VGfloat* data);
        VGErrorCode error;
    } table[] = {
        {"append data to a stranger", [](VGPath, VGPath, VGPath s, const VGubyte* g, const VGfloat* d) { vgAppendPathData(s, 1, g, d); }, VG_BAD_HANDLE_ERROR},
        {"append data without APPEND_TO, null data", [](VGPath, VGPath n, VGPath, const VGubyte* g, const VGfloat*) { vgAppendPathData(n, 1, g, nullptr); }, VG_PATH_CAPABILITY_ERROR},
        {"append zero segments", [](VGPath a, VGPath, VGPath, const VGubyte* g, const VGfloat* d) { vgAppendPathData(a, 0, g, d); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"append null segments", [](VGPath a, VGPath, VGPath, const VGubyte*, const VGfloat* d) { vgAppendPathData(a, 1, nullptr, d); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"append a bad command", [](VGPath a, VGPath, VGPath, const VGubyte*, const VGfloat* d) { const VGubyte bad = 26; vgAppendPathData(a, 1, &bad, d); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"append path from a path without APPEND_FROM", [](VGPath a, VGPath n, VGPath, const VGubyte*, const VGfloat*) { vgAppendPath(a, n); }, VG_PATH_CAPABILITY_ERROR},
        {"append path, stranger source", [](VGPath, VGPath n, VGPath s, const VGubyte*, const VGfloat*) { vgAppendPath(n, s); }, VG_BAD_HANDLE_ERROR},
        {"modify without MODIFY", [](VGPath, VGPath n, VGPath, const VGubyte*, const VGfloat* d) { vgModifyPathCoords(n, 0, 1, d); }, VG_PATH_CAPABILITY_ERROR},
        {"modify past the end", [](VGPath a, VGPath, VGPath, const VGubyte*, const VGfloat* d) { vgModifyPathCoords(a, 0, 2, d); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"modify a count that would wrap", [](VGPath a, VGPath, VGPath, const VGubyte*, const VGfloat* d) { vgModifyPathCoords(a, 1, INT_MAX, d); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"modify from a negative index", [](VGPath a, VGPath, VGPath, const VGubyte*, const VGfloat* d) { vgModifyPathCoords(a, -1, 1, d); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"transform into a path without TRANSFORM_TO", [](VGPath a, VGPath n, VGPath, const VGubyte*, const VGfloat*) { vgTransformPath(n, a); }, VG_PATH_CAPABILITY_ERROR},
        {"transform from a stranger", [](VGPath a, VGPath, VGPath s, const VGubyte*, const VGfloat*) { vgTransformPath(a, s); }, VG_BAD_HANDLE_ERROR},
        {"interpolate from a path without INTERPOLATE_FROM", [](VGPath a, VGPath n, VGPath, const VGubyte*, const VGfloat*) { EXPECT_EQ(vgInterpolatePath(a, a, n, 0.5f), VG_FALSE); }, VG_PATH_CAPABILITY_ERROR},
        {"interpolate, stranger end", [](VGPath a, VGPath n, VGPath s, const VGubyte*, const VGfloat*) { EXPECT_EQ(vgInterpolatePath(n, a, s, 0.5f), VG_FALSE); }, VG_BAD_HANDLE_ERROR},
        {"capabilities of a stranger", [](VGPath, VGPath, VGPath s, const VGubyte*, const VGfloat*) { EXPECT_EQ(vgGetPathCapabilities(s), 0u); }, VG_BAD_HANDLE_ERROR},
        {"clear a stranger", [](VGPath, VGPath, VGPath s, const VGubyte*, const VGfloat*) { vgClearPath(s, 0); }, VG_BAD_HANDLE_ERROR},
        {"destroy a stranger", [](VGPath, VGPath, VGPath s, const VGubyte*, const VGfloat*) { vgDestroyPath(s); }, VG_BAD_HANDLE_ERROR},
    };
    vgAppendPathData(all, 1, seg, data);  // one segment to modify
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        row.call(all, none, stranger, seg, data);
        EXPECT_EQ(vgGetError(), row.error);
        EXPECT_EQ(record(all)->numSegments, 1);
    }
}

TEST_F(PathApi, GoodCallsReachThePathOperations)
{
    const VGPath a = floatPath(), b = floatPath(), c = floatPath();
    vgAppendPathData(a, 2, kLine, kLineData);
    vgAppendPath(b, a);
    vgTranslate(10, 100);  // the path matrix is the current one by default
    vgTransformPath(c, a);
    const VGfloat moved[] = {5, 6};
    vgModifyPathCoords(a, 1, 1, moved);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(pathtest::elements(record(a)), (std::vector<double>{1, 2, 5, 6}));
    EXPECT_EQ(pathtest::elements(record(b)), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(pathtest::elements(record(c)), (std::vector<double>{11, 102, 13, 104}));

    const VGPath mid = floatPath();
    EXPECT_EQ(vgInterpolatePath(mid, a, b, 0.5f), VG_TRUE);
    EXPECT_EQ(pathtest::elements(record(mid)), (std::vector<double>{1, 2, 4, 5}));
    const VGPath single = floatPath();
    vgAppendPathData(single, 1, kLine, kLineData);
    EXPECT_EQ(vgInterpolatePath(mid, a, single, 0.5f), VG_FALSE);  // not compatible: no error
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);

    vgRemovePathCapabilities(a, VG_PATH_CAPABILITY_APPEND_TO);
    EXPECT_EQ(vgGetPathCapabilities(a), 0xFFFu & ~VG_PATH_CAPABILITY_APPEND_TO);
    vgClearPath(a, VG_PATH_CAPABILITY_APPEND_TO);
    EXPECT_EQ(record(a)->numSegments, 0);
    EXPECT_EQ(vgGetPathCapabilities(a), static_cast<VGbitfield>(VG_PATH_CAPABILITY_APPEND_TO));

    vgDestroyPath(a);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(vgGetPathCapabilities(a), 0u);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
}

TEST_F(PathApi, WithoutACurrentContextNothingHappens)
{
    const VGPath p = floatPath();
    VGVAL_vgcurrentcontexthandle = nullptr;
    EXPECT_EQ(floatPath(), VG_INVALID_HANDLE);
    vgAppendPathData(p, 2, kLine, kLineData);
    vgDestroyPath(p);
    EXPECT_EQ(vgGetPathCapabilities(p), 0u);
    VGVAL_vgcurrentcontexthandle = ctx;
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(record(p)->numSegments, 0);
}

}  // namespace
