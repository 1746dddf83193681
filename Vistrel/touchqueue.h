#pragma once

#include <tslib.h>

#include <mutex>
#include <vector>

namespace vistrel {

// The ring of touch samples between the touch reader (one producer) and the main thread's
// event system (one consumer). Samples are copied in and out under the mutex.
struct ts_queue_s {
    std::mutex lock;
    std::vector<ts_sample> slots;
    int head = 0;
    int tail = 0;
};

constexpr int kTouchQueueSlots = 256;

// A queue of size slots (it holds size - 1 samples), or null.
ts_queue_s* build_ts_q(int size);
void free_ts_q(ts_queue_s* queue);
// Queues a copy of the sample; when full, the oldest is dropped first and -1 returned.
int put_ts_q(ts_queue_s* queue, const ts_sample* sample);

// The queue the event system drains (none until touch input is set up).
void setTouchQueue(ts_queue_s* queue);
// Takes the oldest sample into *out: 0, or -1 when out is null, the queue is empty or the
// sample's time stamp is all zero (the sample is consumed either way).
int get_data_ts_drv(ts_sample* out);

}  // namespace vistrel
