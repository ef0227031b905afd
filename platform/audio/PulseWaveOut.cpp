#include "platform/audio/PulseWaveOut.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "platform/audio/PulseContext.h"
#include "platform/audio/QueuedWaveOut.h"

namespace vantrel::audio {

struct PulseWaveSystem::Counters {
    std::atomic<uint64_t> underflows{0};
    std::atomic<uint64_t> timerWakeups{0};
    std::atomic<int64_t> lastStartLatencyNs{-1};
};

namespace {

using Counters = PulseWaveSystem::Counters;
using Deadline = PulseContext::Deadline;

// The play-position timer never sleeps shorter than this (a position that has not moved yet)
// and looks again this often while the server has told no position.
constexpr pa_usec_t kMinTimerUsec = 2 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kNoPositionUsec = 10 * PA_USEC_PER_MSEC;
// A header whose end is this close to the play position counts as played.
constexpr pa_usec_t kPlayedSlackUsec = PA_USEC_PER_MSEC;

bool IsKeyingFormat(const WaveFormat& format) {
    return format.samplesPerSec == 8000 && format.channels == 1;
}

// The headers queued at the server with the stream position (in frames) at which each ends.
// Touched only under the loop's lock.
class QueuedHeaders {
  public:
    struct Entry {
        WaveHeader* header = nullptr;
        uint64_t endFrame = 0;
    };
    bool Empty() const { return head_ == tail_; }
    const Entry& Front() const { return entries_[head_ % QueuedWaveOut::kMaxQueued]; }
    void Push(const Entry& entry) { entries_[tail_++ % QueuedWaveOut::kMaxQueued] = entry; }
    void Pop() { ++head_; }

  private:
    std::array<Entry, QueuedWaveOut::kMaxQueued> entries_{};
    uint64_t head_ = 0;
    uint64_t tail_ = 0;
};

class PulseWaveOut final : public QueuedWaveOut {
  public:
    PulseWaveOut(std::shared_ptr<PulseContext> pulse, const WaveFormat& format,
                 const pa_buffer_attr& attr, std::string sink, WaveCallback callback,
                 std::shared_ptr<Counters> counters, std::chrono::milliseconds limit,
                 uint32_t leadInMs, uint32_t aheadMs)
        : QueuedWaveOut(format, std::move(callback)),
          pulse_(std::move(pulse)),
          attr_(attr),
          sink_(std::move(sink)),
          limit_(limit),
          aheadUsec_(pa_usec_t{aheadMs} * PA_USEC_PER_MSEC),
          counters_(std::move(counters)),
          leadIn_(static_cast<std::size_t>(uint64_t{format.samplesPerSec} * leadInMs / 1000) *
                      format.blockAlign,
                  format.bitsPerSample == 8 ? uint8_t{0x80} : uint8_t{0}) {}

    ~PulseWaveOut() override { Shutdown(); }

    // Makes the server stream; on failure nothing is left and nothing is notified.
    MMResult Start() {
        std::lock_guard lock(mutex_);
        const MMResult result = MakeStreamLocked();
        if (result != MMSYSERR_NOERROR) {
            return result;
        }
        OpenedLocked();
        return MMSYSERR_NOERROR;
    }

  private:
    MMResult QueueLocked(WaveHeader* header) override {
        if (needsStream_ && MakeStreamLocked() != MMSYSERR_NOERROR) {
            return GiveBackLater(header);
        }
        PulseContext::Lock pa(*pulse_);
        if (failed_) {
            pa.Release();
            return GiveBackLater(header);
        }
        const uint64_t frames = header->length / format_.blockAlign;
        if (framesWritten_ == 0 && frames > 0 && !WriteLeadIn()) {
            pa.Release();
            return GiveBackLater(header);
        }
        if (frames > 0 && pa_stream_write(stream_, header->data, frames * format_.blockAlign,
                                          nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            // The server went away under us; the state callback returns the rest.
            pa.Release();
            return GiveBackLater(header);
        }
        if (queued_.Empty()) {
            startStampNs_.store(NowNs(), std::memory_order_relaxed);
        }
        framesWritten_ += frames;
        queued_.Push({header, framesWritten_});
        if (serverCorked_) {
            SyncCork();
        } else if (!timerArmed_) {
            ArmTimer();
        }
        return MMSYSERR_NOERROR;
    }

    void SetPausedLocked(bool paused) override {
        PulseContext::Lock pa(*pulse_);
        corked_ = paused;
        SyncCork();
    }

    void StopLocked() override {
        ReturnAllLocked();
        // The next Write makes a new stream, also after the server went away and came back.
        needsStream_ = true;
    }

    void CloseLocked() override { ReturnAllLocked(); }

    // --- libpulse loop side: runs with the loop's lock held; no lock of ours, no allocation. ---

    static void OnState(pa_stream* stream, void* self) {
        static_cast<PulseWaveOut*>(self)->StateChanged(stream);
    }

    static void OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
        static_cast<PulseWaveOut*>(self)->TimerFired();
    }

    static void OnUnderflow(pa_stream*, void* self) {
        static_cast<PulseWaveOut*>(self)->counters_->underflows.fetch_add(
            1, std::memory_order_relaxed);
    }

    static void OnStarted(pa_stream*, void* self) {
        auto* out = static_cast<PulseWaveOut*>(self);
        const int64_t stamp = out->startStampNs_.exchange(0, std::memory_order_relaxed);
        if (stamp != 0) {
            out->counters_->lastStartLatencyNs.store(NowNs() - stamp, std::memory_order_relaxed);
        }
    }

    void StateChanged(pa_stream* stream) {
        if (stream == stream_ && pa_stream_get_state(stream) == PA_STREAM_FAILED) {
            // The server went away (or refused the stream): hand back everything it held.
            failed_ = true;
            QueueAllToDone();
        }
        pulse_->Poke();
    }

    void TimerFired() {
        timerArmed_ = false;
        counters_->timerWakeups.fetch_add(1, std::memory_order_relaxed);
        pa_usec_t position = 0;
        if (stream_ && pa_stream_get_time(stream_, &position) >= 0) {
            // A stream that ran dry stops its clock a sink latency short of the end, though
            // the sink has taken everything: what is left is being played.
            if (Drained()) {
                position = FramesToUsec(framesWritten_);
            }
            bool any = false;
            while (!queued_.Empty() && FramesToUsec(queued_.Front().endFrame) <=
                                           position + kPlayedSlackUsec + aheadUsec_) {
                Played(queued_.Front().header);
                queued_.Pop();
                any = true;
            }
            if (any) {
                Wake();
            }
        }
        ArmTimer();
    }

    // Under the loop's lock: the server has read everything written and plays no more of it.
    bool Drained() const {
        const pa_timing_info* info = pa_stream_get_timing_info(stream_);
        return info && !info->playing && !info->read_index_corrupt &&
               info->read_index >= static_cast<int64_t>(framesWritten_ * format_.blockAlign);
    }

    // Under the loop's lock: sets the timer for the end of the oldest queued header.
    void ArmTimer() {
        if (!stream_ || serverCorked_ || queued_.Empty() ||
            pa_stream_get_state(stream_) != PA_STREAM_READY) {
            DisarmTimer();
            return;
        }
        pa_usec_t delay = kNoPositionUsec;
        pa_usec_t position = 0;
        if (pa_stream_get_time(stream_, &position) >= 0) {
            const pa_usec_t due = FramesToUsec(queued_.Front().endFrame) -
                                  std::min(aheadUsec_, FramesToUsec(queued_.Front().endFrame));
            delay = due > position ? due - position : 0;
        }
        const pa_usec_t when = pa_rtclock_now() + std::max(delay, kMinTimerUsec);
        pa_context* context = pa_stream_get_context(stream_);
        if (!timer_) {
            timer_ = pa_context_rttime_new(context, when, &PulseWaveOut::OnTimer, this);
        } else {
            pa_context_rttime_restart(context, timer_, when);
        }
        timerArmed_ = timer_ != nullptr;
    }

    void DisarmTimer() {
        if (timer_ && timerArmed_ && stream_) {
            pa_context_rttime_restart(pa_stream_get_context(stream_), timer_, PA_USEC_INVALID);
        }
        timerArmed_ = false;
    }

    // Under the loop's lock: every queued header goes to the notification thread, in order.
    void QueueAllToDone() {
        bool any = false;
        while (!queued_.Empty()) {
            Played(queued_.Front().header);  // never full: the outstanding count bounds it
            queued_.Pop();
            any = true;
        }
        if (any) {
            Wake();
        }
    }

    // Under the loop's lock. When a new stream starts, the server remixes what the sink had
    // mixed ahead, and the first milliseconds of the stream can be lost in that; a short
    // silence ahead of the first buffer keeps its sound whole.
    bool WriteLeadIn() {
        if (leadIn_.empty()) {
            return true;
        }
        if (pa_stream_write(stream_, leadIn_.data(), leadIn_.size(), nullptr, 0, PA_SEEK_RELATIVE) <
            0) {
            return false;
        }
        framesWritten_ += leadIn_.size() / format_.blockAlign;
        return true;
    }

    pa_usec_t FramesToUsec(uint64_t frames) const {
        return frames * PA_USEC_PER_SEC / format_.samplesPerSec;
    }

    // --- Control side, under mutex_. ---

    // Makes the server stream and waits (bounded) until it can take data.
    MMResult MakeStreamLocked() {
        needsStream_ = false;
        if (!pulse_->Connect(std::chrono::steady_clock::now() + limit_)) {
            MarkFailed();
            return MMSYSERR_NODRIVER;
        }
        pa_stream* stream = nullptr;
        {
            PulseContext::Lock pa(*pulse_);
            DropStreamLocked();
            pa_context* context = pulse_->Context();
            if (!context) {
                failed_ = true;
                return MMSYSERR_NODRIVER;
            }
            pa_sample_spec sampleSpec{};
            sampleSpec.format = format_.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
            sampleSpec.rate = format_.samplesPerSec;
            sampleSpec.channels = static_cast<uint8_t>(format_.channels);
            stream = pa_stream_new(context, "Vantrel", &sampleSpec, nullptr);
            if (!stream) {
                failed_ = true;
                return pa_context_errno(context) == PA_ERR_INVALID ? WAVERR_BADFORMAT
                                                                   : MMSYSERR_ERROR;
            }
            stream_ = stream;
            failed_ = false;
            framesWritten_ = 0;
            pa_stream_set_state_callback(stream, &PulseWaveOut::OnState, this);
            pa_stream_set_underflow_callback(stream, &PulseWaveOut::OnUnderflow, this);
            pa_stream_set_started_callback(stream, &PulseWaveOut::OnStarted, this);
            const auto flags = static_cast<pa_stream_flags_t>(
                PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
            serverCorked_ = true;
            if (pa_stream_connect_playback(stream, sink_.empty() ? nullptr : sink_.c_str(), &attr_,
                                           flags, nullptr, nullptr) < 0) {
                DropStreamLocked();
                failed_ = true;
                return MMSYSERR_ERROR;
            }
        }
        pa_stream_state_t state = PA_STREAM_CREATING;
        pulse_->WaitUntil(
            [&] {
                state = stream_ == stream ? pa_stream_get_state(stream) : PA_STREAM_FAILED;
                return state != PA_STREAM_CREATING && state != PA_STREAM_UNCONNECTED;
            },
            std::chrono::steady_clock::now() + limit_);
        if (state == PA_STREAM_READY) {
            return MMSYSERR_NOERROR;
        }
        PulseContext::Lock pa(*pulse_);
        const bool noSink = stream_ == stream && pulse_->Context() &&
                            pa_context_errno(pulse_->Context()) == PA_ERR_NOENTITY;
        DropStreamLocked();
        failed_ = true;
        return noSink ? MMSYSERR_BADDEVICEID : MMSYSERR_NODRIVER;
    }

    void MarkFailed() {
        PulseContext::Lock pa(*pulse_);
        DropStreamLocked();
        failed_ = true;
    }

    // Under the loop's lock: disconnects the server stream; its queued sound is discarded.
    void DropStreamLocked() {
        if (timer_) {
            pa_threaded_mainloop_get_api(pulse_->Loop())->time_free(timer_);
            timer_ = nullptr;
        }
        timerArmed_ = false;
        if (!stream_) {
            return;
        }
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
        pa_stream_set_started_callback(stream_, nullptr, nullptr);
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) {
            pa_stream_disconnect(stream_);
        }
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }

    // Drops the server stream and returns every header, played ones first, in write order.
    void ReturnAllLocked() {
        {
            PulseContext::Lock pa(*pulse_);
            DropStreamLocked();
            QueueAllToDone();
            startStampNs_.store(0, std::memory_order_relaxed);
        }
        DrainLocked();
    }

    // Under the loop's lock: a new server stream stays corked until its first data is in, so
    // it starts on a whole buffer; after that it follows Pause and Restart.
    void SyncCork() {
        const bool cork = corked_ || (framesWritten_ == 0 && queued_.Empty());
        if (cork != serverCorked_ && stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY) {
            if (pa_operation* op = pa_stream_cork(stream_, cork ? 1 : 0, nullptr, nullptr)) {
                pa_operation_unref(op);
            }
            serverCorked_ = cork;
        }
        ArmTimer();
    }

    const std::shared_ptr<PulseContext> pulse_;
    const pa_buffer_attr attr_;
    const std::string sink_;  // empty: the default sink
    const std::chrono::milliseconds limit_;
    // A header comes back once its end is this close to being played (0: once played).
    const pa_usec_t aheadUsec_;

    // Loop side, under the loop's lock.
    pa_stream* stream_ = nullptr;
    pa_time_event* timer_ = nullptr;
    bool timerArmed_ = false;
    bool corked_ = false;        // paused by the caller
    bool serverCorked_ = false;  // as last asked of the server
    bool failed_ = false;        // the server stream failed or could not be made
    uint64_t framesWritten_ = 0;
    QueuedHeaders queued_;

    std::atomic<int64_t> startStampNs_{0};  // loop side -> Stats

    // Control side, under mutex_ (taken before the loop's lock, never after it).
    bool needsStream_ = false;

    const std::shared_ptr<Counters> counters_;
    const std::vector<uint8_t> leadIn_;  // silence ahead of a new stream's first buffer
};

}  // namespace

PulseWaveSystem::PulseWaveSystem(PulseOptions options)
    : options_(options), pulse_(PulseContext::Acquire()), counters_(std::make_shared<Counters>()) {
    connectedAtStart_ = Refresh();
}

PulseWaveSystem::~PulseWaveSystem() = default;

bool PulseWaveSystem::Refresh() {
    if (!pulse_) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + options_.serverLimit;
    if (!pulse_->Connect(deadline)) {
        return false;
    }
    uint64_t generation = 0;
    {
        PulseContext::Lock pa(*pulse_);
        generation = pulse_->Generation();
    }
    std::lock_guard lock(mutex_);
    if (generation == sinksGeneration_) {
        return true;
    }
    std::vector<PulseSink> sinks;
    std::string defaultSink;
    if (!pulse_->ReadSinks(sinks, defaultSink, deadline)) {
        return false;
    }
    sinksGeneration_ = generation;
    sinkNames_.clear();
    deviceNames_.clear();
    for (const PulseSink& sink : sinks) {
        sinkNames_.push_back(sink.name);
        deviceNames_.push_back(CutDeviceName(sink.description));
    }
    return true;
}

int PulseWaveSystem::DeviceCount() {
    Refresh();
    std::lock_guard lock(mutex_);
    return static_cast<int>(deviceNames_.size());
}

std::string PulseWaveSystem::DeviceName(int index) {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= static_cast<int>(deviceNames_.size())) {
        return {};
    }
    return deviceNames_[static_cast<std::size_t>(index)];
}

MMResult PulseWaveSystem::Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                               std::unique_ptr<WaveOut>* stream) {
    if (!stream) {
        return MMSYSERR_INVALPARAM;
    }
    if (!Refresh()) {
        return MMSYSERR_NODRIVER;
    }
    std::string sink;
    {
        std::lock_guard lock(mutex_);
        if (deviceId != WAVE_MAPPER) {
            if (deviceId < 0 || deviceId >= static_cast<int>(sinkNames_.size())) {
                return MMSYSERR_BADDEVICEID;
            }
            sink = sinkNames_[static_cast<std::size_t>(deviceId)];
        }
    }
    if (!IsValidPcm(format)) {
        return WAVERR_BADFORMAT;
    }

    const bool keyed = IsKeyingFormat(format);
    const uint32_t targetMs = keyed ? options_.keyedTargetMs : options_.largeTargetMs;
    const uint32_t requestMs = keyed ? options_.keyedRequestMs : options_.largeRequestMs;
    auto bytesOf = [&format](uint32_t ms) {
        const uint64_t frames = uint64_t{format.samplesPerSec} * ms / 1000;
        return static_cast<uint32_t>(frames * format.blockAlign);
    };
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = bytesOf(targetMs);
    attr.minreq = bytesOf(requestMs);
    // Play as soon as anything is in: every header arrives whole, so the first is heard whole.
    attr.prebuf = format.blockAlign;
    attr.fragsize = static_cast<uint32_t>(-1);

    auto created = std::make_unique<PulseWaveOut>(
        pulse_, format, attr, std::move(sink), std::move(callback), counters_, options_.serverLimit,
        options_.leadInMs, keyed ? 0 : options_.largeAheadMs);
    const MMResult result = created->Start();
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    *stream = std::move(created);
    return MMSYSERR_NOERROR;
}

PulseStats PulseWaveSystem::Stats() const {
    PulseStats stats;
    stats.underflows = counters_->underflows.load();
    stats.timerWakeups = counters_->timerWakeups.load();
    stats.lastStartLatencyNs = counters_->lastStartLatencyNs.load();
    return stats;
}

}  // namespace vantrel::audio
