// The clash test of the clock-in and clock-out mode bands.

#include "timebands.h"

#include <gtest/gtest.h>

namespace {

int hm(int hours, int minutes)
{
    return hours * 60 + minutes;
}

TEST(ModeBands, ClashWhenTheyShareAMinute)
{
    const struct {
        int start, end, otherStart, otherEnd;
        bool clash;
    } cases[] = {
        {hm(11, 0), hm(13, 0), hm(9, 0), hm(12, 0), true},    // overlapping
        {hm(12, 0), hm(15, 0), hm(9, 0), hm(12, 0), false},   // touching
        {hm(8, 0), hm(13, 0), hm(9, 0), hm(12, 0), true},     // the other inside
        {hm(4, 0), hm(6, 0), hm(22, 0), hm(5, 0), true},      // in the other's morning part
        {hm(22, 0), hm(5, 0), hm(4, 0), hm(6, 0), true},      // the other in this one's morning
        {hm(22, 0), hm(4, 0), hm(4, 0), hm(6, 0), false},
        {0, 0, 0, 0, false},                                   // both 00:00-00:00
        {hm(8, 0), hm(9, 0), hm(8, 0), hm(9, 0), true},       // the same band
        {hm(8, 0), hm(9, 0), -1, -1, false},                   // the other not set
        {-1, -1, hm(8, 0), hm(9, 0), false},
        // Bands that pass midnight against an edge at 00:00, both ways round.
        {hm(22, 0), hm(5, 0), 0, hm(6, 0), true},
        {0, hm(6, 0), hm(22, 0), hm(5, 0), true},
        {hm(22, 0), hm(5, 0), hm(21, 0), 0, true},
        {hm(21, 0), 0, hm(22, 0), hm(5, 0), true},
        {hm(22, 0), hm(5, 0), hm(5, 0), hm(22, 0), false},
        {hm(5, 0), hm(22, 0), hm(22, 0), hm(5, 0), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timebands::modeBandsClash(c.start, c.end, c.otherStart, c.otherEnd), c.clash)
            << c.start << "-" << c.end << " against " << c.otherStart << "-" << c.otherEnd;
    }
}

}  // namespace
