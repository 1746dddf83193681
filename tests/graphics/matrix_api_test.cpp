// The matrix entry points act on the matrix the context's matrix mode selects, record the
// pointer errors of the load, multiply and get forms, and do nothing without a context.
#include <gtest/gtest.h>

#include <array>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"

namespace {

using Nine = std::array<VGfloat, 9>;

class MatrixApi : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);
    MatrixApi() { VGVAL_vgcurrentcontexthandle = ctx; }
    ~MatrixApi() override
    {
        VGVAL_vgcurrentcontexthandle = nullptr;
        VGFUNC_DeleteVGContext(ctx);
    }
    static Nine current()
    {
        Nine m{};
        vgGetMatrix(m.data());
        return m;
    }
};

TEST_F(MatrixApi, ActsOnTheSelectedMatrix)
{
    vgTranslate(10, 20);
    vgScale(2, 3);
    EXPECT_EQ(current(), (Nine{2, 0, 0, 0, 3, 0, 10, 20, 1}));

    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    const VGfloat projective[9] = {1, 0, 2, 0, 1, 0, 0, 0, 1};
    vgLoadMatrix(projective);
    EXPECT_EQ(current(), (Nine{1, 0, 2, 0, 1, 0, 0, 0, 1}));  // the image matrix keeps w0
    vgLoadIdentity();
    vgRotate(90);
    vgShear(0, 0);
    vgMultMatrix(projective);
    const Nine rotated = current();
    EXPECT_NEAR(rotated[1], 1, 1e-6);
    EXPECT_NEAR(rotated[3], -1, 1e-6);

    vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE);
    EXPECT_EQ(current(), (Nine{2, 0, 0, 0, 3, 0, 10, 20, 1}));  // untouched by the image calls
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(MatrixApi, FixedPointFormsConvert)
{
    vgTranslatexEXT(10 << 16, 1 << 15);
    vgScalexEXT(2 << 16, 1 << 16);
    vgRotatexEXT(0);
    vgShearxEXT(0, 0);
    EXPECT_EQ(current(), (Nine{2, 0, 0, 0, 1, 0, 10, 0.5f, 1}));
    VGfixed fixed[9];
    vgGetMatrixxEXT(fixed);
    EXPECT_EQ(fixed[0], 2 << 16);
    EXPECT_EQ(fixed[7], 1 << 15);
    const VGfixed identity[9] = {1 << 16, 0, 0, 0, 1 << 16, 0, 0, 0, 1 << 16};
    vgLoadMatrixxEXT(identity);
    vgMultMatrixxEXT(identity);
    EXPECT_EQ(current(), (Nine{1, 0, 0, 0, 1, 0, 0, 0, 1}));
}

TEST_F(MatrixApi, BadPointersAreRecordedAndNothingChanges)
{
    alignas(4) unsigned char bytes[40] = {};
    auto* misaligned = reinterpret_cast<VGfloat*>(bytes + 2);
    vgTranslate(1, 1);
    for (auto call : {+[](VGfloat* p) { vgLoadMatrix(p); }, +[](VGfloat* p) { vgMultMatrix(p); },
                      +[](VGfloat* p) { vgGetMatrix(p); },
                      +[](VGfloat* p) { vgLoadMatrixxEXT(reinterpret_cast<VGfixed*>(p)); }}) {
        for (VGfloat* p : {static_cast<VGfloat*>(nullptr), misaligned}) {
            call(p);
            EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
        }
    }
    EXPECT_EQ(current(), (Nine{1, 0, 0, 0, 1, 0, 1, 1, 1}));
    for (unsigned char b : bytes)
        EXPECT_EQ(b, 0);
}

TEST_F(MatrixApi, WithoutAContextNothingHappens)
{
    VGVAL_vgcurrentcontexthandle = nullptr;
    vgTranslate(5, 5);
    vgLoadMatrix(nullptr);
    Nine untouched{7, 7, 7, 7, 7, 7, 7, 7, 7};
    vgGetMatrix(untouched.data());
    EXPECT_EQ(untouched[0], 7);
    VGVAL_vgcurrentcontexthandle = ctx;
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(current(), (Nine{1, 0, 0, 0, 1, 0, 0, 0, 1}));
}

}  // namespace
