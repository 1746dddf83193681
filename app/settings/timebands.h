#pragma once

// Time bands of the clock-in and clock-out modes, in minutes after midnight. A band [start,
// end) holds start .. end-1 when start < end, start .. 1439 and 0 .. end-1 when it passes
// midnight (start > end), and nothing when start = end.
namespace timebands {

// Whether an entered band (start, end) may not be stored beside the other mode's band.
// A band not set (a negative edge) and two bands at 00:00-00:00 never clash; the same band
// twice always does; otherwise two bands clash when they share a minute.
bool modeBandsClash(int start, int end, int otherStart, int otherEnd);

}  // namespace timebands
