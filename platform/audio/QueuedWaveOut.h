// The part every real device's stream shares: the WaveOut calls' bookkeeping under the
// stream's own lock, and the way headers go back to the caller.
//
// A device has a real-time side of its own (an audio callback, a sound server's loop) that
// must not lock or allocate. It hands each played header over through a lock-free ring
// (Played) and wakes the stream's notification thread (Wake), which turns the headers into
// Done notifications under the stream's lock. Headers the real-time side no longer holds (a
// Reset, a Close) the control side returns itself, in write order (ReturnLocked). A header that
// nothing can play (the device or the server went away) comes back after its playing time
// (GiveBackLater), so that the caller neither waits forever nor spins refilling.
//
// A device implements the *Locked hooks, which run with `mutex_` held, and calls Shutdown()
// first in its destructor. Until OpenedLocked() the stream counts as closed, so a stream whose
// start failed is destroyed without a word.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio/NotificationThread.h"
#include "platform/audio/SpscRing.h"
#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

class QueuedWaveOut : public WaveOut {
  public:
    // Headers a stream holds at most; far above the two to four the program keeps in flight.
    static constexpr std::size_t kMaxQueued = 1024;

    MMResult Prepare(WaveHeader* header) final;
    MMResult Unprepare(WaveHeader* header) final;
    // Checks the header, counts it queued and hands it to QueueLocked.
    MMResult Write(WaveHeader* header) final;
    MMResult Pause() final;
    MMResult Restart() final;
    MMResult Reset() final;
    MMResult Close() final;
    MMResult GetPosition(uint64_t* frames) final;

  protected:
    QueuedWaveOut(const WaveFormat& format, WaveCallback callback);
    ~QueuedWaveOut() override;

    QueuedWaveOut(const QueuedWaveOut&) = delete;
    QueuedWaveOut& operator=(const QueuedWaveOut&) = delete;

    // Puts a header (already counted queued) on the device. A device that cannot play it
    // answers with GiveBackLater(header) or returns it itself.
    virtual MMResult QueueLocked(WaveHeader* header) = 0;
    virtual void SetPausedLocked(bool paused) = 0;
    // Stops playing at once and returns every header (Reset).
    virtual void StopLocked() = 0;
    // Stops playing, returns every header and lets the device go (Close).
    virtual void CloseLocked() { StopLocked(); }
    // On the notification thread after a Wake; by default turns the played headers into Done.
    virtual void WokenLocked() { DrainLocked(); }
    // The written frames heard so far (see GetPosition). Runs without mutex_, on any thread,
    // and must not wait for anything slower than the device's real-time side.
    virtual uint64_t HeardFrames() = 0;

    // The device stream runs: posts Open and takes calls from now on.
    void OpenedLocked();
    // Closes the stream and stops the notification thread; the device's destructor calls it
    // first, so nothing of the device runs while its members go.
    void Shutdown();

    // Real-time side: lock-free and allocation-free.
    void Played(WaveHeader* header) noexcept { played_.Push(header); }  // never full
    void Wake() noexcept { notifier_.Wake(); }

    // Control side, under mutex_.
    // The played headers handed over so far, each with its Done.
    void DrainLocked();
    // A header the device holds no more goes back now.
    void ReturnLocked(WaveHeader* header);
    // Nothing can play `header`: it goes back after its playing time. MMSYSERR_NODRIVER.
    MMResult GiveBackLater(WaveHeader* header);
    // Headers written and not yet given back.
    std::size_t OutstandingLocked() const { return outstanding_; }

    // The steady clock in nanoseconds, for the devices' start latency figures.
    static int64_t NowNs();

    // The stream's lock; the device's control state lives under it.
    std::mutex mutex_;
    const WaveFormat format_;

  private:
    void Post(WaveMessage message, WaveHeader* header);
    MMResult SetPaused(bool paused);

    bool closed_ = true;
    std::size_t outstanding_ = 0;               // bounds what the device and the ring hold together
    std::atomic<bool> live_{false};             // opened: the notification thread may drain
    std::atomic<bool> open_{false};             // opened and not closed, for GetPosition
    SpscRing<WaveHeader*, kMaxQueued> played_;  // real-time side -> notification thread
    const std::shared_ptr<WaveCallback> callback_;
    NotificationThread notifier_;  // last: stopped before the members it uses go
};

}  // namespace vantrel::audio
