#include "platform/audio/QueuedWaveOut.h"

#include <chrono>
#include <utility>

namespace vantrel::audio {

QueuedWaveOut::QueuedWaveOut(const WaveFormat& format, WaveCallback callback)
    : format_(format),
      callback_(std::make_shared<WaveCallback>(std::move(callback))),
      notifier_([this] {
          // Nothing is handed over before the device's stream runs, and the device may not be
          // whole before then.
          if (live_.load(std::memory_order_acquire)) {
              std::lock_guard lock(mutex_);
              WokenLocked();
          }
      }) {}

QueuedWaveOut::~QueuedWaveOut() {
    notifier_.Stop();
}

void QueuedWaveOut::Shutdown() {
    Close();
    notifier_.Stop();
}

MMResult QueuedWaveOut::Prepare(WaveHeader* header) {
    std::lock_guard lock(mutex_);
    return MarkPrepared(header);
}

MMResult QueuedWaveOut::Unprepare(WaveHeader* header) {
    std::lock_guard lock(mutex_);
    return MarkUnprepared(header);
}

MMResult QueuedWaveOut::Write(WaveHeader* header) {
    std::lock_guard lock(mutex_);
    if (const MMResult refused = CheckWritable(header, closed_); refused != MMSYSERR_NOERROR) {
        return refused;
    }
    if (outstanding_ == kMaxQueued) {
        return MMSYSERR_NOMEM;
    }
    header->queued = true;
    ++outstanding_;
    return QueueLocked(header);
}

MMResult QueuedWaveOut::Pause() {
    return SetPaused(true);
}

MMResult QueuedWaveOut::Restart() {
    return SetPaused(false);
}

MMResult QueuedWaveOut::SetPaused(bool paused) {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    SetPausedLocked(paused);
    return MMSYSERR_NOERROR;
}

MMResult QueuedWaveOut::Reset() {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    StopLocked();
    return MMSYSERR_NOERROR;
}

MMResult QueuedWaveOut::Close() {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return MMSYSERR_NOERROR;
    }
    CloseLocked();
    closed_ = true;
    open_.store(false, std::memory_order_release);
    Post(WaveMessage::Close, nullptr);
    return MMSYSERR_NOERROR;
}

MMResult QueuedWaveOut::GetPosition(uint64_t* frames) {
    if (!frames) {
        return MMSYSERR_INVALPARAM;
    }
    if (!open_.load(std::memory_order_acquire)) {
        return MMSYSERR_INVALHANDLE;
    }
    *frames = HeardFrames();
    return MMSYSERR_NOERROR;
}

void QueuedWaveOut::OpenedLocked() {
    closed_ = false;
    open_.store(true, std::memory_order_release);
    live_.store(true, std::memory_order_release);
    Post(WaveMessage::Open, nullptr);
}

void QueuedWaveOut::DrainLocked() {
    WaveHeader* header = nullptr;
    while (played_.Pop(header)) {
        ReturnLocked(header);
    }
}

void QueuedWaveOut::ReturnLocked(WaveHeader* header) {
    header->queued = false;
    --outstanding_;
    Post(WaveMessage::Done, header);
}

MMResult QueuedWaveOut::GiveBackLater(WaveHeader* header) {
    header->queued = false;
    --outstanding_;
    const uint64_t frames = header->length / format_.blockAlign;
    const auto playing = std::chrono::nanoseconds(frames * 1000000000ull / format_.samplesPerSec);
    notifier_.PostAfter(playing,
                        [callback = callback_, header] { (*callback)(WaveMessage::Done, header); });
    return MMSYSERR_NODRIVER;
}

int64_t QueuedWaveOut::NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void QueuedWaveOut::Post(WaveMessage message, WaveHeader* header) {
    notifier_.Post([callback = callback_, message, header] { (*callback)(message, header); });
}

}  // namespace vantrel::audio
