// The low arena of the object records: every block below 4 GiB, 16-byte aligned and zeroed,
// freed blocks reused, sizes beyond the largest record refused, and (under AddressSanitizer) a
// freed block poisoned.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "vg/common/vg_arena.h"

namespace {

TEST(Arena, ManyRecordsOfEveryKindLieLowAlignedAndZeroed)
{
    std::set<uintptr_t> seen;
    for (size_t size : {48u, 96u, 200u, 420u, 1000u}) {
        for (int i = 0; i < 10000; ++i) {
            auto* p = static_cast<unsigned char*>(VGFUNC_ArenaAlloc(size));
            ASSERT_NE(p, nullptr);
            const uintptr_t a = reinterpret_cast<uintptr_t>(p);
            ASSERT_LT(static_cast<uint64_t>(a) + size, 0x100000000ull);
            ASSERT_EQ(a % 16, 0u);
            ASSERT_TRUE(seen.insert(a).second);
            for (size_t k = 0; k < size; k += 37)
                ASSERT_EQ(p[k], 0);
            std::memset(p, 0xA5, size);
        }
    }
}

TEST(Arena, FreedBlocksAreReusedZeroedAndOversizeIsRefused)
{
    void* a = VGFUNC_ArenaAlloc(64);
    std::memset(a, 0xFF, 64);
    VGFUNC_ArenaFree(a);
    void* b = VGFUNC_ArenaAlloc(60);  // same size class
    EXPECT_EQ(b, a);
    EXPECT_EQ(static_cast<unsigned char*>(b)[63], 0);
    EXPECT_NE(VGFUNC_ArenaAlloc(64), b);
    EXPECT_EQ(VGFUNC_ArenaAlloc(1u << 20), nullptr);
    VGFUNC_ArenaFree(nullptr);
}

#if defined(__SANITIZE_ADDRESS__)
TEST(ArenaDeathTest, AFreedRecordIsPoisoned)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto* p = static_cast<volatile int*>(VGFUNC_ArenaAlloc(32));
    VGFUNC_ArenaFree(const_cast<int*>(p));
    EXPECT_DEATH(p[2] = 1, "use-after-poison");
}
#endif

}  // namespace
