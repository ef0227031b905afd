// A lock-free queue between one producer thread and one consumer thread.
//
// Capacity is a power of two. Push and Pop never block, allocate or make system calls, so
// either side may be an audio callback. Indices grow without wrapping (64 bits); the element
// written before an index is published with release is seen by the other side's acquire.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vantrel::audio {

template <typename T, std::size_t Capacity>
class SpscRing {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0,
                  "capacity must be a power of two");

  public:
    // Producer side. False when full.
    bool Push(const T& value) noexcept {
        const uint64_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) {
            return false;
        }
        slots_[tail & (Capacity - 1)] = value;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer side. False when empty.
    bool Pop(T& value) noexcept {
        const uint64_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) {
            return false;
        }
        value = slots_[head & (Capacity - 1)];
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

    // Either side; exact only when the other side is idle.
    std::size_t Size() const noexcept {
        return static_cast<std::size_t>(tail_.load(std::memory_order_acquire) -
                                        head_.load(std::memory_order_acquire));
    }

    static constexpr std::size_t capacity() { return Capacity; }

  private:
    alignas(64) std::atomic<uint64_t> head_{0};
    alignas(64) std::atomic<uint64_t> tail_{0};
    std::array<T, Capacity> slots_{};
};

}  // namespace vantrel::audio
