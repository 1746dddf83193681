#pragma once

// One data kind's pending update in a cloud client's request chain: the server's update time
// (seconds since 1970, local clock; 0 = none newer received), the count that goes with it,
// the kind and whether it must still be downloaded.
struct UpdateState {
    int updateTime = 0;
    int value = 0;
    int dataKind = 0;
    bool pending = false;
};
