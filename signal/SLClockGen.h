// The clock service: periodic pacing for generators that no downstream component paces.
//
// One clock generator (TSLClockGen) exists per period; all registrations with that period
// share it, its timer thread and, through linking, its group lock, so their callbacks run one
// after the other in registration order under that lock and the global read side. A clock
// generator goes away when its last registration does.
//
// The timer thread sleeps until absolute deadlines one period apart, so the ticks do not
// drift; after a late wake-up it catches up on the missed ticks (up to kMaxCatchUp, then it
// starts afresh from now). Time comes from an ISLTimeSource, so tests drive the clock by hand.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "signal/OWLocks.h"

namespace vantrel::signal {

class ISLTimeSource {
  public:
    using Clock = std::chrono::steady_clock;
    virtual ~ISLTimeSource() = default;
    virtual Clock::time_point Now() = 0;
    // Blocks until Now() has reached `deadline`; returns false as soon as `stop` is requested.
    virtual bool SleepUntil(Clock::time_point deadline, std::stop_token stop) = 0;
};

// The steady clock.
class TSLSteadyTimeSource final : public ISLTimeSource {
  public:
    Clock::time_point Now() override { return Clock::now(); }
    bool SleepUntil(Clock::time_point deadline, std::stop_token stop) override;

  private:
    std::mutex mutex_;
    std::condition_variable_any wake_;
};

// A clock that only moves when told to; sleepers wake as it passes their deadlines.
class TSLManualTimeSource final : public ISLTimeSource {
  public:
    Clock::time_point Now() override;
    bool SleepUntil(Clock::time_point deadline, std::stop_token stop) override;

    void Advance(Clock::duration by);
    // Waits until `count` threads sleep towards a deadline still ahead, i.e. until every
    // thread woken by Advance has done its work and gone back to sleep.
    void WaitForSleepers(size_t count);

  private:
    std::mutex mutex_;
    std::condition_variable_any changed_;
    Clock::time_point now_{};
    std::vector<Clock::time_point> deadlines_;  // one per sleeping thread
};

// One registration: a callback run once per period.
struct TSLClockItem {
    std::function<void()> callback;
    TOWObject* lock;       // the registering component's lock object
    bool removed = false;  // unregistered by its own running callback; erased once it returns
};

class TSLClockService;

// The ticks of one period.
class TSLClockGen final : public TOWObject {
  public:
    static constexpr int kMaxCatchUp = 10;

    TSLClockGen(ISLTimeSource& time, std::chrono::milliseconds period);
    // Stops and joins the timer thread; must not run on it.
    ~TSLClockGen() override;

    std::chrono::milliseconds Period() const { return period_; }

  private:
    friend class TSLClockService;

    void Run(std::stop_token stop);
    void Tick(const std::stop_token& stop);

    ISLTimeSource& time_;
    std::chrono::milliseconds period_;
    size_t LiveItems() const;

    std::list<TSLClockItem> items_;          // changed under the global write side
    const TSLClockItem* running_ = nullptr;  // the callback being run, on the clock thread
    std::atomic<bool> finished_{false};
    std::jthread thread_;
};

class TSLClockService {
  public:
    using Registration = TSLClockItem*;

    // Uses `time`, which must outlive the service.
    explicit TSLClockService(ISLTimeSource& time);
    // Ends every clock thread.
    ~TSLClockService();
    TSLClockService(const TSLClockService&) = delete;
    TSLClockService& operator=(const TSLClockService&) = delete;

    // The process-wide service on the steady clock.
    static TSLClockService& Instance();

    // Runs `callback` every `period` under `lock`'s group (which is linked with the clock
    // generator of that period) until Unregister.
    Registration Register(std::chrono::milliseconds period, TOWObject& lock,
                          std::function<void()> callback);
    // After it returns the callback does not run again, unless called from that callback.
    void Unregister(Registration item, TOWObject& lock);

    // The number of clock generators with registrations.
    size_t ClockCount() const;

  private:
    // Joins and frees the retired clock generators whose threads have ended.
    void Reap();

    ISLTimeSource& time_;
    mutable std::mutex mutex_;  // guards the two lists below
    std::vector<std::unique_ptr<TSLClockGen>> clocks_;
    std::vector<std::unique_ptr<TSLClockGen>> retired_;  // threads told to stop, not yet joined
};

}  // namespace vantrel::signal
