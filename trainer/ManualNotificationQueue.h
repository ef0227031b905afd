// A NotificationQueue without a window system, for tests and tools.
//
// Post may be called from any thread; RunUntil and RunPending run the posted work on the
// calling thread, one item at a time and in posting order, without holding the queue's lock
// while an item runs (so the work may post more). When the queue is empty, RunUntil calls the
// idle hook if there is one (a test uses it to advance a virtual device's clock) and otherwise
// waits for work to be posted, asking `done` again every kRecheck.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "trainer/PlaybackEngine.h"

namespace vantrel {

class ManualNotificationQueue : public NotificationQueue {
  public:
    // Called by RunUntil, outside the lock, each time it finds the queue empty. It should make
    // progress towards new work (for example advance a device clock and wait for the device
    // to deliver what became due); RunUntil calls it again while the queue stays empty.
    using IdleHook = std::function<void()>;

    ManualNotificationQueue() = default;
    explicit ManualNotificationQueue(IdleHook idle) : idle_(std::move(idle)) {}

    void SetIdleHook(IdleHook idle);

    void Post(std::function<void()> work) override;
    void RunUntil(const std::function<bool()>& done) override;

    // Runs what has been posted so far (and what that work posts) without waiting or calling
    // the idle hook. Returns the number of items run.
    std::size_t RunPending();

    std::size_t Pending() const;

  private:
    std::function<void()> TakeNext();

    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> items_;
    IdleHook idle_;
};

}  // namespace vantrel
