#pragma once

#include <cstddef>

namespace rolvik {

// Storage for the nodes of event lists: slabs of equal slots, so that a node costs its own size and
// no allocator header. Freed slots are reused, and a slab goes back to the system once all its
// slots are free and another slab has room. Safe to use from any thread.
class EventPool {
  public:
    static constexpr std::size_t kSlotBytes = 32;

    static void* Allocate();
    static void Free(void* slot) noexcept;
};

}  // namespace rolvik
