// The image record of a mask layer takes its format from the buffer the acceleration layer
// makes. The layer's mask buffers are not built yet: a stand-in here answers the one call
// VGFUNC_CreateMaskImage makes (drop it once the layer provides VGHAL_ALcreateMaskImage).
#include <gtest/gtest.h>

#include <cstdlib>

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_image.h"

namespace {
int standInBits = 8;
bool standInFails = false;
}  // namespace

extern "C" ALbuffer* VGHAL_ALcreateMaskImage(int width, int height)
{
    if (standInFails)
        return nullptr;
    auto* buffer = static_cast<ALbuffer*>(std::calloc(1, sizeof(ALbuffer)));
    buffer->width = width;
    buffer->height = height;
    buffer->bpp = standInBits;
    buffer->addr = CGL_NO_ADDRESS;  // no GPU memory to free
    return buffer;
}

namespace {

TEST(MaskImage, FormatFollowsTheBitsOfTheLayersBuffer)
{
    const struct {
        int bits;
        VGImageFormat format;
    } table[] = {{1, VG_A_1}, {4, VG_A_4}, {8, VG_A_8}, {16, VG_A_8}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.bits);
        standInBits = row.bits;
        OVGimage* mask = VGFUNC_CreateMaskImage(40, 30);
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(mask->format, row.format);
        EXPECT_EQ(mask->quality, VGbitfield(VG_IMAGE_QUALITY_NONANTIALIASED));
        EXPECT_EQ(mask->activeRect.width, 40);
        EXPECT_EQ(mask->activeRect.height, 30);
        EXPECT_EQ(mask->buffer->bpp, row.bits);
        VGFUNC_DeleteImage(mask);
    }
    standInFails = true;
    EXPECT_EQ(VGFUNC_CreateMaskImage(40, 30), nullptr);
    standInFails = false;
}

}  // namespace
