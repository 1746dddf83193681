// The YUV-to-RGB conversion loaded into the pixel engine only when the context changed it.
#include "accel_test_support.h"

#include "vg/al_lx740/vg_al_lx740_setstate.h"

namespace gputest {
namespace {

class YuvParam : public AccelTest {};

TEST_F(YuvParam, LoadedWhenTheContextChangedItAndTakenOverOnce)
{
    switchModelOff();
    ctx.yuv2rgbConversion = 0x15;
    for (int i = 0; i < 9; ++i)
        ctx.yuv2rgbCoefficient[i] = 0x100u + static_cast<VGuint>(i);
    ctx.dirty = OVG_DIRTY_YUV_RGB | OVG_DIRTY_BLEND_MODE;
    VGALFUNC_lx_set_yuv_param();
    EXPECT_EQ(ctx.dirty, 0);
    EXPECT_EQ(VGALVAL_lx740_ctxdirty, OVG_DIRTY_YUV_RGB | OVG_DIRTY_BLEND_MODE);
    WAITCMDDONE();
    std::vector<RegValue> expected = {{LX_PE_OVG_YUV_CTRL, 0x15}};
    for (word32 i = 0; i < 9; ++i)
        expected.emplace_back(LX_PE_OVG_YUV_COEF00 + i, 0x100u + i);
    std::vector<RegValue> yuv;
    for (const RegValue& rv : fetched(Unit::PE))
        if (rv.first >= LX_PE_OVG_YUV_CTRL && rv.first <= LX_PE_OVG_YUV_COEF22)
            yuv.push_back(rv);
    EXPECT_EQ(yuv, expected);

    // Without the bit nothing is loaded.
    VGALVAL_lx740_ctxdirty = 0;
    gpu.clearLog();
    ctx.dirty = OVG_DIRTY_BLEND_MODE;
    VGALFUNC_lx_set_yuv_param();
    WAITCMDDONE();
    for (const RegValue& rv : fetched(Unit::PE))
        EXPECT_FALSE(rv.first >= LX_PE_OVG_YUV_CTRL && rv.first <= LX_PE_OVG_YUV_COEF22) << rv.first;
}

}  // namespace
}  // namespace gputest
