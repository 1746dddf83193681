// Whether two images share pixels: one buffer and areas that share a pixel; areas that only
// touch do not.
#include <gtest/gtest.h>

#include "vg/common/vg_image.h"

namespace {

TEST(ImageOverlap, SameBufferAndMeetingAreas)
{
    ALbuffer one{}, other{};
    const struct {
        const char* name;
        OVGrect a, b;
        ALbuffer* bufferOfB;
        int overlap;
    } table[] = {
        {"inside", {0, 0, 10, 10}, {2, 2, 3, 3}, &one, 1},
        {"crossing", {0, 0, 10, 10}, {8, 8, 10, 10}, &one, 1},
        {"touching right edge", {0, 0, 10, 10}, {10, 0, 5, 5}, &one, 0},
        {"one column in common", {0, 0, 10, 10}, {9, 0, 5, 5}, &one, 1},
        {"touching bottom edge", {0, 0, 10, 10}, {0, 10, 5, 5}, &one, 0},
        {"one row in common", {0, 0, 10, 10}, {0, 9, 5, 5}, &one, 1},
        {"apart", {0, 0, 10, 10}, {11, 0, 5, 5}, &one, 0},
        {"below", {0, 0, 10, 10}, {0, 11, 5, 5}, &one, 0},
        {"another buffer", {0, 0, 10, 10}, {2, 2, 3, 3}, &other, 0},
        {"past the 32-bit range", {2147483000, 0, 2147483647, 1}, {0, 0, 10, 1}, &one, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        OVGimage a{}, b{};
        a.buffer = &one, a.activeRect = row.a;
        b.buffer = row.bufferOfB, b.activeRect = row.b;
        EXPECT_EQ(VGFUNC_IsOverlap(&a, &b), row.overlap);
        EXPECT_EQ(VGFUNC_IsOverlap(&b, &a), row.overlap);
    }
}

}  // namespace
