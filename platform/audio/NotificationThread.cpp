#include "platform/audio/NotificationThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/audio/ThreadName.h"
#include "platform/audio/WakeSignal.h"

namespace vantrel::audio {

namespace {
thread_local bool insideWork = false;
}  // namespace

struct NotificationThread::Core {
    using Clock = std::chrono::steady_clock;
    struct Item {
        Work work;
        Clock::time_point due;
    };

    explicit Core(Work drainRoutine) : drain(std::move(drainRoutine)) {}

    void Run();
    void MarkStopped();

    Work drain;
    WakeSignal wake;
    std::atomic<bool> drainAsked{false};  // Wake since the last drain
    std::mutex mutex;
    std::condition_variable settled;
    std::deque<Item> items;
    Clock::duration delay{};
    uint64_t posted = 0;
    uint64_t finished = 0;  // run or dropped
    bool stopping = false;
    std::thread::id threadId;
};

void NotificationThread::Core::MarkStopped() {
    std::lock_guard lock(mutex);
    stopping = true;
    finished += items.size();
    items.clear();
    settled.notify_all();
}

void NotificationThread::Core::Run() {
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (stopping) {
                return;
            }
        }
        if (drain && drainAsked.exchange(false, std::memory_order_acquire)) {
            drain();
        }
        std::unique_lock lock(mutex);
        if (stopping) {
            return;
        }
        std::optional<Clock::time_point> due;
        if (!items.empty()) {
            if (items.front().due <= Clock::now()) {
                Work work = std::move(items.front().work);
                items.pop_front();
                lock.unlock();
                insideWork = true;
                work();
                insideWork = false;
                // Captures of the work item go before Flush is told it has run.
                work = nullptr;
                lock.lock();
                ++finished;
                settled.notify_all();
                continue;
            }
            due = items.front().due;
        }
        lock.unlock();
        if (due) {
            (void)wake.WaitUntil(*due);
        } else {
            wake.Wait();
        }
    }
}

NotificationThread::NotificationThread(Work drain)
    : core_(std::make_shared<Core>(std::move(drain))) {
    thread_ = std::thread([core = core_] {
        NameThisThread("vantrel-notify");
        core->Run();
    });
    std::lock_guard lock(core_->mutex);
    core_->threadId = thread_.get_id();
}

NotificationThread::~NotificationThread() {
    Stop();
}

void NotificationThread::Post(Work work) {
    PostAfter(std::chrono::nanoseconds(0), std::move(work));
}

void NotificationThread::PostAfter(std::chrono::nanoseconds after, Work work) {
    {
        std::lock_guard lock(core_->mutex);
        if (core_->stopping) {
            return;
        }
        const auto due = Core::Clock::now() + core_->delay +
                         std::chrono::duration_cast<Core::Clock::duration>(after);
        core_->items.push_back({std::move(work), due});
        ++core_->posted;
    }
    core_->wake.Signal();
}

void NotificationThread::Wake() noexcept {
    core_->drainAsked.store(true, std::memory_order_release);
    core_->wake.Signal();
}

void NotificationThread::SetDelay(std::chrono::nanoseconds delay) {
    std::lock_guard lock(core_->mutex);
    core_->delay = std::chrono::duration_cast<Core::Clock::duration>(delay);
}

void NotificationThread::Flush() {
    if (OnThread()) {
        return;
    }
    std::unique_lock lock(core_->mutex);
    const uint64_t target = core_->posted;
    core_->settled.wait(lock, [&] { return core_->stopping || core_->finished >= target; });
}

void NotificationThread::Stop() {
    core_->MarkStopped();
    core_->wake.Signal();
    if (!thread_.joinable()) {
        return;
    }
    if (OnThread()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

bool NotificationThread::OnThread() const {
    std::lock_guard lock(core_->mutex);
    return core_->threadId == std::this_thread::get_id();
}

bool NotificationThread::InsideWork() {
    return insideWork;
}

}  // namespace vantrel::audio
