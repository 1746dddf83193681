// The frame of the OpenVG entry points: object parameters choose the kind by id and tell a
// handle of another kind from a value that is no object; the string and hardware queries.
#include <gtest/gtest.h>

#include <string>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_arena.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_egl_image.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_share.h"

namespace {

class ApiFrame : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);
    VGHandle path = 0, paint = 0, image = 0, font = 0, mask = 0;

    ApiFrame()
    {
        OVGshare* share = ctx->sharedState;
        auto* p = static_cast<OVGpath*>(VGFUNC_ArenaAlloc(sizeof(OVGpath)));
        auto* q = static_cast<OVGpaint*>(VGFUNC_ArenaAlloc(sizeof(OVGpaint)));
        auto* i = static_cast<OVGimage*>(VGFUNC_ArenaAlloc(sizeof(OVGimage)));
        auto* f = static_cast<OVGfont*>(VGFUNC_ArenaAlloc(sizeof(OVGfont)));
        auto* m = static_cast<OVGimage*>(VGFUNC_ArenaAlloc(sizeof(OVGimage)));
        VGFUNC_AddPath(share, p);
        VGFUNC_AddPaint(share, q);
        VGFUNC_AddImage(share, i);
        VGFUNC_AddFont(share, f);
        VGFUNC_AddMaskLayer(share, m);
        path = VGFUNC_HandleOf(p), paint = VGFUNC_HandleOf(q), image = VGFUNC_HandleOf(i);
        font = VGFUNC_HandleOf(f), mask = VGFUNC_HandleOf(m);
        VGVAL_vgcurrentcontexthandle = ctx;
    }
    ~ApiFrame() override
    {
        VGVAL_vgcurrentcontexthandle = nullptr;
        VGFUNC_DeleteVGContext(ctx);
    }
};

TEST_F(ApiFrame, ObjectParametersTellWrongKindsFromNonObjects)
{
    const VGHandle stranger = path + 16;  // inside the arena, but no record of the table
    const struct {
        VGHandle object;
        VGint param;
        VGErrorCode error;
    } table[] = {
        {path, VG_PAINT_TYPE, VG_ILLEGAL_ARGUMENT_ERROR},
        {mask, VG_IMAGE_FORMAT, VG_ILLEGAL_ARGUMENT_ERROR},  // a mask layer is not an image
        {font, VG_PATH_FORMAT, VG_ILLEGAL_ARGUMENT_ERROR},
        {paint, 0x3000, VG_ILLEGAL_ARGUMENT_ERROR},          // no kind takes ids above 0x2F00
        {0, VG_PAINT_TYPE, VG_BAD_HANDLE_ERROR},
        {stranger, VG_PAINT_TYPE, VG_BAD_HANDLE_ERROR},
        {0x12345670, 0x3000, VG_BAD_HANDLE_ERROR},
        // The right kind reaches its operation, which rejects ids it does not have.
        {path, 0x15FF, VG_ILLEGAL_ARGUMENT_ERROR},
        {paint, 0x1606, VG_ILLEGAL_ARGUMENT_ERROR},
        {image, 0x1A08, VG_ILLEGAL_ARGUMENT_ERROR},
        {font, VG_FONT_NUM_GLYPHS, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.object << " " << row.param);
        const VGint one[1] = {1};
        VGfloat out[1];
        vgSetParameteri(row.object, row.param, VG_PAINT_TYPE_COLOR);
        EXPECT_EQ(vgGetError(), row.error);
        vgSetParameterfv(row.object, row.param, 1, reinterpret_cast<const VGfloat*>(one));
        EXPECT_EQ(vgGetError(), row.error);
        EXPECT_EQ(vgGetParameteri(row.object, row.param), 0);
        EXPECT_EQ(vgGetError(), row.error);
        vgGetParameterfv(row.object, row.param, 1, out);
        EXPECT_EQ(vgGetError(), row.error);
        EXPECT_EQ(vgGetParameterVectorSize(row.object, row.param), 0);
        EXPECT_EQ(vgGetError(), row.error);
    }
}

TEST_F(ApiFrame, FixedPointObjectParametersAreForPaintsAndPathReads)
{
    VGfixed v[1] = {0x10000};
    const struct {
        VGHandle object;
        VGint param;
        bool set;
        VGErrorCode error;
    } table[] = {
        {path, VG_PATH_FORMAT, true, VG_ILLEGAL_ARGUMENT_ERROR},  // no fixed-point path setter
        {image, VG_IMAGE_FORMAT, false, VG_ILLEGAL_ARGUMENT_ERROR},
        {font, VG_FONT_NUM_GLYPHS, false, VG_ILLEGAL_ARGUMENT_ERROR},
        {0x40, VG_PAINT_TYPE, true, VG_BAD_HANDLE_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.object << " " << row.param);
        if (row.set)
            vgSetParameterxvEXT(row.object, row.param, 1, v);
        else
            vgGetParameterxvEXT(row.object, row.param, 1, v);
        EXPECT_EQ(vgGetError(), row.error);
    }
}

TEST_F(ApiFrame, VectorObjectParametersCheckHandleFirstThenPointers)
{
    alignas(4) unsigned char raw[8] = {};
    auto* misaligned = reinterpret_cast<VGfloat*>(raw + 2);
    vgSetParameterfv(0x40, VG_PAINT_COLOR, -1, nullptr);
    EXPECT_EQ(vgGetError(), VG_BAD_HANDLE_ERROR);
    vgSetParameterfv(paint, VG_PAINT_COLOR, -1, nullptr);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    vgSetParameterfv(paint, VG_PAINT_COLOR, 4, misaligned);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
    vgGetParameterfv(paint, VG_PAINT_COLOR, 0, misaligned);
    EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
}

TEST_F(ApiFrame, WithoutAContextObjectParametersDoNothing)
{
    VGVAL_vgcurrentcontexthandle = nullptr;
    vgSetParameteri(0, VG_PAINT_TYPE, 0);
    EXPECT_EQ(vgGetParameterVectorSize(0, VG_PAINT_TYPE), 0);
    EXPECT_EQ(vgHardwareQuery(VG_IMAGE_FORMAT_QUERY, VG_sRGBA_8888), VG_HARDWARE_UNACCELERATED);
    VGVAL_vgcurrentcontexthandle = ctx;
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(ApiFrame, HardwareQueryTakesStandardFormatsAndPathDatatypes)
{
    const struct {
        VGHardwareQueryType key;
        VGint setting;
        VGHardwareQueryResult result;
        VGErrorCode error;
    } table[] = {
        {VG_IMAGE_FORMAT_QUERY, VG_sRGBA_8888, VG_HARDWARE_ACCELERATED, VG_NO_ERROR},
        {VG_IMAGE_FORMAT_QUERY, VG_sBGR_565, VG_HARDWARE_ACCELERATED, VG_NO_ERROR},
        {VG_IMAGE_FORMAT_QUERY, VG_EXT_YUV422, VG_HARDWARE_UNACCELERATED, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_IMAGE_FORMAT_QUERY, 67, VG_HARDWARE_UNACCELERATED, VG_ILLEGAL_ARGUMENT_ERROR},
        {VG_PATH_DATATYPE_QUERY, VG_PATH_DATATYPE_S_8, VG_HARDWARE_ACCELERATED, VG_NO_ERROR},
        {VG_PATH_DATATYPE_QUERY, VG_PATH_DATATYPE_F, VG_HARDWARE_ACCELERATED, VG_NO_ERROR},
        {VG_PATH_DATATYPE_QUERY, 4, VG_HARDWARE_UNACCELERATED, VG_ILLEGAL_ARGUMENT_ERROR},
        {static_cast<VGHardwareQueryType>(0x2102), 0, VG_HARDWARE_UNACCELERATED, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.key << " " << row.setting);
        EXPECT_EQ(vgHardwareQuery(row.key, row.setting), row.result);
        EXPECT_EQ(vgGetError(), row.error);
    }
}

TEST_F(ApiFrame, GetStringNeedsNoContext)
{
    VGVAL_vgcurrentcontexthandle = nullptr;
    const struct {
        VGStringID name;
        const char* text;
    } table[] = {
        {VG_VENDOR, "ORLENZ Corporation"}, {VG_RENDERER, "LX740"}, {VG_VERSION, "1.1"}, {VG_EXTENSIONS, ""},
        {static_cast<VGStringID>(0x2304), nullptr},
    };
    for (const auto& row : table) {
        const VGubyte* s = vgGetString(row.name);
        if (!row.text)
            EXPECT_EQ(s, nullptr);
        else
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(s)), row.text);
    }
}

TEST_F(ApiFrame, EglImageHooksAnswer16ForAHandleThatIsNoImage)
{
    const VGImage stranger = image + 16;  // inside the arena, but no record of the table
    VGint w = -1, order = -1;
    VGuint addr = 7;
    EXPECT_EQ(vgIsImage(ctx, image), 0);
    EXPECT_EQ(vgIsImage(ctx, stranger), 16);
    EXPECT_EQ(vgIsImage(ctx, mask), 16);  // a mask layer is not an image
    EXPECT_EQ(vgIsMatchImage(ctx, stranger, 8, 8, 8, 8, 0, &order), 16);
    EXPECT_EQ(vgGetVGImage(ctx, stranger, &w, &w, &w, &w, &w, &w, &addr, &order), 16);
    EXPECT_EQ(vgBindVGImage(ctx, stranger, &addr, 0, &addr, 0), 16);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(order, -1);
    EXPECT_EQ(addr, 7u);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

}  // namespace
