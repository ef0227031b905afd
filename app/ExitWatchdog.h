// Ends the program when its shut-down takes too long.
//
// Once armed (after the main window has closed and everything has been stored), the program
// has a set time to tear down its sound devices; a sound system that no longer answers (a
// frozen server) would otherwise hold it open for good. The stored settings and the result log
// are written atomically before, so ending the process here loses nothing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace vantrel {

class ExitWatchdog {
  public:
    ExitWatchdog() = default;
    // Returns at once once the shut-down is over.
    ~ExitWatchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        over_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    ExitWatchdog(const ExitWatchdog&) = delete;
    ExitWatchdog& operator=(const ExitWatchdog&) = delete;

    // From now on the process ends with `exitCode` after `limit`, unless destroyed before.
    void Arm(std::chrono::milliseconds limit, int exitCode) {
        thread_ = std::thread([this, limit, exitCode] {
            std::unique_lock lock(mutex_);
            if (!over_.wait_for(lock, limit, [this] { return done_; })) {
                std::_Exit(exitCode);
            }
        });
    }

  private:
    std::mutex mutex_;
    std::condition_variable over_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace vantrel
