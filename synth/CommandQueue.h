#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <optional>

namespace rolvik::synth {

// A bounded queue from exactly one producer thread to exactly one consumer thread, without locks:
// the audio callback may pop from it while the caller's thread pushes.
template <typename T, std::size_t Capacity>
class CommandQueue {
    static_assert((Capacity & (Capacity - 1)) == 0, "Capacity must be a power of two");

  public:
    // False when the queue is full; nothing is pushed then.
    bool TryPush(const T& item) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) {
            return false;
        }
        items_[tail & (Capacity - 1)] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    std::optional<T> TryPop() {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) {
            return std::nullopt;
        }
        T item = items_[head & (Capacity - 1)];
        head_.store(head + 1, std::memory_order_release);
        return item;
    }

  private:
    std::array<T, Capacity> items_{};
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
};

}  // namespace rolvik::synth
