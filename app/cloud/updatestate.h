#pragma once

#include <QtGlobal>

// One data kind's pending update in a cloud client's request chain: the server's update time
// (seconds since 1970, local clock, 64 bits; 0 = none newer received), the count that goes with it,
// the kind and whether it must still be downloaded.
struct UpdateState {
    qint64 updateTime = 0;
    int value = 0;
    int dataKind = 0;
    bool pending = false;
};
