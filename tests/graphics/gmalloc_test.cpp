// The GPU memory allocator: first fit with alignment padding, merging on free, the failure
// line, the 64 KB page touching of the GPU MMU mode and the pool's set-up and reset.
#include <gtest/gtest.h>

#include <sys/mman.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cgl.h"
#include "memmanage/gmalloc.h"

namespace {

constexpr MemAddr kNo = GM_NO_ADDRESS;

// A step of an allocator script: gmInitialize, gmMalloc (its result is kept by index) or gmFree
// of an earlier result.
struct Step {
    enum Op { Init, Malloc, Free } op;
    long long a = 0;  // Init: start offset from the pool base; Malloc: size; Free: result index
    long long b = 0;  // Init: size; Malloc: align
    long long expected = 0;  // Init: result; Malloc: offset from the pool base, or -1 for no block
};

Step init(long long offset, long long size, int result = 0) { return {Step::Init, offset, size, result}; }
Step take(long long size, long long align, long long expected) { return {Step::Malloc, size, align, expected}; }
Step give(long long index) { return {Step::Free, index, 0, 0}; }

class Allocator : public ::testing::Test {
protected:
    // Without the GPU MMU the allocator never touches the pool, so a script can use addresses
    // that are not mapped.
    void SetUp() override { setenv("OVG_MMU_MODE", "0", 1); }
    void TearDown() override { gmTerminate(); }
};

TEST_F(Allocator, EdgeCases)
{
    const MemAddr base = 0x10000000;
    struct Script {
        const char* name;
        std::vector<Step> steps;
    };
    const Script scripts[] = {
        {"the whole pool empties the free list",
         {init(0, 0x1000), take(0x1000, 1, 0), take(1, 1, -1)}},
        {"left, right, middle merge into one block",
         {init(0, 0x1000), take(0x100, 1, 0), take(0x100, 1, 0x100), take(0x100, 1, 0x200),
          take(0x100, 1, 0x300), give(0), give(2), give(1), take(0x300, 1, 0), take(0xc00, 1, 0x400)}},
        {"right, left, middle merge into one block",
         {init(0, 0x1000), take(0x100, 1, 0), take(0x100, 1, 0x100), take(0x100, 1, 0x200),
          take(0xd00, 1, 0x300), give(2), give(0), give(1), take(0x301, 1, -1), take(0x300, 1, 0)}},
        {"a freed block merges with the free tail", {init(0, 0x1000), take(0x100, 1, 0), take(0x100, 1, 0x100),
                                                     give(1), take(0xf00, 1, 0x100)}},
        {"size 0 and below fail", {init(0, 0x1000), take(0, 16, -1), take(-5, 1, -1), take(1, 1, 0)}},
        {"align 0 counts as 1", {init(3, 0x100), take(10, 0, 3), take(1, -4, 13)}},
        {"a block at 4 mod 16 gives 112 bytes and start + 12",
         {init(4, 0x1000), take(100, 16, 16), take(1, 1, 116)}},
        {"a block too small once padded is skipped",
         {init(4, 0x1000), take(96, 1, 4), take(0x19c, 1, 0x64), take(0x100, 1, 0x200), take(0x10, 1, 0x300),
          give(0), give(2), take(90, 16, 0x200), take(84, 16, 16)}},
        {"a request beyond the pool fails", {init(0, 0x1000), take(INT_MAX, 16, -1), take(0x1001, 1, -1)}},
        {"a pool past 4 GiB is refused", {init(0xeff00000ll, 0x200000, 1), init(0, 0x1000, 0)}},
        {"set up twice", {init(0, 0x1000), init(0x1000, 0x1000, 1)}},
        {"unknown addresses are ignored", {init(0, 0x1000), take(0x10, 1, 0), give(-1), take(0x10, 1, 0x10)}},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        std::vector<MemAddr> results;
        for (size_t i = 0; i < script.steps.size(); ++i) {
            const Step& s = script.steps[i];
            SCOPED_TRACE(i);
            switch (s.op) {
            case Step::Init:
                EXPECT_EQ(gmInitialize(base + s.a, static_cast<unsigned long>(s.b)), s.expected);
                break;
            case Step::Malloc: {
                MemAddr got = gmMalloc(static_cast<int>(s.a), static_cast<int>(s.b));
                EXPECT_EQ(got, s.expected < 0 ? kNo : base + s.expected);
                results.push_back(got);
                break;
            }
            case Step::Free:
                gmFree(s.a < 0 ? base + 0x777 : results.at(static_cast<size_t>(s.a)));
                break;
            }
        }
        gmTerminate();
    }
}

TEST_F(Allocator, BlocksInUseCountsWhatIsHandedOutAndNotReturned)
{
    ASSERT_EQ(gmInitialize(0x10000000, 0x1000), 0);
    EXPECT_EQ(gmBlocksInUse(), 0);
    MemAddr a = gmMalloc(0x100, 16), b = gmMalloc(0x100, 16);
    EXPECT_EQ(gmBlocksInUse(), 2);
    EXPECT_EQ(gmMalloc(0x2000, 16), kNo);
    gmFree(a);
    gmFree(a);
    EXPECT_EQ(gmBlocksInUse(), 1);
    gmFree(b);
    EXPECT_EQ(gmBlocksInUse(), 0);
}

TEST_F(Allocator, FailureLineAndFailureSeam)
{
    ASSERT_EQ(gmInitialize(0x10000000, 0x1000), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(gmMalloc(0x2000, 16), kNo);
    EXPECT_EQ(gmMalloc(0x1000, 1), 0x10000000u);
    EXPECT_EQ(gmMalloc(16, 1), kNo);  // empty free list
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "gmMalloc failed: request = 0x00002000 (bytes)\ngmMalloc failed: request = 0x00000010 (bytes)\n");
    gmTerminate();

    // A failed record allocation fails the call and leaves the lists as they were.
    ASSERT_EQ(gmInitialize(0x10000000, 0x1000), 0);
    gmFailRecordAllocation(2);
    EXPECT_EQ(gmMalloc(16, 1), 0x10000000u);
    EXPECT_EQ(gmMalloc(16, 1), kNo);
    EXPECT_EQ(gmMalloc(16, 1), 0x10000010u);
    gmFailBlockAllocation(1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(gmMalloc(32, 1), kNo);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "gmMalloc failed: request = 0x00000020 (bytes)\n");
    EXPECT_EQ(gmMalloc(32, 1), 0x10000020u);
    gmTerminate();
    gmFailRecordAllocation(1);
    EXPECT_EQ(gmInitialize(0x10000000, 0x1000), 1);
}

// GPU MMU mode: a 1 MB pool below 4 GiB with an inaccessible page right after it.
class MmuAllocator : public ::testing::Test {
protected:
    static constexpr size_t kPool = 0x100000;
    static constexpr size_t kPage = 0x10000;

    void SetUp() override
    {
        setenv("OVG_MMU_MODE", "1", 1);
        reserved = mmap(nullptr, 3 * kPool, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
        ASSERT_NE(reserved, MAP_FAILED);
        start = (reinterpret_cast<uintptr_t>(reserved) + kPool - 1) & ~(kPool - 1);
        ASSERT_EQ(mprotect(reinterpret_cast<void*>(start), kPool, PROT_READ | PROT_WRITE), 0);
    }
    void TearDown() override
    {
        gmTerminate();
        munmap(reserved, 3 * kPool);
    }

    uint32_t word(size_t offset) const { return *reinterpret_cast<const uint32_t*>(start + offset); }
    // Whether all 16 words at the 4 KB steps of a 64 KB page were written, and clears them.
    bool touchedAndReset(size_t page)
    {
        bool all = true;
        for (size_t step = 0; step < kPage; step += 0x1000) {
            all = all && word(page * kPage + step) == 0xFFFFFFFFu;
            *reinterpret_cast<uint32_t*>(start + page * kPage + step) = 0;
        }
        return all;
    }
    bool untouched(size_t page) const
    {
        for (size_t step = 0; step < kPage; step += 0x1000)
            if (word(page * kPage + step) != 0)
                return false;
        return true;
    }

    void* reserved = MAP_FAILED;
    uintptr_t start = 0;
};

TEST_F(MmuAllocator, EachPageIsTouchedOncePerPoolLifetime)
{
    ASSERT_EQ(gmInitialize(start, kPool), 0);
    MemAddr first = gmMalloc(0x100, 1);
    ASSERT_EQ(first, start);
    EXPECT_TRUE(touchedAndReset(0));
    EXPECT_TRUE(untouched(1));
    MemAddr second = gmMalloc(0x100, 1);  // same page: not touched again
    EXPECT_TRUE(untouched(0));
    MemAddr third = gmMalloc(2 * kPage, 1);  // pages 0 to 2: only 1 and 2 are new
    EXPECT_TRUE(untouched(0));
    EXPECT_TRUE(touchedAndReset(1));
    EXPECT_TRUE(touchedAndReset(2));
    EXPECT_TRUE(untouched(3));
    gmFree(first);
    gmFree(second);
    gmFree(third);  // the last block: the pool is forgotten, with its page bits
    ASSERT_EQ(gmInitialize(start, kPool), 0);
    gmMalloc(0x10, 1);
    EXPECT_TRUE(touchedAndReset(0));
}

TEST_F(MmuAllocator, LastBlockWithPaddingTouchesNothingPastThePool)
{
    ASSERT_EQ(gmInitialize(start, kPool), 0);
    ASSERT_EQ(gmMalloc(4, 1), start);
    // The rest of the pool from start + 4, padded to 16: ends exactly at the pool's end.
    MemAddr last = gmMalloc(static_cast<int>(kPool - 16), 16);
    EXPECT_EQ(last, start + 16);
    EXPECT_TRUE(touchedAndReset(kPool / kPage - 1));
}

TEST_F(MmuAllocator, AfterTheLastFreeThePoolComesFromTheRegisterLibrary)
{
    pltInit(0);
    const word32 base = cglGetTxmemBase();
    MemAddr a = gmMalloc(64, 16);
    EXPECT_EQ(a, base);
    *reinterpret_cast<uint32_t*>(static_cast<uintptr_t>(base)) = 0;
    gmFree(a);
    EXPECT_EQ(gmMalloc(0x20, 64), base);  // set up again: the page bits are clear
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(static_cast<uintptr_t>(base)), 0xFFFFFFFFu);
}

using MmuAllocatorDeathTest = MmuAllocator;

TEST_F(MmuAllocatorDeathTest, PoolMustBeWholeMegabytesBelow256Megabytes)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(gmInitialize(start + 0x1000, kPool), "\\(start_addr & \\(0x100000 - 1\\)\\) == 0");
    EXPECT_DEATH(gmInitialize(start, kPool + 0x1000), "\\(size & \\(0x100000 - 1\\)\\) == 0");
    EXPECT_DEATH(gmInitialize(0x10000000, 0x10000000), "\\(\\(1024 \\* 64\\) \\* 4096\\) > size");
}

}  // namespace
