// The acceleration layer's records of paths, paints and images on the simulated GPU: creation,
// sizes, the client's data, direct images over client memory and what deletion gives back.
#include "accel_test_support.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <VG/openvg_vendor.h>

#include "memmanage/gmalloc.h"
#include "vg/al_lx740/vg_al_lx740_memory.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"

namespace gputest {
namespace {

class LayerRecords : public AccelTest {
protected:
    void TearDown() override
    {
        GpuTest::TearDown();
        VGALFUNC_lx_cmdbuffer_free();
        VGALFUNC_al_lx740_rect_terminate();
    }

    static std::vector<word32> queued()
    {
        return std::vector<word32>(VGALVAL_freelist, VGALVAL_freelist + VGALVAL_freelistcount);
    }

    static std::vector<word32> gpuWords(word32 addr, word32 count)
    {
        std::vector<word32> words(count);
        VGALFUNC_TVGreadMemory32(words.data(), addr, count);
        return words;
    }
};

word32* heapList()
{
    return static_cast<word32*>(std::calloc(4, sizeof(word32)));
}

TEST_F(LayerRecords, APathRecordStartsEmptyWithTheDashPhaseUnknown)
{
    OVGpath path{};
    ASSERT_EQ(VGHAL_ALcreatePath(&path), 1);
    const ALpath* al = static_cast<const ALpath*>(path.aldep);
    ASSERT_NE(al, nullptr);
    EXPECT_EQ(al->stroke_dash_phase, -1);
    EXPECT_EQ(al->stroke_cmd.heap, nullptr);
    EXPECT_EQ(al->fill_line_cmd.heap, nullptr);
    EXPECT_EQ(al->stroke_cmd_count + al->fill_line_cmd_count + al->stroke_cmd_target + al->fill_cmd_target, 0);
    VGHAL_ALdeletePath(&path);
    EXPECT_EQ(path.aldep, nullptr);
}

TEST_F(LayerRecords, DeletingAPathGivesBackItsListsWhereverTheyLie)
{
    // Heap lists are freed (the sanitizer build reports a leak or a double free); GPU lists are
    // queued for release once, the fill block as one, absent ones (all ones) not at all.
    const word32 strokeBlock = VGALFUNC_VAlloc(16, 1, 32, 32, 0, 0, 0);
    const word32 fillBlock = VGALFUNC_VAlloc(64, 1, 32, 32, 0, 0, 0);
    struct Case {
        int strokeOnGpu, fillOnGpu;
        word32 stroke, fill;
        std::vector<word32> queued;
    } const cases[] = {
        {0, 0, 0, 0, {}},
        {1, 1, strokeBlock, fillBlock, {strokeBlock, fillBlock}},
        {1, 0, CGL_NO_ADDRESS, 0, {}},
        {0, 1, 0, CGL_NO_ADDRESS, {}},
        {0, 1, 0, fillBlock, {fillBlock}},
    };
    for (const Case& c : cases) {
        OVGpath path{};
        ASSERT_EQ(VGHAL_ALcreatePath(&path), 1);
        ALpath* al = static_cast<ALpath*>(path.aldep);
        al->stroke_cmd_target = c.strokeOnGpu;
        al->fill_cmd_target = c.fillOnGpu;
        if (c.strokeOnGpu)
            al->stroke_cmd.gpu = c.stroke;
        else
            al->stroke_cmd.heap = heapList();
        if (c.fillOnGpu) {
            al->fill_line_cmd.gpu = c.fill;
            al->fill_quad_cmd.gpu = c.fill + 4;  // inside the one block
        } else {
            al->fill_line_cmd.heap = heapList();
            al->fill_cube_cmd.heap = heapList();  // the others stay null
        }
        VGALVAL_freelistcount = 0;
        VGHAL_ALdeletePath(&path);
        EXPECT_EQ(queued(), c.queued) << c.strokeOnGpu << c.fillOnGpu;
    }
    VGALVAL_freelistcount = 0;
}

TEST_F(LayerRecords, DeletingTheCurrentPaintMakesTheNextDrawingResendIt)
{
    OVGpaint current{}, other{};
    ASSERT_EQ(VGHAL_ALcreatePaint(&current), 1);
    ASSERT_EQ(VGHAL_ALcreatePaint(&other), 1);
    const GRADTEXINFO* info = static_cast<const GRADTEXINFO*>(current.aldep);
    EXPECT_EQ(info->offsetnum, 0);
    EXPECT_EQ(info->offsetnum_repeat, 0);

    currentpaint = &current;
    VGHAL_ALdeletePaint(&other);
    EXPECT_EQ(currentpaint, &current);
    VGHAL_ALdeletePaint(&current);
    EXPECT_EQ(currentpaint, nullptr);
    EXPECT_EQ(current.aldep, nullptr);
}

TEST_F(LayerRecords, DeletingTheCurrentImageMakesTheNextDrawingRewriteIt)
{
    OVGimage current{}, child{}, other{};
    current.buffer = VGHAL_ALcreateImage(4, 4, 32);
    ASSERT_NE(current.buffer, nullptr);
    const word32 pixels = current.buffer->addr;

    VGALVAL_currentimage = &current;
    VGHAL_ALdeleteImage(nullptr, &other);
    EXPECT_EQ(VGALVAL_currentimage, &current);
    VGALVAL_freelistcount = 0;
    VGHAL_ALdeleteImage(current.buffer, &current);
    EXPECT_EQ(VGALVAL_currentimage, nullptr);
    EXPECT_EQ(queued(), std::vector<word32>{pixels});

    // A child gives back no buffer, but stops being the current image all the same.
    VGALVAL_currentimage = &child;
    VGHAL_ALdeleteImage(nullptr, &child);
    EXPECT_EQ(VGALVAL_currentimage, nullptr);
    VGALVAL_freelistcount = 0;
}

TEST_F(LayerRecords, ImageRowsArePaddedToEightPixels)
{
    struct Case {
        int width, height, bits, stride;
    } const cases[] = {
        {1, 1, 32, 32}, {8, 2, 32, 32}, {9, 1, 16, 32}, {17, 3, 8, 24}, {1, 1, 1, 1}, {3, 2, 4, 4},
    };
    for (const Case& c : cases) {
        ALbuffer* image = VGHAL_ALcreateImage(c.width, c.height, c.bits);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->stride, c.stride) << c.width << " at " << c.bits;
        EXPECT_EQ(image->bpp, c.bits);
        EXPECT_EQ(image->masklayer, 0);
        EXPECT_EQ(image->directimage, 0);
        EXPECT_EQ(image->addr % 32, 0u);
        VGHAL_ALdeleteImage(image, nullptr);
    }
    VGALFUNC_al_lx740_free_all_list(1);
}

TEST_F(LayerRecords, ANewImageReadsZeroWhereOldPixelsLay)
{
    const word32 used = VGALFUNC_VAlloc(64, 4, 32, 32, 0, 0, 1);
    const std::vector<word32> junk(64 * 4, 0xA5A5A5A5u);
    VGALFUNC_TVGwriteMemory32(used, junk.data(), static_cast<word32>(junk.size()));
    gmFree(used);

    ALbuffer* image = VGHAL_ALcreateImage(60, 4, 32);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->addr, used);
    WAITCMDDONE();
    EXPECT_EQ(gpuWords(image->addr, 64 * 4), std::vector<word32>(64 * 4, 0));
    VGHAL_ALdeleteImage(image, nullptr);
    VGALFUNC_al_lx740_free_all_list(1);
}

TEST_F(LayerRecords, AnImageWithoutGpuMemoryIsNull)
{
    const unsigned char data[8] = {};
    EXPECT_EQ(VGHAL_ALcreateImage(1 << 20, 1 << 20, 32), nullptr);  // beyond the pool
    gmFailBlockAllocation(1);
    EXPECT_EQ(VGHAL_ALcreateImage(16, 16, 32), nullptr);
    gmFailBlockAllocation(1);
    EXPECT_EQ(VGHAL_ALcreateImageEXT(VG_EXT_YUV422, 4, 1, data), nullptr);
    gmFailBlockAllocation(1);
    EXPECT_EQ(VGHAL_ALcreateImageEXT(VG_EXT_LVQ88, 1, 1, data), nullptr);
}

// The client's buffer is exactly the allocation, at an address only 2-byte aligned as the
// vendor formats allow: a longer read or a misaligned word read fails the sanitizer build.
TEST_F(LayerRecords, VendorImagesTakeTheClientsDataWhole)
{
    struct Case {
        VGImageFormat format;
        int width, height;
        int stride;
        size_t bytes;
    } const cases[] = {
        {VG_EXT_YUV422, 5, 3, 12, 12 * 3},  // width 5 is 6 pixels of 2 bytes a row
        {VG_EXT_YUV422, 4, 1, 8, 8},
        {VG_EXT_LVQ88, 9, 9, 0, 4 * 32},    // four 8 x 8 blocks of 32 bytes in one row
        {VG_EXT_LVQ84, 8, 8, 0, 32},
        {VG_EXT_LVQ88A1, 17, 1, 0, 3 * 32},
        {VG_EXT_LVQ88A4, 1, 16, 0, 2 * 32},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> storage(c.bytes + 2);
        unsigned char* data = storage.data() + 2;
        for (size_t i = 0; i < c.bytes; ++i)
            data[i] = static_cast<unsigned char>(i * 7 + 1);
        const std::vector<unsigned char> exact(data, data + c.bytes);

        ALbuffer* image = VGHAL_ALcreateImageEXT(c.format, c.width, c.height, data);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->stride, c.stride) << std::hex << c.format;
        EXPECT_EQ(image->bpp, 16);
        std::vector<word32> words = gpuWords(image->addr, static_cast<word32>(c.bytes / 4));
        EXPECT_EQ(std::memcmp(words.data(), exact.data(), c.bytes), 0) << std::hex << c.format;
        VGHAL_ALdeleteImage(image, nullptr);
    }
    VGALFUNC_al_lx740_free_all_list(1);
}

TEST_F(LayerRecords, DirectImagesWrapClientMemoryTheGpuCanReach)
{
    // Only the pointer's value matters: creation neither reads the client memory nor takes GPU memory.
    struct Case {
        VGImageFormat format;
        int width, height;
        uintptr_t data;
        int stride;
        int bpp;  // 0: refused
    } const cases[] = {
        {VG_sRGBA_8888, 4, 4, 0x10000000u, 16, 32},
        {VG_sRGB_565, 2, 2, 0x20000002u, 4, 16},
        {VG_A_1, 8, 1, 0x1000u, 1, 1},
        {VG_EXT_YUV422, 4, 4, 0x30000000u, 8, 16},
        {VG_EXT_LVQ88, 9, 9, 0x40000000u, 0, 16},
        {VG_sRGBA_8888, 4, 2, 0xFFFFFFE0u, 16, 32},      // its last byte is the last below 4 GiB
        {VG_sRGBA_8888, 4, 2, 0xFFFFFFF0u, 16, 0},       // its second row crosses 4 GiB
        {VG_A_1, 1, 1, 0xFFFFFFFFu, 1, 0},               // all ones is no GPU address
        {VG_EXT_LVQ88, 9, 9, 0xFFFFFF80u, 64, 16},        // 128 bytes of blocks up to 4 GiB, in one row
        {VG_EXT_LVQ88, 9, 9, 0xFFFFFFC0u, 0, 0},         // ... and past it
        {VG_EXT_YUV422, 3, 1, 0xFFFFFFF8u, 8, 16},       // an odd width is read as whole pixel pairs
        {VG_EXT_YUV422, 3, 1, 0xFFFFFFFAu, 8, 0},
        {VG_sRGBA_8888, 4, 4, 0x100000000ull, 16, 0},    // above 4 GiB
        {VG_sRGBA_8888, 4, 4, 0x7F0000001000ull, 16, 0},  // where a 64-bit heap lies
        {VG_sRGBA_8888, 4, 3, 0x1000u, -16, 32},          // rows upwards from the pointer
        {VG_sRGBA_8888, 4, 3, 0x10u, -16, 0},             // ... below address 0
    };
    if (sizeof(uintptr_t) < 8)
        GTEST_SKIP() << "a 32-bit host has no memory above 4 GiB";
    for (const Case& c : cases) {
        void* data = reinterpret_cast<void*>(c.data);
        ALbuffer* image = VGHAL_ALcreateDirectImageEXT(c.format, c.width, c.height, data, c.stride);
        if (c.bpp == 0) {
            EXPECT_EQ(image, nullptr) << std::hex << c.data;
            continue;
        }
        ASSERT_NE(image, nullptr) << std::hex << c.data;
        EXPECT_EQ(image->addr, static_cast<word32>(c.data));
        EXPECT_EQ(image->client, data);
        EXPECT_EQ(image->directimage, 1);
        EXPECT_EQ(image->bpp, c.bpp);
        EXPECT_EQ(image->stride, c.stride);
        EXPECT_EQ(image->width, c.width);
        VGALVAL_freelistcount = 0;
        VGHAL_ALdeleteImage(image, nullptr);
        EXPECT_TRUE(queued().empty());
    }
}

}  // namespace
}  // namespace gputest
