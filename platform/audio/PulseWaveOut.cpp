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
    std::atomic<uint64_t> headersHeld{0};
    std::atomic<int64_t> lastStartLatencyNs{-1};
};

namespace {

using Counters = PulseWaveSystem::Counters;
using Deadline = PulseContext::Deadline;

// The played-header timer never sleeps shorter than this.
constexpr pa_usec_t kMinTimerUsec = 2 * PA_USEC_PER_MSEC;
// A timing report older than this is renewed while the stream plays, as the sound card's clock
// drifts a little from ours.
constexpr pa_usec_t kTimingRefreshUsec = 4 * PA_USEC_PER_SEC;
// While the server has not reported the stream playing, it is asked again after this, and then
// after twice as long each time, up to the longest wait.
constexpr pa_usec_t kStallFirstUsec = 10 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kStallLongestUsec = 160 * PA_USEC_PER_MSEC;

bool IsKeyingFormat(const WaveFormat& format) {
    return format.samplesPerSec == 8000 && format.channels == 1;
}

// The written headers in write order: first those sent to the server, each with the stream
// position (in frames) at which it ends, then those waiting to be sent. Touched only under the
// loop's lock.
class QueuedHeaders {
  public:
    struct Entry {
        WaveHeader* header = nullptr;
        uint64_t endFrame = 0;
    };
    bool Empty() const { return head_ == tail_; }
    bool FrontSent() const { return head_ != sent_; }
    bool AnyUnsent() const { return sent_ != tail_; }
    const Entry& Front() const { return At(head_); }
    const Entry& FirstUnsent() const { return At(sent_); }
    void Push(WaveHeader* header) { At(tail_++) = {header, 0}; }
    void MarkSent(uint64_t endFrame) { At(sent_++).endFrame = endFrame; }
    // Bytes of whole frames in the headers waiting to be sent.
    std::size_t UnsentBytes(uint32_t blockAlign) const {
        std::size_t bytes = 0;
        for (uint64_t i = sent_; i != tail_; ++i) {
            bytes += At(i).header->length / blockAlign * blockAlign;
        }
        return bytes;
    }
    void Pop() {
        sent_ += sent_ == head_ ? 1 : 0;
        ++head_;
    }

  private:
    Entry& At(uint64_t index) { return entries_[index % QueuedWaveOut::kMaxQueued]; }
    const Entry& At(uint64_t index) const { return entries_[index % QueuedWaveOut::kMaxQueued]; }

    std::array<Entry, QueuedWaveOut::kMaxQueued> entries_{};
    uint64_t head_ = 0;
    uint64_t sent_ = 0;
    uint64_t tail_ = 0;
};

class PulseWaveOut final : public QueuedWaveOut {
  public:
    // How a stream hands its headers back. Keyed: each once heard. Otherwise: on a grid of
    // ticks shared by all such streams, each once it is due within `aheadMs`; and a header
    // written while the server holds plenty waits for the next tick to be sent, with the others
    // written meanwhile, so that writing wakes nobody.
    struct Pace {
        uint32_t aheadMs = 0;
        uint32_t tickMs = 0;  // 0: no grid, every header sent at once
        uint32_t holdMs = 0;  // the server holds at least this much: a header may wait
    };

    PulseWaveOut(std::shared_ptr<PulseContext> pulse, const WaveFormat& format,
                 const pa_buffer_attr& attr, std::string sink, WaveCallback callback,
                 std::shared_ptr<Counters> counters, std::chrono::milliseconds limit,
                 uint32_t leadInMs, const Pace& pace)
        : QueuedWaveOut(format, std::move(callback)),
          pulse_(std::move(pulse)),
          attr_(attr),
          sink_(std::move(sink)),
          limit_(limit),
          aheadFrames_(uint64_t{format.samplesPerSec} * pace.aheadMs / 1000),
          tickUsec_(pa_usec_t{pace.tickMs} * PA_USEC_PER_MSEC),
          holdFrames_(uint64_t{format.samplesPerSec} * pace.holdMs / 1000),
          slackFrames_(format.samplesPerSec / 1000),
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
        if (MayWait()) {
            queued_.Push(header);
            counters_->headersHeld.fetch_add(1, std::memory_order_relaxed);
            if (!timerArmed_) {
                ArmTimer();
            }
            return MMSYSERR_NOERROR;
        }
        SendWaiting();
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
        queued_.Push(header);
        queued_.MarkSent(framesWritten_);
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

    uint64_t HeardFrames() override {
        PulseContext::Lock pa(*pulse_);
        if (!stream_ || framesWritten_ == leadFrames_) {
            return heard_ = 0;
        }
        const Heard heard = HeardByNow();
        if (heard.age == PA_USEC_INVALID || heard.age > kTimingRefreshUsec) {
            AskTiming();  // for the next question; this one is answered from what is known
        }
        // After a silence the server's first reports place the new sound up to a sink latency
        // before the end of the old: the position never goes back.
        heard_ =
            std::max(heard_, std::clamp(heard.frames, leadFrames_, framesWritten_) - leadFrames_);
        return heard_;
    }

    // --- libpulse loop side: runs with the loop's lock held; no lock of ours, no allocation. ---

    static void OnState(pa_stream* stream, void* self) {
        static_cast<PulseWaveOut*>(self)->StateChanged(stream);
    }

    static void OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
        static_cast<PulseWaveOut*>(self)->TimerFired();
    }

    static void OnUnderflow(pa_stream*, void* self) {
        auto* out = static_cast<PulseWaveOut*>(self);
        out->counters_->underflows.fetch_add(1, std::memory_order_relaxed);
        out->AskTiming();
    }

    static void OnStarted(pa_stream*, void* self) {
        auto* out = static_cast<PulseWaveOut*>(self);
        const int64_t stamp = out->startStampNs_.exchange(0, std::memory_order_relaxed);
        if (stamp != 0) {
            out->counters_->lastStartLatencyNs.store(NowNs() - stamp, std::memory_order_relaxed);
        }
        out->AskTiming();
    }

    static void OnTiming(pa_stream*, int, void* self) {
        auto* out = static_cast<PulseWaveOut*>(self);
        pa_operation_unref(std::exchange(out->timingAsked_, nullptr));
        out->TimerFired();
    }

    void StateChanged(pa_stream* stream) {
        if (stream == stream_ && pa_stream_get_state(stream) == PA_STREAM_FAILED) {
            // The server went away (or refused the stream): hand back everything it held.
            failed_ = true;
            QueueAllToDone();
        }
        pulse_->Poke();
    }

    // What the server's last timing report tells about now, in frames of the server stream.
    struct Heard {
        uint64_t frames = 0;              // heard by now
        uint64_t limit = 0;               // the most that can be heard until the next report
        pa_usec_t age = PA_USEC_INVALID;  // of the report; PA_USEC_INVALID: none yet
    };

    // The frame the server had read last when it reported is heard a sink latency after the
    // report. While the stream plays the server reads on at the stream's rate, up to what is
    // written; a stream that does not play (not started yet, run dry, corked) reads no more.
    Heard HeardByNow() const {
        Heard heard;
        const pa_timing_info* info = stream_ ? pa_stream_get_timing_info(stream_) : nullptr;
        if (!info || info->read_index_corrupt) {
            return heard;
        }
        const uint64_t read =
            static_cast<uint64_t>(std::max<int64_t>(info->read_index, 0)) / format_.blockAlign;
        heard.age = pa_timeval_age(&info->timestamp);
        heard.limit =
            info->playing && !serverCorked_ ? framesWritten_ : std::min(read, framesWritten_);
        const uint64_t reached = read + UsecToFrames(heard.age);
        const uint64_t latency = UsecToFrames(info->sink_usec);
        heard.frames = std::min(reached > latency ? reached - latency : 0, heard.limit);
        return heard;
    }

    // Asks the server for a timing report, one at a time; the answer looks at the queue again.
    void AskTiming() {
        if (timingAsked_ || !stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY) {
            return;
        }
        timingAsked_ = pa_stream_update_timing_info(stream_, &PulseWaveOut::OnTiming, this);
    }

    // The timer, or a timing report: hands the headers heard (or due within aheadFrames_) over
    // to the notification thread, then waits for the next one.
    void TimerFired() {
        timerArmed_ = false;
        counters_->timerWakeups.fetch_add(1, std::memory_order_relaxed);
        SendWaiting();
        const Heard heard = HeardByNow();
        bool any = false;
        while (queued_.FrontSent() &&
               queued_.Front().endFrame <= heard.frames + slackFrames_ + aheadFrames_) {
            Played(queued_.Front().header);
            queued_.Pop();
            any = true;
        }
        if (any) {
            Wake();
        }
        ArmTimer(heard);
    }

    void ArmTimer() { ArmTimer(HeardByNow()); }

    // Sets the timer for when the oldest queued header is due. Without a report that lets it
    // become due, the server is asked again (soon, then more and more rarely).
    void ArmTimer(const Heard& heard) {
        if (!stream_ || serverCorked_ || pa_stream_get_state(stream_) != PA_STREAM_READY) {
            DisarmTimer();
            return;
        }
        pa_usec_t delay = 0;
        if (queued_.Empty()) {
            // Every header went back. A stream on ticks expects the caller's next ones soon and
            // keeps its tick while the server still plays, so that they can wait for it without
            // waking the loop.
            if (tickUsec_ == 0 || heard.age == PA_USEC_INVALID || heard.frames >= framesWritten_) {
                DisarmTimer();
                return;
            }
        } else if (!queued_.FrontSent()) {
            // Only headers waiting to be sent: the next tick sends them.
        } else if (const uint64_t due =
                       queued_.Front().endFrame - std::min(aheadFrames_, queued_.Front().endFrame);
                   heard.age != PA_USEC_INVALID && due <= heard.limit) {
            stallUsec_ = kStallFirstUsec;
            delay = due > heard.frames ? FramesToUsec(due - heard.frames) : 0;
            if (heard.age > kTimingRefreshUsec) {
                AskTiming();
            }
        } else {
            if (heard.age == PA_USEC_INVALID || heard.age >= stallUsec_) {
                AskTiming();
            }
            delay = stallUsec_;
            stallUsec_ = std::min(2 * stallUsec_, kStallLongestUsec);
        }
        pa_usec_t when = pa_rtclock_now() + std::max(delay, kMinTimerUsec);
        if (tickUsec_ > 0) {
            when = (when + tickUsec_ - 1) / tickUsec_ * tickUsec_;
        }
        if (timerArmed_ && when == timerWhen_) {
            return;  // as it is: setting it again would wake the loop for nothing
        }
        pa_context* context = pa_stream_get_context(stream_);
        if (!timer_) {
            timer_ = pa_context_rttime_new(context, when, &PulseWaveOut::OnTimer, this);
        } else {
            pa_context_rttime_restart(context, timer_, when);
        }
        timerArmed_ = timer_ != nullptr;
        timerWhen_ = when;
    }

    void DisarmTimer() {
        if (timer_ && timerArmed_ && stream_) {
            pa_context_rttime_restart(pa_stream_get_context(stream_), timer_, PA_USEC_INVALID);
        }
        timerArmed_ = false;
    }

    // A header may wait for the next tick when the server holds enough to play until then.
    bool MayWait() const {
        if (tickUsec_ == 0 || serverCorked_ || !timerArmed_) {
            return false;
        }
        const Heard heard = HeardByNow();
        return heard.age != PA_USEC_INVALID && heard.limit == framesWritten_ &&
               framesWritten_ >= heard.frames + holdFrames_;
    }

    // Sends the headers that waited, as one server block where they fit in one.
    void SendWaiting() {
        if (!queued_.AnyUnsent() || !stream_) {
            return;
        }
        const std::size_t bytes = queued_.UnsentBytes(format_.blockAlign);
        void* block = nullptr;
        std::size_t room = bytes;
        if (bytes > 0 && pa_stream_begin_write(stream_, &block, &room) == 0 && room >= bytes) {
            auto* to = static_cast<uint8_t*>(block);
            while (queued_.AnyUnsent()) {
                const WaveHeader* header = queued_.FirstUnsent().header;
                const uint64_t frames = header->length / format_.blockAlign;
                to = std::copy_n(header->data, frames * format_.blockAlign, to);
                framesWritten_ += frames;
                queued_.MarkSent(framesWritten_);
            }
            // A failure means the server went away: the state callback returns everything.
            pa_stream_write(stream_, block, bytes, nullptr, 0, PA_SEEK_RELATIVE);
            return;
        }
        if (block) {
            pa_stream_cancel_write(stream_);
        }
        while (queued_.AnyUnsent()) {
            const WaveHeader* header = queued_.FirstUnsent().header;
            const uint64_t frames = header->length / format_.blockAlign;
            if (frames > 0) {
                pa_stream_write(stream_, header->data, frames * format_.blockAlign, nullptr, 0,
                                PA_SEEK_RELATIVE);
            }
            framesWritten_ += frames;
            queued_.MarkSent(framesWritten_);
        }
    }

    // Every queued header goes to the notification thread, in order.
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

    // When a new stream starts, the server remixes what the sink had mixed ahead, and the first
    // milliseconds of the stream can be lost in that; a short silence ahead of the first buffer
    // keeps its sound whole.
    bool WriteLeadIn() {
        if (leadIn_.empty()) {
            return true;
        }
        if (pa_stream_write(stream_, leadIn_.data(), leadIn_.size(), nullptr, 0, PA_SEEK_RELATIVE) <
            0) {
            return false;
        }
        leadFrames_ = leadIn_.size() / format_.blockAlign;
        framesWritten_ += leadFrames_;
        return true;
    }

    // A new server stream stays corked until its first data is in, so it starts on a whole
    // buffer; after that it follows Pause and Restart.
    void SyncCork() {
        const bool cork = corked_ || (framesWritten_ == 0 && queued_.Empty());
        if (cork != serverCorked_ && stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY) {
            if (pa_operation* op = pa_stream_cork(stream_, cork ? 1 : 0, nullptr, nullptr)) {
                pa_operation_unref(op);
            }
            serverCorked_ = cork;
            AskTiming();
        }
        ArmTimer();
    }

    pa_usec_t FramesToUsec(uint64_t frames) const {
        return frames * PA_USEC_PER_SEC / format_.samplesPerSec;
    }
    uint64_t UsecToFrames(pa_usec_t usec) const {
        return usec * format_.samplesPerSec / PA_USEC_PER_SEC;
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
            leadFrames_ = 0;
            heard_ = 0;
            stallUsec_ = kStallFirstUsec;
            pa_stream_set_state_callback(stream, &PulseWaveOut::OnState, this);
            pa_stream_set_underflow_callback(stream, &PulseWaveOut::OnUnderflow, this);
            pa_stream_set_started_callback(stream, &PulseWaveOut::OnStarted, this);
            // No timing updates on a schedule of libpulse's: the stream asks for reports when
            // it needs them (see AskTiming), which saves the loop most of its wake-ups.
            serverCorked_ = true;
            if (pa_stream_connect_playback(stream, sink_.empty() ? nullptr : sink_.c_str(), &attr_,
                                           PA_STREAM_START_CORKED, nullptr, nullptr) < 0) {
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
        if (timingAsked_) {
            pa_operation_cancel(timingAsked_);
            pa_operation_unref(std::exchange(timingAsked_, nullptr));
        }
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

    const std::shared_ptr<PulseContext> pulse_;
    const pa_buffer_attr attr_;
    const std::string sink_;  // empty: the default sink
    const std::chrono::milliseconds limit_;
    // A header comes back once its end is this close to being heard (0: once heard).
    const uint64_t aheadFrames_;
    const pa_usec_t tickUsec_;
    const uint64_t holdFrames_;
    // A header whose end is this close to being heard counts as heard.
    const uint64_t slackFrames_;

    // Loop side, under the loop's lock.
    pa_stream* stream_ = nullptr;
    pa_time_event* timer_ = nullptr;
    bool timerArmed_ = false;
    pa_usec_t timerWhen_ = 0;              // while armed
    pa_operation* timingAsked_ = nullptr;  // a timing report asked for and not yet answered
    pa_usec_t stallUsec_ = kStallFirstUsec;
    bool corked_ = false;         // paused by the caller
    bool serverCorked_ = false;   // as last asked of the server
    bool failed_ = false;         // the server stream failed or could not be made
    uint64_t framesWritten_ = 0;  // the lead-in included
    uint64_t leadFrames_ = 0;     // silence ahead of the first header
    uint64_t heard_ = 0;          // the last position told
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
    if (!Refresh()) {
        return 0;
    }
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
    const uint32_t latencyMs = keyed ? options_.keyedLatencyMs : options_.largeLatencyMs;
    auto bytesOf = [&format](uint32_t ms) {
        const uint64_t frames = uint64_t{format.samplesPerSec} * ms / 1000;
        return static_cast<uint32_t>(frames * format.blockAlign);
    };
    // The server keeps the sink's latency at what the target leaves beyond two requests.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.minreq = bytesOf(options_.requestMs);
    attr.tlength = bytesOf(2 * options_.requestMs + latencyMs);
    // Play as soon as anything is in: every header arrives whole, so the first is heard whole.
    attr.prebuf = format.blockAlign;
    attr.fragsize = static_cast<uint32_t>(-1);

    PulseWaveOut::Pace pace;
    if (!keyed) {
        pace.aheadMs = options_.largeAheadMs;
        pace.tickMs = options_.largeTickMs;
        // Until the next tick, and then a sink latency, with room to spare.
        pace.holdMs = options_.largeTickMs + latencyMs + 50;
    }
    auto created =
        std::make_unique<PulseWaveOut>(pulse_, format, attr, std::move(sink), std::move(callback),
                                       counters_, options_.serverLimit, options_.leadInMs, pace);
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
    stats.headersHeld = counters_->headersHeld.load();
    stats.lastStartLatencyNs = counters_->lastStartLatencyNs.load();
    return stats;
}

}  // namespace vantrel::audio
