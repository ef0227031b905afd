#include "trainer/ManualNotificationQueue.h"

#include <utility>

namespace vantrel {

void ManualNotificationQueue::SetIdleHook(IdleHook idle) {
    std::lock_guard lock(mutex_);
    idle_ = std::move(idle);
}

void ManualNotificationQueue::Post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(work));
    }
    posted_.notify_one();
}

void ManualNotificationQueue::RunUntil(const std::function<bool()>& done) {
    while (!done()) {
        if (std::function<void()> work = TakeNext()) {
            work();
        }
    }
}

std::size_t ManualNotificationQueue::RunPending() {
    std::size_t count = 0;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (items_.empty()) {
                return count;
            }
            work = std::move(items_.front());
            items_.pop_front();
        }
        work();
        ++count;
    }
}

std::size_t ManualNotificationQueue::Pending() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

std::function<void()> ManualNotificationQueue::TakeNext() {
    std::unique_lock lock(mutex_);
    while (items_.empty()) {
        if (idle_) {
            IdleHook idle = idle_;
            lock.unlock();
            idle();
            lock.lock();
        } else {
            // Nothing within kRecheck: back to the caller's look at its clock.
            if (!posted_.wait_for(lock, kRecheck, [this] { return !items_.empty(); })) {
                return {};
            }
        }
    }
    std::function<void()> work = std::move(items_.front());
    items_.pop_front();
    return work;
}

}  // namespace vantrel
