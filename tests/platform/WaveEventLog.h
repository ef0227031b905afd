// Collects the notifications of wave streams for tests and lets a test wait for them.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio::test {

struct WaveEvent {
    WaveMessage message;
    WaveHeader* header;
    std::thread::id thread;
};

class WaveEventLog {
  public:
    // A callback that records into this log, then runs `also` (if any) on the same thread.
    WaveCallback Callback(std::function<void(WaveMessage, WaveHeader*)> also = {}) {
        return [this, also = std::move(also)](WaveMessage message, WaveHeader* header) {
            {
                std::lock_guard lock(mutex_);
                events_.push_back({message, header, std::this_thread::get_id()});
            }
            changed_.notify_all();
            if (also) {
                also(message, header);
            }
        };
    }

    std::vector<WaveEvent> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }

    int Count(WaveMessage message) const {
        std::lock_guard lock(mutex_);
        return Count(events_, message);
    }
    static int Count(const std::vector<WaveEvent>& events, WaveMessage message) {
        return static_cast<int>(
            std::count_if(events.begin(), events.end(),
                          [&](const WaveEvent& e) { return e.message == message; }));
    }

    // Waits (generously, for real devices) until `done` holds over the events.
    bool WaitFor(const std::function<bool(const std::vector<WaveEvent>&)>& done,
                 std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return done(events_); });
    }

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<WaveEvent> events_;
};

}  // namespace vantrel::audio::test
