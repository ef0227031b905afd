#include "signal/SLClockGen.h"

#include <algorithm>

#include "platform/audio/ThreadName.h"
#include "signal/SLThreadPriority.h"

namespace vantrel::signal {

// --- Time sources ---

bool TSLSteadyTimeSource::SleepUntil(Clock::time_point deadline, std::stop_token stop) {
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, stop, deadline, [] { return false; });
    return !stop.stop_requested();
}

ISLTimeSource::Clock::time_point TSLManualTimeSource::Now() {
    std::lock_guard lock(mutex_);
    return now_;
}

bool TSLManualTimeSource::SleepUntil(Clock::time_point deadline, std::stop_token stop) {
    std::unique_lock lock(mutex_);
    deadlines_.push_back(deadline);
    changed_.notify_all();
    const bool reached = changed_.wait(lock, stop, [&] { return now_ >= deadline; });
    deadlines_.erase(std::find(deadlines_.begin(), deadlines_.end(), deadline));
    changed_.notify_all();
    return reached && !stop.stop_requested();
}

void TSLManualTimeSource::Advance(Clock::duration by) {
    std::lock_guard lock(mutex_);
    now_ += by;
    changed_.notify_all();
}

void TSLManualTimeSource::WaitForSleepers(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        return static_cast<size_t>(std::count_if(deadlines_.begin(), deadlines_.end(),
                                                 [&](auto d) { return d > now_; })) == count;
    });
}

// --- TSLClockGen ---

TSLClockGen::TSLClockGen(ISLTimeSource& time, std::chrono::milliseconds period)
    : time_(time), period_(period), thread_([this](std::stop_token stop) { Run(stop); }) {}

TSLClockGen::~TSLClockGen() {
    thread_.request_stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TSLClockGen::Run(std::stop_token stop) {
    audio::NameThisThread("vantrel-clock");
    SetCurrentThreadPriorityHighest();
    auto deadline = time_.Now() + period_;
    while (time_.SleepUntil(deadline, stop)) {
        Tick(stop);
        deadline += period_;
        const auto now = time_.Now();
        if (now - deadline > kMaxCatchUp * period_) {
            deadline = now;  // too far behind: start afresh rather than burst
        }
    }
    finished_.store(true, std::memory_order_release);
}

void TSLClockGen::Tick(const std::stop_token& stop) {
    TOWGlobalReadLockSection global;
    if (stop.stop_requested()) {
        return;
    }
    BeginWrite();
    // Callbacks may unregister items, their own or others': iterate by position, and erase a
    // self-unregistered item only once its callback has returned. Registering and unregistering
    // take the global write side, so only this thread touches the list meanwhile.
    for (auto it = items_.begin(); it != items_.end();) {
        if (!it->removed && it->callback) {
            running_ = &*it;
            try {
                it->callback();
            } catch (...) {
                // A failing callback must not stop the clock of the others.
            }
            running_ = nullptr;
        }
        it = it->removed ? items_.erase(it) : std::next(it);
    }
    EndWrite();
}

size_t TSLClockGen::LiveItems() const {
    return static_cast<size_t>(std::count_if(items_.begin(), items_.end(),
                                             [](const TSLClockItem& i) { return !i.removed; }));
}

// --- TSLClockService ---

TSLClockService::TSLClockService(ISLTimeSource& time) : time_(time) {}

TSLClockService::~TSLClockService() {
    std::vector<std::unique_ptr<TSLClockGen>> all;
    {
        std::lock_guard lock(mutex_);
        all = std::move(clocks_);
        for (auto& clock : retired_) {
            all.push_back(std::move(clock));
        }
        retired_.clear();
    }
    all.clear();  // each joins its thread
}

TSLClockService& TSLClockService::Instance() {
    static TSLSteadyTimeSource steady;
    static TSLClockService service(steady);
    return service;
}

TSLClockService::Registration TSLClockService::Register(std::chrono::milliseconds period,
                                                        TOWObject& lock,
                                                        std::function<void()> callback) {
    TOWGlobalWriteLockSection global;
    TOWWriteLockSection section(lock);
    Reap();
    TSLClockGen* clock = nullptr;
    {
        std::lock_guard guard(mutex_);
        for (auto& candidate : clocks_) {
            if (candidate->Period() == period) {
                clock = candidate.get();
            }
        }
        if (clock == nullptr) {
            clocks_.push_back(std::make_unique<TSLClockGen>(time_, period));
            clock = clocks_.back().get();
        }
    }
    lock.Link(*clock);
    clock->items_.push_back({std::move(callback), &lock});
    return &clock->items_.back();
}

void TSLClockService::Unregister(Registration item, TOWObject& lock) {
    if (item == nullptr) {
        return;
    }
    TOWGlobalWriteLockSection global;
    TSLClockGen* clock = nullptr;
    std::list<TSLClockItem>::iterator found;
    {
        std::lock_guard guard(mutex_);
        for (auto& candidate : clocks_) {
            found = std::find_if(candidate->items_.begin(), candidate->items_.end(),
                                 [&](const TSLClockItem& i) { return &i == item; });
            if (found != candidate->items_.end()) {
                clock = candidate.get();
                break;
            }
        }
    }
    if (clock == nullptr || found->removed) {
        return;
    }
    if (clock->running_ == item) {
        found->removed = true;  // its callback is running on this very thread
    } else {
        clock->items_.erase(found);
    }
    const bool stillUsed =
        std::any_of(clock->items_.begin(), clock->items_.end(),
                    [&](const TSLClockItem& i) { return !i.removed && i.lock == &lock; });
    if (!stillUsed) {
        lock.Unlink(*clock);
    }
    if (clock->LiveItems() == 0) {
        // Not joined here: the caller may hold locks the clock thread waits for, or be that
        // thread. The next Register or the service's end joins it.
        clock->thread_.request_stop();
        std::lock_guard guard(mutex_);
        auto owned = std::find_if(clocks_.begin(), clocks_.end(),
                                  [&](const auto& c) { return c.get() == clock; });
        retired_.push_back(std::move(*owned));
        clocks_.erase(owned);
    }
}

size_t TSLClockService::ClockCount() const {
    std::lock_guard guard(mutex_);
    return clocks_.size();
}

void TSLClockService::Reap() {
    std::vector<std::unique_ptr<TSLClockGen>> done;
    {
        std::lock_guard guard(mutex_);
        auto finished = std::stable_partition(retired_.begin(), retired_.end(), [](auto& clock) {
            return !clock->finished_.load(std::memory_order_acquire);
        });
        std::move(finished, retired_.end(), std::back_inserter(done));
        retired_.erase(finished, retired_.end());
    }
    done.clear();  // threads have ended: the joins are immediate
}

}  // namespace vantrel::signal
