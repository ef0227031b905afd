#include "platform/audio/PortAudioWaveOut.h"

#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/audio/QueuedWaveOut.h"
#include "platform/audio/RateConverter.h"
#include "platform/audio/SpscRing.h"

namespace vantrel::audio {

struct PortAudioWaveSystem::Counters {
    std::atomic<uint64_t> underruns{0};
    std::atomic<uint64_t> hostUnderruns{0};
    std::atomic<uint64_t> callbacks{0};
    std::atomic<int64_t> lastStartLatencyNs{-1};
    std::mutex mutex;  // the fields below
    double lastOutputLatency = 0.0;
    double lastDeviceRate = 0.0;
    bool lastConverted = false;
};

namespace {

using Counters = PortAudioWaveSystem::Counters;

// PortAudio is initialised once for the process and its control calls are not thread-safe, so
// every call outside the audio callback goes through this lock.
std::mutex& PaMutex() {
    static std::mutex mutex;
    return mutex;
}
int paUsers = 0;  // guarded by PaMutex()

bool AcquirePortAudio() {
    std::lock_guard lock(PaMutex());
    if (paUsers == 0 && Pa_Initialize() != paNoError) {
        return false;
    }
    ++paUsers;
    return true;
}

void ReleasePortAudio() {
    std::lock_guard lock(PaMutex());
    if (--paUsers == 0) {
        Pa_Terminate();
    }
}

MMResult ToResult(PaError error) {
    switch (error) {
        case paNoError:
            return MMSYSERR_NOERROR;
        case paInvalidDevice:
            return MMSYSERR_BADDEVICEID;
        case paDeviceUnavailable:
            return MMSYSERR_ALLOCATED;
        case paInvalidChannelCount:
        case paInvalidSampleRate:
        case paSampleFormatNotSupported:
        case paBadIODeviceCombination:
            return WAVERR_BADFORMAT;
        case paInsufficientMemory:
            return MMSYSERR_NOMEM;
        case paNotInitialized:
        case paHostApiNotFound:
        case paInvalidHostApi:
            return MMSYSERR_NODRIVER;
        default:
            return MMSYSERR_ERROR;
    }
}

std::string CutName(const char* name) {
    return CutDeviceName(name ? name : "");
}

// When the header frames the audio callback handed to the host reach the listener, for readers
// on any thread. The callback publishes its last buffer that held any through a sequence lock
// over atomics, so that it never waits and a reader sees one buffer's values whole.
class HeardClock {
  public:
    struct Mark {
        uint64_t before = 0;    // header frames played before the buffer
        uint64_t inBuffer = 0;  // header frames in it
        int64_t heardAtNs = 0;  // when its first frame reaches the listener (steady clock)
    };

    // The header frames heard at `nowNs`, never fewer than told before.
    uint64_t Heard(int64_t nowNs, uint32_t rate) const noexcept {
        const Mark mark = Read();
        const int64_t since = nowNs - mark.heardAtNs;
        const int64_t heard =
            static_cast<int64_t>(mark.before) + since * static_cast<int64_t>(rate) / 1000000000;
        const auto frames = static_cast<uint64_t>(
            std::clamp<int64_t>(heard, 0, static_cast<int64_t>(mark.before + mark.inBuffer)));
        // The host's latency varies a little from buffer to buffer: the position never goes back.
        uint64_t told = told_.load(std::memory_order_relaxed);
        while (frames > told &&
               !told_.compare_exchange_weak(told, frames, std::memory_order_relaxed)) {
        }
        return std::max(frames, told);
    }

    // Control side, while the callback does not run.
    void Reset() noexcept {
        Publish({});
        told_.store(0, std::memory_order_relaxed);
    }

    // Without fences (which ThreadSanitizer cannot follow): the values are stored with release
    // after the odd count, so a reader that sees any of them sees the count moved on too.
    void Publish(const Mark& mark) noexcept {
        const uint64_t sequence = sequence_.load(std::memory_order_relaxed);
        sequence_.store(sequence + 1, std::memory_order_relaxed);
        before_.store(mark.before, std::memory_order_release);
        inBuffer_.store(mark.inBuffer, std::memory_order_release);
        heardAtNs_.store(mark.heardAtNs, std::memory_order_release);
        sequence_.store(sequence + 2, std::memory_order_release);
    }

    Mark Read() const noexcept {
        for (;;) {
            const uint64_t sequence = sequence_.load(std::memory_order_acquire);
            const Mark mark{before_.load(std::memory_order_acquire),
                            inBuffer_.load(std::memory_order_acquire),
                            heardAtNs_.load(std::memory_order_acquire)};
            if ((sequence & 1) == 0 && sequence_.load(std::memory_order_relaxed) == sequence) {
                return mark;
            }
        }
    }

  private:
    std::atomic<uint64_t> sequence_{0};
    std::atomic<uint64_t> before_{0};
    std::atomic<uint64_t> inBuffer_{0};
    std::atomic<int64_t> heardAtNs_{0};
    mutable std::atomic<uint64_t> told_{0};
};

class PortAudioWaveOut final : public QueuedWaveOut {
  public:
    PortAudioWaveOut(const WaveFormat& format, uint32_t deviceRate, WaveCallback callback,
                     std::shared_ptr<Counters> counters)
        : QueuedWaveOut(format, std::move(callback)),
          channels_(format.channels),
          converting_(deviceRate != format.samplesPerSec),
          converter_(format.samplesPerSec, deviceRate, format.channels),
          counters_(std::move(counters)) {}

    ~PortAudioWaveOut() override { Shutdown(); }

    // Opens and starts the PortAudio stream; on failure nothing is left open.
    MMResult Start(const PaStreamParameters& parameters, double deviceRate,
                   unsigned long framesPerCallback) {
        std::lock_guard lock(mutex_);
        {
            std::lock_guard pa(PaMutex());
            PaError error =
                Pa_OpenStream(&stream_, nullptr, &parameters, deviceRate, framesPerCallback,
                              paClipOff, &PortAudioWaveOut::Callback, this);
            if (error != paNoError) {
                stream_ = nullptr;
                return ToResult(error);
            }
            Pa_SetStreamFinishedCallback(stream_, &PortAudioWaveOut::Finished);
            const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
            hostLatencyNs_ = info ? static_cast<int64_t>(info->outputLatency * 1e9) : 0;
            // A busy machine must not starve the callback: ask for real-time scheduling of its
            // thread where the host offers it (best effort; the host falls back quietly).
            const PaDeviceInfo* device = Pa_GetDeviceInfo(parameters.device);
            const PaHostApiInfo* host = device ? Pa_GetHostApiInfo(device->hostApi) : nullptr;
            if (host && host->type == paALSA) {
                PaAlsa_EnableRealtimeScheduling(stream_, 1);
            }
            error = Pa_StartStream(stream_);
            if (error != paNoError) {
                Pa_CloseStream(stream_);
                stream_ = nullptr;
                return ToResult(error);
            }
            std::lock_guard stats(counters_->mutex);
            counters_->lastOutputLatency = info ? info->outputLatency : 0.0;
            counters_->lastDeviceRate = deviceRate;
            counters_->lastConverted = converting_;
        }
        running_ = true;
        OpenedLocked();
        return MMSYSERR_NOERROR;
    }

  private:
    static int Callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags,
                        void* self) {
        static_cast<PortAudioWaveOut*>(self)->Render(static_cast<int16_t*>(output), frames, time,
                                                     flags);
        return paContinue;
    }

    static void Finished(void* self) { static_cast<PortAudioWaveOut*>(self)->OnFinished(); }

    // --- Audio callback side: no locks, no allocation, no I/O. ---

    void Render(int16_t* out, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                PaStreamCallbackFlags flags) {
        counters_->callbacks.fetch_add(1, std::memory_order_relaxed);
        if (flags & paOutputUnderflow) {
            counters_->hostUnderruns.fetch_add(1, std::memory_order_relaxed);
        }
        const uint64_t before = consumed_;
        if (paused_.load(std::memory_order_acquire)) {
            std::memset(out, 0, frames * channels_ * sizeof(int16_t));
        } else if (converting_) {
            for (unsigned long i = 0; i < frames; ++i) {
                converter_.Produce(out + i * channels_, [this](int16_t* f) { PullFrames(f, 1); });
            }
        } else {
            PullFrames(out, frames);
        }
        if (consumed_ != before) {
            // This buffer is heard once the host's latency has passed.
            const double lead = time ? time->outputBufferDacTime - time->currentTime : 0.0;
            const int64_t latency =
                lead > 0 && lead < 2.0 ? static_cast<int64_t>(lead * 1e9) : hostLatencyNs_;
            heard_.Publish({before, consumed_ - before, NowNs() + latency});
        }
    }

    // Fills `count` frames from the queue, silence where it runs dry.
    void PullFrames(int16_t* out, std::size_t count) {
        while (count > 0) {
            if (!EnsureCurrent()) {
                if (awaitingNext_) {
                    counters_->underruns.fetch_add(1, std::memory_order_relaxed);
                    awaitingNext_ = false;
                }
                std::memset(out, 0, count * channels_ * sizeof(int16_t));
                return;
            }
            const std::size_t n = std::min<std::size_t>(count, currentFrames_ - position_);
            const uint8_t* from = current_->data + position_ * format_.blockAlign;
            const std::size_t samples = n * channels_;
            if (format_.bitsPerSample == 16) {
                std::memcpy(out, from, samples * sizeof(int16_t));
            } else {
                for (std::size_t i = 0; i < samples; ++i) {
                    out[i] = static_cast<int16_t>((from[i] - 128) * 256);
                }
            }
            out += samples;
            count -= n;
            position_ += n;
            consumed_ += n;
            if (position_ == currentFrames_) {
                FinishCurrent();
            }
        }
    }

    bool EnsureCurrent() {
        while (!current_) {
            if (!writeRing_.Pop(current_)) {
                return false;
            }
            const int64_t stamp = startStampNs_.exchange(0, std::memory_order_relaxed);
            if (stamp != 0) {
                counters_->lastStartLatencyNs.store(NowNs() - stamp, std::memory_order_relaxed);
            }
            position_ = 0;
            currentFrames_ = current_->length / format_.blockAlign;
            if (currentFrames_ == 0) {
                FinishCurrent();
            }
        }
        return true;
    }

    void FinishCurrent() {
        Played(current_);
        current_ = nullptr;
        awaitingNext_ = true;
        Wake();
    }

    void OnFinished() {
        if (!stopping_.load(std::memory_order_acquire)) {
            died_.store(true, std::memory_order_release);
            Wake();
        }
    }

    // --- Control side, under mutex_. ---

    MMResult QueueLocked(WaveHeader* header) override {
        if (dead_) {
            return GiveBackLater(header);
        }
        if (OutstandingLocked() == 1) {
            startStampNs_.store(NowNs(), std::memory_order_relaxed);
        }
        writeRing_.Push(header);  // never full: the outstanding count bounds both rings
        if (!running_) {
            const MMResult started = StartStreamLocked();
            if (started != MMSYSERR_NOERROR) {
                // The device is gone: give the header back rather than keep it forever.
                ReturnAllLocked();
                return started;
            }
        }
        return MMSYSERR_NOERROR;
    }

    void SetPausedLocked(bool paused) override { paused_.store(paused, std::memory_order_release); }

    void StopLocked() override {
        StopStreamLocked();
        ReturnAllLocked();
    }

    void CloseLocked() override {
        StopLocked();
        {
            std::lock_guard pa(PaMutex());
            Pa_CloseStream(stream_);
        }
        stream_ = nullptr;
    }

    // Turns finished headers into Done notifications, and gives everything back when the host
    // ended the stream by itself.
    void WokenLocked() override {
        if (died_.exchange(false, std::memory_order_acq_rel) && running_ && stream_) {
            // The device went away (the sound server ended, say). Restarting such a stream can
            // block inside the host, so it stays stopped and hands everything back.
            StopStreamLocked();
            dead_ = true;
            ReturnAllLocked();
            return;
        }
        DrainLocked();
    }

    // With the stream stopped the callback state is ours: return everything in queue order.
    void ReturnAllLocked() {
        DrainLocked();
        if (current_) {
            ReturnLocked(std::exchange(current_, nullptr));
        }
        WaveHeader* header = nullptr;
        while (writeRing_.Pop(header)) {
            ReturnLocked(header);
        }
        position_ = 0;
        awaitingNext_ = false;
        converter_.Clear();
        startStampNs_.store(0, std::memory_order_relaxed);
        consumed_ = 0;
        heard_.Reset();
    }

    uint64_t HeardFrames() override { return heard_.Heard(NowNs(), format_.samplesPerSec); }

    void StopStreamLocked() {
        if (!running_) {
            return;
        }
        stopping_.store(true, std::memory_order_release);
        {
            std::lock_guard pa(PaMutex());
            Pa_AbortStream(stream_);
        }
        stopping_.store(false, std::memory_order_release);
        died_.store(false, std::memory_order_release);
        running_ = false;
    }

    MMResult StartStreamLocked() {
        std::lock_guard pa(PaMutex());
        const PaError error = Pa_StartStream(stream_);
        if (error != paNoError) {
            return ToResult(error) == MMSYSERR_NOERROR ? MMSYSERR_ERROR : ToResult(error);
        }
        running_ = true;
        return MMSYSERR_NOERROR;
    }

    const std::size_t channels_;
    const bool converting_;

    // Shared with the callback through the rings and atomics only.
    SpscRing<WaveHeader*, kMaxQueued> writeRing_;  // control -> callback
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> died_{false};
    std::atomic<int64_t> startStampNs_{0};
    HeardClock heard_;           // callback -> GetPosition
    int64_t hostLatencyNs_ = 0;  // set before the stream starts

    // Callback state; the control side touches it only while the stream is stopped.
    WaveHeader* current_ = nullptr;
    std::size_t currentFrames_ = 0;
    std::size_t position_ = 0;
    uint64_t consumed_ = 0;  // frames of headers played since the open or the last Reset
    bool awaitingNext_ = false;
    RateConverter converter_;

    // Control state, under mutex_.
    PaStream* stream_ = nullptr;
    bool running_ = false;
    bool dead_ = false;  // the host ended the stream by itself; it is never started again

    const std::shared_ptr<Counters> counters_;
};

}  // namespace

PortAudioWaveSystem::PortAudioWaveSystem(PortAudioOptions options)
    : options_(options), counters_(std::make_shared<Counters>()) {
    initialized_ = AcquirePortAudio();
    if (!initialized_) {
        return;
    }
    std::lock_guard lock(PaMutex());
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && info->maxOutputChannels > 0) {
            devices_.push_back(i);
            names_.push_back(CutName(info->name));
        }
    }
}

PortAudioWaveSystem::~PortAudioWaveSystem() {
    if (initialized_) {
        ReleasePortAudio();
    }
}

int PortAudioWaveSystem::DeviceCount() {
    return static_cast<int>(devices_.size());
}

std::string PortAudioWaveSystem::DeviceName(int index) {
    if (index < 0 || index >= DeviceCount()) {
        return {};
    }
    return names_[static_cast<std::size_t>(index)];
}

MMResult PortAudioWaveSystem::Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                                   std::unique_ptr<WaveOut>* stream) {
    if (!stream) {
        return MMSYSERR_INVALPARAM;
    }
    if (!initialized_ || devices_.empty()) {
        return MMSYSERR_NODRIVER;
    }
    if (deviceId != WAVE_MAPPER && (deviceId < 0 || deviceId >= DeviceCount())) {
        return MMSYSERR_BADDEVICEID;
    }
    if (!IsValidPcm(format)) {
        return WAVERR_BADFORMAT;
    }

    PaStreamParameters parameters{};
    double deviceRate = options_.deviceRate > 0 ? options_.deviceRate : format.samplesPerSec;
    {
        std::lock_guard lock(PaMutex());
        PaDeviceIndex device = deviceId == WAVE_MAPPER
                                   ? Pa_GetDefaultOutputDevice()
                                   : devices_[static_cast<std::size_t>(deviceId)];
        if (device == paNoDevice) {
            device = devices_.front();
        }
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (!info) {
            return MMSYSERR_BADDEVICEID;
        }
        if (info->maxOutputChannels < format.channels) {
            return WAVERR_BADFORMAT;
        }
        parameters.device = device;
        parameters.channelCount = format.channels;
        parameters.sampleFormat = paInt16;
        parameters.suggestedLatency = std::max(info->defaultLowOutputLatency, options_.minLatency);
        PaError support = Pa_IsFormatSupported(nullptr, &parameters, deviceRate);
        if (support == paInvalidSampleRate && info->defaultSampleRate > 0) {
            // Play at the device's own rate and convert.
            deviceRate = info->defaultSampleRate;
            support = Pa_IsFormatSupported(nullptr, &parameters, deviceRate);
        }
        if (support != paFormatIsSupported) {
            return ToResult(support);
        }
    }

    auto created = std::make_unique<PortAudioWaveOut>(format, static_cast<uint32_t>(deviceRate),
                                                      std::move(callback), counters_);
    const unsigned long framesPerCallback =
        options_.callbackMs > 0
            ? static_cast<unsigned long>(deviceRate * options_.callbackMs / 1000)
            : paFramesPerBufferUnspecified;
    const MMResult result = created->Start(parameters, deviceRate, framesPerCallback);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    *stream = std::move(created);
    return MMSYSERR_NOERROR;
}

PortAudioStats PortAudioWaveSystem::Stats() const {
    PortAudioStats stats;
    stats.underruns = counters_->underruns.load();
    stats.hostUnderruns = counters_->hostUnderruns.load();
    stats.callbacks = counters_->callbacks.load();
    stats.lastStartLatencyNs = counters_->lastStartLatencyNs.load();
    std::lock_guard lock(counters_->mutex);
    stats.lastOutputLatency = counters_->lastOutputLatency;
    stats.lastDeviceRate = counters_->lastDeviceRate;
    stats.lastConverted = counters_->lastConverted;
    return stats;
}

}  // namespace vantrel::audio
