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

// Each kind's add, remove and find, so that one test body covers all five.
#define TABLE_KIND(Name, RecordType)                                                  \
    struct Name##Kind {                                                               \
        using Record = RecordType;                                                    \
        static void add(OVGshare* s, Record* r) { VGFUNC_Add##Name(s, r); }           \
        static void remove(OVGshare* s, Record* r) { VGFUNC_Remove##Name(s, r); }     \
        static Record* find(OVGshare* s, VGHandle h) { return VGFUNC_Find##Name(s, h); } \
    }
TABLE_KIND(Path, OVGpath);
TABLE_KIND(Paint, OVGpaint);
TABLE_KIND(Image, OVGimage);
TABLE_KIND(Font, OVGfont);
TABLE_KIND(MaskLayer, OVGimage);

template <typename Kind>
class ShareOfKind : public Share {};
using Kinds = ::testing::Types<PathKind, PaintKind, ImageKind, FontKind, MaskLayerKind>;
TYPED_TEST_SUITE(ShareOfKind, Kinds);

TYPED_TEST(ShareOfKind, ManyRecordsRoundTripAndOtherValuesAreNeverObjects)
{
    using Record = typename TypeParam::Record;
    std::vector<Record*> records;
    for (int i = 0; i < 10000; ++i) {
        records.push_back(record<Record>());
        ASSERT_LT(reinterpret_cast<uint64_t>(records.back()), 0x100000000ull);
        TypeParam::add(this->share, records.back());
    }
    for (Record* r : records)
        ASSERT_EQ(TypeParam::find(this->share, VGFUNC_HandleOf(r)), r);
    std::mt19937 rng(7);
    int found = 0;
    for (int i = 0; i < 10000; ++i)
        found += VGFUNC_IsObject(this->share, static_cast<VGHandle>(rng()) | 1u);  // never a record address
    EXPECT_EQ(found, 0);
    EXPECT_FALSE(VGFUNC_IsObject(this->share, 0));
    // Freed records' handles are not objects, and are not read (the arena poisons them).
    for (size_t i = 0; i < records.size(); i += 2) {
        TypeParam::remove(this->share, records[i]);
        VGFUNC_ArenaFree(records[i]);
    }
    for (size_t i = 0; i < records.size(); ++i)
        ASSERT_EQ(VGFUNC_IsObject(this->share, VGFUNC_HandleOf(records[i])), i % 2) << i;
}

}  // namespace
