#include "touchqueue.h"

namespace vistrel {
namespace {

ts_queue_s* drained = nullptr;
ts_sample last_ts{};

}  // namespace

ts_queue_s* build_ts_q(int size)
{
    if (size < 2)
        return nullptr;
    auto* queue = new ts_queue_s;
    queue->slots.resize(static_cast<size_t>(size));
    return queue;
}

void free_ts_q(ts_queue_s* queue)
{
    delete queue;
}

int put_ts_q(ts_queue_s* queue, const ts_sample* sample)
{
    std::lock_guard<std::mutex> guard(queue->lock);
    const int size = static_cast<int>(queue->slots.size());
    const int next = (queue->head + 1) % size;
    int result = 0;
    if (next == queue->tail) {
        queue->tail = (queue->tail + 1) % size;
        result = -1;
    }
    queue->slots[static_cast<size_t>(queue->head)] = *sample;
    queue->head = next;
    return result;
}

void setTouchQueue(ts_queue_s* queue)
{
    drained = queue;
}

int get_data_ts_drv(ts_sample* out)
{
    if (!out || !drained)
        return -1;
    {
        std::lock_guard<std::mutex> guard(drained->lock);
        if (drained->head == drained->tail)
            return -1;
        last_ts = drained->slots[static_cast<size_t>(drained->tail)];
        drained->tail = (drained->tail + 1) % static_cast<int>(drained->slots.size());
    }
    *out = last_ts;
    return last_ts.tv.tv_sec == 0 && last_ts.tv.tv_usec == 0 ? -1 : 0;
}

}  // namespace vistrel
