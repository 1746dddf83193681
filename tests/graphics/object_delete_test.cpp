// Deleting objects: holders keep a destroyed record alive and the last release frees it, a
// context's paints are held and released, and a table is emptied with its last context.
// A record is known to be freed when the arena hands its block out again (freed blocks are
// reused last-freed first); under AddressSanitizer any read of a freed record fails the test.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "vg/common/vg_arena.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_share.h"

namespace {

template <typename T>
T* newRecord()
{
    return static_cast<T*>(VGFUNC_ArenaAlloc(sizeof(T)));
}

// True when the next block of the record's size is the record's own: it was freed last.
template <typename T>
bool freedLast(T* record)
{
    void* next = VGFUNC_ArenaAlloc(sizeof(T));
    const bool same = next == record;
    VGFUNC_ArenaFree(next);
    return same;
}

class ObjectDeletion : public ::testing::Test {
protected:
    OVGcontext* ctx = VGFUNC_CreateVGContext(nullptr);
    OVGshare* share() const { return ctx->sharedState; }
    ~ObjectDeletion() override
    {
        if (ctx)
            VGFUNC_DeleteVGContext(ctx);
    }
};

TEST_F(ObjectDeletion, ADestroyedParentStaysForItsChildButIsNoLongerAHandle)
{
    auto* parent = newRecord<OVGimage>();
    auto* child = newRecord<OVGimage>();
    child->parent = parent;
    VGFUNC_IncImage(parent);
    VGFUNC_AddImage(share(), parent);
    VGFUNC_AddImage(share(), child);

    VGFUNC_RemoveImage(share(), parent);
    VGFUNC_DeleteImage(parent);
    EXPECT_FALSE(VGFUNC_IsImage(share(), VGFUNC_HandleOf(parent)));
    EXPECT_TRUE(VGFUNC_IsImage(share(), VGFUNC_HandleOf(child)));
    EXPECT_TRUE(parent->deleted);

    VGFUNC_RemoveImage(share(), child);
    VGFUNC_DeleteImage(child);  // releases the parent, which goes too
    const std::set<void*> reused = {VGFUNC_ArenaAlloc(sizeof(OVGimage)), VGFUNC_ArenaAlloc(sizeof(OVGimage))};
    EXPECT_EQ(reused, (std::set<void*>{parent, child}));
}

TEST_F(ObjectDeletion, AContextHoldsItsPaintsUntilReleased)
{
    auto* paint = newRecord<OVGpaint>();
    VGFUNC_AddPaint(share(), paint);
    VGFUNC_SetPaint(ctx, paint, VG_FILL_PATH | VG_STROKE_PATH);
    EXPECT_EQ(paint->refCount, 2);
    EXPECT_EQ(VGFUNC_GetPaint(ctx, VG_FILL_PATH), paint);
    EXPECT_EQ(VGFUNC_GetPaint(ctx, VG_STROKE_PATH), paint);
    VGFUNC_SetPaint(ctx, paint, VG_FILL_PATH);  // the same paint again: held once per mode still
    EXPECT_EQ(paint->refCount, 2);

    VGFUNC_RemovePaint(share(), paint);
    VGFUNC_DeletePaint(paint);
    EXPECT_TRUE(paint->deleted);
    VGFUNC_SetPaint(ctx, nullptr, VG_STROKE_PATH);
    EXPECT_EQ(paint->refCount, 1);
    EXPECT_EQ(VGFUNC_GetPaint(ctx, VG_STROKE_PATH), nullptr);
    VGFUNC_SetPaint(ctx, nullptr, VG_FILL_PATH);
    EXPECT_TRUE(freedLast(paint));
}

TEST_F(ObjectDeletion, ADeletedPaintReleasesItsPattern)
{
    auto* pattern = newRecord<OVGimage>();
    auto* paint = newRecord<OVGpaint>();
    paint->paintPattern = pattern;
    VGFUNC_IncImage(pattern);
    VGFUNC_DeleteImage(pattern);
    EXPECT_TRUE(pattern->deleted);
    VGFUNC_DeletePaint(paint);
    EXPECT_TRUE(freedLast(pattern));
}

TEST_F(ObjectDeletion, ReleasingAPaintThatIsNotDeletedKeepsIt)
{
    auto* paint = newRecord<OVGpaint>();
    VGFUNC_AddPaint(share(), paint);
    VGFUNC_SetPaint(ctx, paint, VG_FILL_PATH);
    VGFUNC_SetPaint(ctx, nullptr, VG_FILL_PATH);
    EXPECT_EQ(paint->refCount, 0);
    EXPECT_TRUE(VGFUNC_IsPaint(share(), VGFUNC_HandleOf(paint)));
    EXPECT_FALSE(freedLast(paint));
}

TEST_F(ObjectDeletion, TheTableGoesWithItsLastContext)
{
    OVGcontext* second = VGFUNC_CreateVGContext(ctx);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->sharedState, share());
    EXPECT_EQ(share()->refCount, 2);
    auto* font = newRecord<OVGfont>();
    VGFUNC_AddFont(share(), font);

    VGFUNC_DeleteVGContext(ctx);
    ctx = second;
    EXPECT_EQ(share()->refCount, 1);
    EXPECT_TRUE(VGFUNC_IsFont(share(), VGFUNC_HandleOf(font)));

    VGFUNC_DeleteVGContext(ctx);
    ctx = nullptr;
    EXPECT_TRUE(freedLast(font));
}

TEST_F(ObjectDeletion, DeletingTheTableFreesEveryChainedRecordOfEveryKind)
{
    // Blocks of 2032 bytes lie 2048 apart: every record lands in one bucket, chained.
    std::vector<void*> records;
    for (int i = 0; i < 3; ++i) {
        auto* image = static_cast<OVGimage*>(VGFUNC_ArenaAlloc(2032));
        auto* mask = static_cast<OVGimage*>(VGFUNC_ArenaAlloc(2032));
        auto* path = static_cast<OVGpath*>(VGFUNC_ArenaAlloc(2032));
        auto* paint = static_cast<OVGpaint*>(VGFUNC_ArenaAlloc(2032));
        auto* font = static_cast<OVGfont*>(VGFUNC_ArenaAlloc(2032));
        VGFUNC_AddImage(share(), image);
        VGFUNC_AddMaskLayer(share(), mask);
        VGFUNC_AddPath(share(), path);
        VGFUNC_AddPaint(share(), paint);
        VGFUNC_AddFont(share(), font);
        records.insert(records.end(), {image, mask, path, paint, font});
    }
    VGFUNC_DeleteVGContext(ctx);
    ctx = nullptr;
    std::set<void*> reused;
    for (size_t i = 0; i < records.size(); ++i)
        reused.insert(VGFUNC_ArenaAlloc(2032));
    EXPECT_EQ(reused, std::set<void*>(records.begin(), records.end()));
}

}  // namespace
