// A counting wake-up for threads that sleep until another one (perhaps a real-time one) has
// something for them. Signal never blocks, locks or allocates, so an audio callback may call
// it; Wait and WaitUntil go to sleep in the kernel at once.
//
// (The standard semaphore of GCC 12 spins and gives up the processor several times before it
// sleeps; with a sound stream waking its threads a hundred times a second, that spinning cost
// more than the work it waited for.)
#pragma once

#include <chrono>

#if defined(__linux__)
#include <semaphore.h>

#include <cerrno>
#include <ctime>
#else
#include <semaphore>
#endif

namespace vantrel::audio {

#if defined(__linux__)

class WakeSignal {
  public:
    using Clock = std::chrono::steady_clock;

    WakeSignal() { sem_init(&semaphore_, 0, 0); }
    ~WakeSignal() { sem_destroy(&semaphore_); }
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void Signal() noexcept { sem_post(&semaphore_); }

    void Wait() noexcept {
        while (sem_wait(&semaphore_) != 0 && errno == EINTR) {
        }
    }

    // False when `deadline` came first.
    bool WaitUntil(Clock::time_point deadline) noexcept {
        // The steady clock is CLOCK_MONOTONIC on Linux.
        const auto since = deadline.time_since_epoch();
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
        timespec until{};
        until.tv_sec = static_cast<time_t>(seconds.count());
        until.tv_nsec = static_cast<long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
        for (;;) {
            if (sem_clockwait(&semaphore_, CLOCK_MONOTONIC, &until) == 0) {
                return true;
            }
            if (errno != EINTR) {
                return false;
            }
        }
    }

  private:
    sem_t semaphore_;
};

#else

class WakeSignal {
  public:
    using Clock = std::chrono::steady_clock;

    void Signal() noexcept { semaphore_.release(); }
    void Wait() noexcept { semaphore_.acquire(); }
    bool WaitUntil(Clock::time_point deadline) noexcept {
        return semaphore_.try_acquire_until(deadline);
    }

  private:
    std::counting_semaphore<> semaphore_{0};
};

#endif

}  // namespace vantrel::audio
