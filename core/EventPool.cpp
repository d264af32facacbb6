#include "EventPool.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROLVIK_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ROLVIK_ASAN 1
#endif
#ifdef ROLVIK_ASAN
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace rolvik {
namespace {

// A slab is aligned to its own size, so a slot finds its slab by rounding its address down. The
// first slot holds the slab's header.
constexpr std::size_t kSlabBytes = 64 * 1024;
constexpr std::size_t kSlotsPerSlab = kSlabBytes / EventPool::kSlotBytes;

struct FreeSlot {
    FreeSlot* next;
};

struct Slab {
    Slab* previous = nullptr;  // links of the list of slabs that have a free slot
    Slab* next = nullptr;
    FreeSlot* freeSlots = nullptr;  // slots freed since they were first handed out
    std::uint32_t used = 0;
    std::uint32_t untouched = 1;  // the first slot never handed out; slot 0 is this header
};
static_assert(sizeof(Slab) <= EventPool::kSlotBytes);

constexpr std::uint32_t kSlotsForEvents = kSlotsPerSlab - 1;

class Pool {
  public:
    void* Allocate() {
        std::lock_guard lock(mutex_);
        if (!withRoom_) {
            Link(NewSlab());
        }
        Slab& slab = *withRoom_;
        void* slot = nullptr;
        if (slab.freeSlots) {
            slot = slab.freeSlots;
            ASAN_UNPOISON_MEMORY_REGION(slot, EventPool::kSlotBytes);
            slab.freeSlots = slab.freeSlots->next;
        } else {
            slot = reinterpret_cast<std::byte*>(&slab) + slab.untouched * EventPool::kSlotBytes;
            ++slab.untouched;
        }
        if (++slab.used == kSlotsForEvents) {
            Unlink(slab);
        }
        return slot;
    }

    void Free(void* slot) {
        std::lock_guard lock(mutex_);
        Slab& slab = SlabOf(slot);
        const bool wasFull = slab.used == kSlotsForEvents;
        auto* freed = static_cast<FreeSlot*>(slot);
        freed->next = slab.freeSlots;
        slab.freeSlots = freed;
        ASAN_POISON_MEMORY_REGION(slot, EventPool::kSlotBytes);
        if (wasFull) {
            Link(&slab);
        }
        if (--slab.used == 0 && (slab.previous || slab.next)) {
            Unlink(slab);
            slab.~Slab();
            std::free(&slab);
        }
    }

    // Gives back the slabs that hold no event. The one slab kept for the next event would otherwise
    // outlive the engine library that holds the pool when the library is unloaded.
    void ReleaseEmptySlabs() {
        std::lock_guard lock(mutex_);
        for (Slab* slab = withRoom_; slab;) {
            Slab* const next = slab->next;
            if (slab->used == 0) {
                Unlink(*slab);
                slab->~Slab();
                std::free(slab);
            }
            slab = next;
        }
    }

  private:
    static Slab* NewSlab() {
        void* block = std::aligned_alloc(kSlabBytes, kSlabBytes);
        if (!block) {
            throw std::bad_alloc();
        }
        return new (block) Slab;
    }

    static Slab& SlabOf(void* slot) {
        const auto address = reinterpret_cast<std::uintptr_t>(slot);
        return *reinterpret_cast<Slab*>(address & ~(std::uintptr_t{kSlabBytes} - 1));
    }

    void Link(Slab* slab) {
        slab->previous = nullptr;
        slab->next = withRoom_;
        if (withRoom_) {
            withRoom_->previous = slab;
        }
        withRoom_ = slab;
    }

    void Unlink(Slab& slab) {
        if (slab.previous) {
            slab.previous->next = slab.next;
        } else {
            withRoom_ = slab.next;
        }
        if (slab.next) {
            slab.next->previous = slab.previous;
        }
        slab.previous = nullptr;
        slab.next = nullptr;
    }

    std::mutex mutex_;
    Slab* withRoom_ = nullptr;
};

// Never destroyed: a document held in a static object may free its events after every other static
// object of the program is gone.
Pool& ThePool() {
    alignas(Pool) static std::byte storage[sizeof(Pool)];
    static Pool* const pool = new (storage) Pool;
    return *pool;
}

// Runs when the program or the library that holds the pool is unloaded; the pool itself stays, for
// the events still to be freed after it.
struct EmptySlabsRelease {
    ~EmptySlabsRelease() { ThePool().ReleaseEmptySlabs(); }
} emptySlabsRelease;

}  // namespace

void* EventPool::Allocate() {
    return ThePool().Allocate();
}

void EventPool::Free(void* slot) noexcept {
    ThePool().Free(slot);
}

}  // namespace rolvik
