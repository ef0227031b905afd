#include "platform/audio/VirtualWaveOut.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/audio/NotificationThread.h"
#include "platform/audio/WavWriter.h"

namespace vantrel::audio {

namespace {

constexpr std::size_t kMaxNameLength = 31;
constexpr auto kRealTimeTick = std::chrono::milliseconds(5);

class VirtualWaveOut;

}  // namespace

// Everything of the system and of its streams, under one lock: nothing here is real-time.
struct VirtualWaveSystem::State {
    std::mutex mutex;
    std::vector<std::string> devices{"Virtual Output"};
    MMResult failAlways = MMSYSERR_NOERROR;
    MMResult failNext = MMSYSERR_NOERROR;
    std::chrono::milliseconds delay{0};
    std::string wavDirectory;
    std::vector<VirtualStreamLog> logs;
    std::vector<VirtualWaveOut*> streams;  // alive (open or closed, not yet destroyed)
    uint64_t openAttempts = 0;
    uint64_t totalWritten = 0;

    // Hung device.
    bool blocked = false;
    int blockedCalls = 0;
    std::condition_variable unblocked;

    // Takes the lock once the device answers again.
    std::unique_lock<std::mutex> Answer() {
        std::unique_lock lock(mutex);
        if (blocked) {
            ++blockedCalls;
            unblocked.wait(lock, [this] { return !blocked; });
            --blockedCalls;
        }
        return lock;
    }

    // Real-time clock.
    std::thread clockThread;
    std::condition_variable clockWake;
    bool clockStop = false;
};

namespace {

using State = VirtualWaveSystem::State;

class VirtualWaveOut final : public WaveOut {
  public:
    VirtualWaveOut(std::shared_ptr<State> state, std::size_t logIndex, const WaveFormat& format,
                   WaveCallback callback)
        : state_(std::move(state)),
          logIndex_(logIndex),
          format_(format),
          callback_(std::make_shared<WaveCallback>(std::move(callback))),
          notifier_(std::make_shared<NotificationThread>()) {}

    ~VirtualWaveOut() override {
        Close();
        notifier_->Stop();
        auto lock = state_->Answer();
        auto& streams = state_->streams;
        streams.erase(std::remove(streams.begin(), streams.end(), this), streams.end());
    }

    // Called with the state locked.
    void PostLocked(WaveMessage message, WaveHeader* header) {
        notifier_->Post([callback = callback_, message, header] { (*callback)(message, header); });
    }

    MMResult Prepare(WaveHeader* header) override {
        auto lock = state_->Answer();
        return MarkPrepared(header);
    }

    MMResult Unprepare(WaveHeader* header) override {
        auto lock = state_->Answer();
        return MarkUnprepared(header);
    }

    MMResult Write(WaveHeader* header) override {
        auto lock = state_->Answer();
        if (const MMResult refused = CheckWritable(header, closed_); refused != MMSYSERR_NOERROR) {
            return refused;
        }
        header->queued = true;
        queue_.push_back(header);
        ++Log().headersWritten;
        ++state_->totalWritten;
        return MMSYSERR_NOERROR;
    }

    MMResult Pause() override { return SetPaused(true); }
    MMResult Restart() override { return SetPaused(false); }

    // Exact from the device's clock, and answered even while the device hangs.
    MMResult GetPosition(uint64_t* frames) override {
        std::lock_guard lock(state_->mutex);
        if (!frames) {
            return MMSYSERR_INVALPARAM;
        }
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        *frames = heard_;
        return MMSYSERR_NOERROR;
    }

    MMResult Reset() override {
        auto lock = state_->Answer();
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        ReturnAllLocked();
        return MMSYSERR_NOERROR;
    }

    MMResult Close() override {
        std::vector<uint8_t> recording;
        std::string path;
        {
            auto lock = state_->Answer();
            if (closed_) {
                return MMSYSERR_NOERROR;
            }
            ReturnAllLocked();
            closed_ = true;
            Log().closed = true;
            PostLocked(WaveMessage::Close, nullptr);
            if (!state_->wavDirectory.empty()) {
                path = state_->wavDirectory + "/stream-" + std::to_string(logIndex_) + ".wav";
                recording = Log().played;
            }
        }
        if (!path.empty()) {
            // A test that asked for the file reads the failure from its absence.
            (void)WavWriter::Write(path, format_, recording.data(), recording.size());
        }
        return MMSYSERR_NOERROR;
    }

    // Plays `frames` frames (state locked).
    void PlayLocked(uint64_t frames) {
        if (closed_ || paused_) {
            return;
        }
        VirtualStreamLog& log = Log();
        const std::size_t align = format_.blockAlign;
        while (frames > 0) {
            FinishEmptyHeadersLocked();
            if (queue_.empty()) {
                if (awaitingNext_) {
                    ++log.underruns;
                    awaitingNext_ = false;
                }
                if (recording_) {
                    const uint8_t silence = format_.bitsPerSample == 8 ? 0x80 : 0;
                    log.played.insert(log.played.end(), frames * align, silence);
                }
                return;
            }
            WaveHeader* head = queue_.front();
            const std::size_t headFrames = head->length / align;
            const uint64_t take = std::min<uint64_t>(frames, headFrames - headFrame_);
            const uint8_t* from = head->data + headFrame_ * align;
            log.played.insert(log.played.end(), from, from + take * align);
            recording_ = true;
            headFrame_ += take;
            heard_ += take;
            frames -= take;
            if (headFrame_ == headFrames) {
                FinishHeadLocked();
                awaitingNext_ = true;
            }
        }
        FinishEmptyHeadersLocked();
    }

    // Plays what `ms` milliseconds hold at this stream's rate (state locked).
    void PlayMsLocked(uint64_t ms) { PlayTicksLocked(ms * format_.samplesPerSec, 1000); }
    void PlayNsLocked(uint64_t ns) { PlayTicksLocked(ns * format_.samplesPerSec, 1000000000ull); }

    std::shared_ptr<NotificationThread> Notifier() const { return notifier_; }
    bool OpenLocked() const { return !closed_; }
    std::size_t QueuedLocked() const { return queue_.size(); }
    void PostOpenLocked() { PostLocked(WaveMessage::Open, nullptr); }
    void SetDelayLocked(std::chrono::milliseconds delay) { notifier_->SetDelay(delay); }

  private:
    VirtualStreamLog& Log() { return state_->logs[logIndex_]; }

    // Frames of `ticks / perSecond` seconds at the stream's rate; the fraction carries over.
    void PlayTicksLocked(uint64_t ticks, uint64_t unitsPerSecond) {
        if (closed_ || paused_) {
            return;
        }
        tickRemainder_ += ticks;
        const uint64_t frames = tickRemainder_ / unitsPerSecond;
        tickRemainder_ %= unitsPerSecond;
        PlayLocked(frames);
    }

    MMResult SetPaused(bool paused) {
        auto lock = state_->Answer();
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        paused_ = paused;
        Log().paused = paused;
        return MMSYSERR_NOERROR;
    }

    void FinishHeadLocked() {
        WaveHeader* head = queue_.front();
        queue_.pop_front();
        headFrame_ = 0;
        head->queued = false;
        ++Log().headersDone;
        PostLocked(WaveMessage::Done, head);
    }

    void FinishEmptyHeadersLocked() {
        while (!queue_.empty() && queue_.front()->length / format_.blockAlign == 0) {
            FinishHeadLocked();
        }
    }

    void ReturnAllLocked() {
        while (!queue_.empty()) {
            FinishHeadLocked();
        }
        awaitingNext_ = false;
        heard_ = 0;
    }

    std::shared_ptr<State> state_;
    const std::size_t logIndex_;
    const WaveFormat format_;
    const std::shared_ptr<WaveCallback> callback_;
    const std::shared_ptr<NotificationThread> notifier_;
    std::deque<WaveHeader*> queue_;
    uint64_t headFrame_ = 0;  // frames of the head header already played
    uint64_t heard_ = 0;      // frames of headers played since the open or the last Reset
    uint64_t tickRemainder_ = 0;
    bool paused_ = false;
    bool closed_ = false;
    bool recording_ = false;     // the first header has started to play
    bool awaitingNext_ = false;  // a header finished and the next one is due
};

void RunRealTimeClock(State& state) {
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    std::unique_lock lock(state.mutex);
    while (!state.clockStop) {
        state.clockWake.wait_until(lock, last + kRealTimeTick);
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - last);
        last = now;
        if (state.blocked) {
            continue;  // a hung device plays nothing
        }
        for (VirtualWaveOut* stream : state.streams) {
            stream->PlayNsLocked(static_cast<uint64_t>(elapsed.count()));
        }
    }
}

}  // namespace

VirtualWaveSystem::VirtualWaveSystem(Clock clock) : state_(std::make_shared<State>()) {
    if (clock == Clock::RealTime) {
        state_->clockThread = std::thread([state = state_.get()] { RunRealTimeClock(*state); });
    }
}

VirtualWaveSystem::~VirtualWaveSystem() {
    if (state_->clockThread.joinable()) {
        {
            std::lock_guard lock(state_->mutex);
            state_->clockStop = true;
        }
        state_->clockWake.notify_all();
        state_->clockThread.join();
    }
}

void VirtualWaveSystem::SetDevices(std::vector<std::string> names) {
    std::lock_guard lock(state_->mutex);
    state_->devices = std::move(names);
}

int VirtualWaveSystem::DeviceCount() {
    std::lock_guard lock(state_->mutex);
    return static_cast<int>(state_->devices.size());
}

std::string VirtualWaveSystem::DeviceName(int index) {
    std::lock_guard lock(state_->mutex);
    if (index < 0 || index >= static_cast<int>(state_->devices.size())) {
        return {};
    }
    return state_->devices[static_cast<std::size_t>(index)].substr(0, kMaxNameLength);
}

MMResult VirtualWaveSystem::Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                                 std::unique_ptr<WaveOut>* stream) {
    std::unique_ptr<VirtualWaveOut> created;
    {
        auto lock = state_->Answer();
        ++state_->openAttempts;
        if (!stream) {
            return MMSYSERR_INVALPARAM;
        }
        if (state_->failNext != MMSYSERR_NOERROR) {
            return std::exchange(state_->failNext, MMSYSERR_NOERROR);
        }
        if (state_->failAlways != MMSYSERR_NOERROR) {
            return state_->failAlways;
        }
        const int count = static_cast<int>(state_->devices.size());
        if (count == 0) {
            return MMSYSERR_NODRIVER;
        }
        if (deviceId != WAVE_MAPPER && (deviceId < 0 || deviceId >= count)) {
            return MMSYSERR_BADDEVICEID;
        }
        if (!IsValidPcm(format)) {
            return WAVERR_BADFORMAT;
        }
        VirtualStreamLog log;
        log.deviceId = deviceId;
        log.format = format;
        state_->logs.push_back(std::move(log));
        created = std::make_unique<VirtualWaveOut>(state_, state_->logs.size() - 1, format,
                                                   std::move(callback));
        created->SetDelayLocked(state_->delay);
        created->PostOpenLocked();
        state_->streams.push_back(created.get());
    }
    // Outside the lock: a stream the pointer still held is destroyed here.
    *stream = std::move(created);
    return MMSYSERR_NOERROR;
}

void VirtualWaveSystem::FailOpens(MMResult code) {
    std::lock_guard lock(state_->mutex);
    state_->failAlways = code;
}

void VirtualWaveSystem::FailNextOpen(MMResult code) {
    std::lock_guard lock(state_->mutex);
    state_->failNext = code;
}

void VirtualWaveSystem::BlockCalls(bool blocked) {
    {
        std::lock_guard lock(state_->mutex);
        state_->blocked = blocked;
    }
    state_->unblocked.notify_all();
}

int VirtualWaveSystem::BlockedCalls() const {
    std::lock_guard lock(state_->mutex);
    return state_->blockedCalls;
}

void VirtualWaveSystem::SetNotificationDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(state_->mutex);
    state_->delay = delay;
    for (VirtualWaveOut* stream : state_->streams) {
        stream->SetDelayLocked(delay);
    }
}

void VirtualWaveSystem::Advance(uint64_t frames) {
    {
        std::lock_guard lock(state_->mutex);
        for (VirtualWaveOut* stream : state_->streams) {
            if (!state_->blocked) {  // a hung device plays nothing
                stream->PlayLocked(frames);
            }
        }
    }
    Flush();
}

void VirtualWaveSystem::AdvanceMs(uint64_t ms) {
    {
        std::lock_guard lock(state_->mutex);
        for (VirtualWaveOut* stream : state_->streams) {
            if (!state_->blocked) {
                stream->PlayMsLocked(ms);
            }
        }
    }
    Flush();
}

void VirtualWaveSystem::Flush() {
    if (NotificationThread::InsideWork()) {
        return;
    }
    std::vector<std::shared_ptr<NotificationThread>> notifiers;
    {
        std::lock_guard lock(state_->mutex);
        for (VirtualWaveOut* stream : state_->streams) {
            notifiers.push_back(stream->Notifier());
        }
    }
    for (const auto& notifier : notifiers) {
        notifier->Flush();
    }
}

void VirtualWaveSystem::RecordToWav(std::string directory) {
    std::lock_guard lock(state_->mutex);
    state_->wavDirectory = std::move(directory);
}

std::size_t VirtualWaveSystem::StreamCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->logs.size();
}

VirtualStreamLog VirtualWaveSystem::Log(std::size_t index) const {
    std::lock_guard lock(state_->mutex);
    return index < state_->logs.size() ? state_->logs[index] : VirtualStreamLog{};
}

std::vector<int16_t> VirtualWaveSystem::PlayedSamples(std::size_t index) const {
    std::lock_guard lock(state_->mutex);
    std::vector<int16_t> samples;
    if (index >= state_->logs.size()) {
        return samples;
    }
    const std::vector<uint8_t>& bytes = state_->logs[index].played;
    samples.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        samples.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return samples;
}

int VirtualWaveSystem::OpenStreams() const {
    std::lock_guard lock(state_->mutex);
    return static_cast<int>(std::count_if(state_->streams.begin(), state_->streams.end(),
                                          [](VirtualWaveOut* s) { return s->OpenLocked(); }));
}

int VirtualWaveSystem::QueuedHeaders() const {
    std::lock_guard lock(state_->mutex);
    std::size_t queued = 0;
    for (VirtualWaveOut* stream : state_->streams) {
        queued += stream->QueuedLocked();
    }
    return static_cast<int>(queued);
}

uint64_t VirtualWaveSystem::TotalWritten() const {
    std::lock_guard lock(state_->mutex);
    return state_->totalWritten;
}

uint64_t VirtualWaveSystem::Underruns() const {
    std::lock_guard lock(state_->mutex);
    uint64_t total = 0;
    for (const VirtualStreamLog& log : state_->logs) {
        total += log.underruns;
    }
    return total;
}

uint64_t VirtualWaveSystem::OpenAttempts() const {
    std::lock_guard lock(state_->mutex);
    return state_->openAttempts;
}

}  // namespace vantrel::audio
