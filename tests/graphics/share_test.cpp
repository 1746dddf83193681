// The object table: buckets by address bits 4 to 10, chains, kinds kept apart, and handles that
// are never objects.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "vg/common/vg_arena.h"
#include "vg/common/vg_share.h"

namespace {

template <typename T>
T* record(size_t size = sizeof(T))
{
    return static_cast<T*>(VGFUNC_ArenaAlloc(size));
}

class Share : public ::testing::Test {
protected:
    OVGshare* share = VGFUNC_CreateShare();
    ~Share() override { free(share); }
};

TEST_F(Share, TwoRecordsOfOneBucketStayFindable)
{
    // Blocks of 2032 bytes lie 2048 apart in the arena: same bits 4 to 10, same bucket.
    auto* first = record<OVGimage>(2032);
    auto* second = record<OVGimage>(2032);
    ASSERT_EQ(VGFUNC_BucketOf(VGFUNC_HandleOf(first)), VGFUNC_BucketOf(VGFUNC_HandleOf(second)));
    VGFUNC_AddImage(share, first);
    VGFUNC_AddImage(share, second);
    EXPECT_EQ(share->numImage, 2);
    EXPECT_TRUE(VGFUNC_IsImage(share, VGFUNC_HandleOf(first)));
    EXPECT_TRUE(VGFUNC_IsImage(share, VGFUNC_HandleOf(second)));
    VGFUNC_RemoveImage(share, first);
    EXPECT_FALSE(VGFUNC_IsImage(share, VGFUNC_HandleOf(first)));
    EXPECT_TRUE(VGFUNC_IsImage(share, VGFUNC_HandleOf(second)));
    VGFUNC_RemoveImage(share, first);  // not in the table: nothing changes
    EXPECT_EQ(share->numImage, 1);
}

TEST_F(Share, KindsAreKeptApart)
{
    auto* image = record<OVGimage>();
    auto* mask = record<OVGimage>();
    auto* font = record<OVGfont>();
    auto* paint = record<OVGpaint>();
    auto* path = record<OVGpath>();
    VGFUNC_AddImage(share, image);
    VGFUNC_AddMaskLayer(share, mask);
    VGFUNC_AddFont(share, font);
    VGFUNC_AddPaint(share, paint);
    VGFUNC_AddPath(share, path);
    EXPECT_FALSE(VGFUNC_IsImage(share, VGFUNC_HandleOf(mask)));
    EXPECT_FALSE(VGFUNC_IsMaskLayer(share, VGFUNC_HandleOf(image)));
    EXPECT_FALSE(VGFUNC_IsPaint(share, VGFUNC_HandleOf(path)));
    for (const void* r : {static_cast<const void*>(image), static_cast<const void*>(mask),
                          static_cast<const void*>(font), static_cast<const void*>(paint),
                          static_cast<const void*>(path)})
        EXPECT_TRUE(VGFUNC_IsObject(share, VGFUNC_HandleOf(r)));
    EXPECT_EQ(share->numFont + share->numMaskLayer + share->numPaint + share->numPath + share->numImage, 5);
}

TEST_F(Share, ManyRecordsRoundTripAndOtherValuesAreNeverObjects)
{
    std::vector<OVGpath*> paths;
    for (int i = 0; i < 10000; ++i) {
        paths.push_back(record<OVGpath>());
        VGFUNC_AddPath(share, paths.back());
    }
    for (OVGpath* p : paths)
        ASSERT_TRUE(VGFUNC_IsPath(share, VGFUNC_HandleOf(p)));
    std::mt19937 rng(7);
    int found = 0;
    for (int i = 0; i < 10000; ++i)
        found += VGFUNC_IsObject(share, static_cast<VGHandle>(rng()) | 1u);  // never a record address
    EXPECT_EQ(found, 0);
    EXPECT_FALSE(VGFUNC_IsObject(share, 0));
    // A freed record's handle is not an object, and is not read (the arena poisons it).
    VGFUNC_RemovePath(share, paths[0]);
    VGFUNC_ArenaFree(paths[0]);
    EXPECT_FALSE(VGFUNC_IsPath(share, VGFUNC_HandleOf(paths[0])));
}

}  // namespace
