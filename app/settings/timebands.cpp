#include "timebands.h"

#include <utility>

namespace {

constexpr int MinutesPerDay = 1440;

// The band as up to two half-open pieces within one day; returns how many.
int pieces(int start, int end, std::pair<int, int>* out)
{
    if (start < end) {
        out[0] = {start, end};
        return 1;
    }
    if (start > end) {
        out[0] = {start, MinutesPerDay};
        out[1] = {0, end};
        return 2;
    }
    return 0;
}

bool shareAMinute(int s1, int e1, int s2, int e2)
{
    std::pair<int, int> a[2];
    std::pair<int, int> b[2];
    const int na = pieces(s1, e1, a);
    const int nb = pieces(s2, e2, b);
    for (int i = 0; i < na; ++i) {
        for (int j = 0; j < nb; ++j) {
            if (a[i].first < b[j].second && b[j].first < a[i].second)
                return true;
        }
    }
    return false;
}

}  // namespace

namespace timebands {

bool modeBandsClash(int start, int end, int otherStart, int otherEnd)
{
    if (start < 0 || end < 0 || otherStart < 0 || otherEnd < 0)
        return false;
    if (start == 0 && end == 0 && otherStart == 0 && otherEnd == 0)
        return false;
    if (start == otherStart && end == otherEnd)
        return true;
    return shareAMinute(start, end, otherStart, otherEnd);
}

}  // namespace timebands
