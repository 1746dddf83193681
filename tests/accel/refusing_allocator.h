#pragma once

// The graphics library's heap allocator refusing new blocks, or the growth of existing ones,
// while a RefusingAllocator lives: the path drawing's list building then fails its way.

#include <cstdlib>

#include "vg/common/vg_heap.h"

namespace vnq::test {

enum class Refuse { New, Growth };

class RefusingAllocator {
public:
    explicit RefusingAllocator(Refuse refuse)
    {
        mode() = refuse;
        VGFUNC_SetHeapAllocator(resize);
    }
    ~RefusingAllocator() { VGFUNC_SetHeapAllocator(nullptr); }
    RefusingAllocator(const RefusingAllocator&) = delete;
    RefusingAllocator& operator=(const RefusingAllocator&) = delete;

private:
    static Refuse& mode()
    {
        static Refuse m;
        return m;
    }
    static void* resize(void* block, size_t size)
    {
        if ((block == nullptr) == (mode() == Refuse::New))
            return nullptr;
        return std::realloc(block, size);
    }
};

}  // namespace vnq::test
