// A thread that runs one routine each time it is signalled. Signals that arrive before the
// thread wakes collapse into one run (an auto-reset event).
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vantrel::signal {

// An event that releases one waiter and resets itself.
class TSLAutoResetEvent {
  public:
    void Set();
    // Waits until the event is set, then resets it.
    void Wait();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

class TSLNotifyThread {
  public:
    using Routine = std::function<void(TSLNotifyThread& thread)>;

    // Starts the thread at once; `work` runs on it after every Signal.
    explicit TSLNotifyThread(Routine work);
    // Stops the thread unless StopThread has run already.
    ~TSLNotifyThread();
    TSLNotifyThread(const TSLNotifyThread&) = delete;
    TSLNotifyThread& operator=(const TSLNotifyThread&) = delete;

    void Signal() { event_.Set(); }
    // Asks the thread to end and waits until it has. Must not be called from the thread itself.
    void StopThread();
    bool Terminated() const;

  private:
    void Run();

    Routine work_;
    TSLAutoResetEvent event_;
    mutable std::mutex stateMutex_;  // guards terminated_
    bool terminated_ = false;
    std::thread thread_;
};

}  // namespace vantrel::signal
