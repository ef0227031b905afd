#include "signal/ALCommonGen.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "signal/ALKernels.h"

namespace vantrel::signal {

namespace {

constexpr int kResumeAfterFirstBlock = 1;
constexpr int kResumeSent = 20;
constexpr double kMaxClockPeriodMs = 60000.0;

}  // namespace

TALCommonGen::TALCommonGen(std::string name, TSLClockService& clocks)
    : TOWComponent(std::move(name)), clocks_(clocks) {
    format_ = std::make_unique<TALAudioFormat>(
        &lock_, [this](TALAudioFormatBasic&) { RecreateWorkBuffer(); });
    outputPin_ = std::make_unique<TALOWAudioSourcePin>(
        this, "OutputPin", [this](TOWSourcePin& pin, const TOWOperationPtr& op) {
            return OutputPinOperation(pin, op);
        });
    enablePin_ = std::make_unique<TOWBoolStatePin>(
        this, "EnablePin", [this](TOWBoolStatePin&, bool value) { SetEnabled(value); },
        kDefaultEnabled);
    clockPin_ = std::make_unique<TOWClockSinkPin>(this, "ClockPin", [this](TOWClockSinkPin&) {
        bool tick = false;
        {
            TOWWriteLockSection section(lock_);
            tick = selfPumping_ && clockSource_ == TSLClockSource::csExternal;
        }
        if (tick) {
            Tick();
        }
    });
    // The component, its output pin and its clock pin share one lock.
    lock_.Link(*outputPin_);
    outputPin_->Link(*clockPin_);
    TOWWriteLockSection section(lock_);
    RecreateWorkBuffer();
}

TALCommonGen::~TALCommonGen() {
    Shutdown();
}

void TALCommonGen::Shutdown() {
    Stop();
    // No upstream operation may reach a generator being destroyed.
    outputPin_->DisconnectAll();
    clockPin_->Disconnect();
}

void TALCommonGen::SetAudioFormat(const TALAudioFormat& format) {
    format_->Assign(format);
}

bool TALCommonGen::Enabled() const {
    TOWReadLockSection section(lock_);
    return enabled_;
}

void TALCommonGen::SetEnabled(bool enabled) {
    TOWGlobalWriteLockSection global;
    TOWWriteLockSection section(lock_);
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (enabled && !DesignMode()) {
        TryStart();
    }
    if (!enabled) {
        Stop();
    }
    enablePin_->SetValue(enabled);
}

int32_t TALCommonGen::PumpPriority() const {
    TOWReadLockSection section(lock_);
    return pumpPriority_;
}

void TALCommonGen::SetPumpPriority(int32_t priority) {
    TOWWriteLockSection section(lock_);
    pumpPriority_ = priority;
}

TSLClockSource TALCommonGen::ClockSource() const {
    TOWReadLockSection section(lock_);
    return clockSource_;
}

void TALCommonGen::SetClockSource(TSLClockSource source) {
    TOWWriteLockSection section(lock_);
    clockSource_ = source;
}

void TALCommonGen::Loaded() {
    TOWGlobalWriteLockSection global;
    TOWWriteLockSection section(lock_);
    if (enabled_ && !DesignMode()) {
        TryStart();
    }
}

bool TALCommonGen::Running() const {
    TOWReadLockSection section(lock_);
    return running_;
}

bool TALCommonGen::SelfPumping() const {
    TOWReadLockSection section(lock_);
    return selfPumping_;
}

std::chrono::milliseconds TALCommonGen::ClockPeriod(uint32_t sampleRate, uint32_t bufferSize) {
    // A rate of 0 would give an endless period: use the longest one instead.
    double period = kMaxClockPeriodMs;
    if (sampleRate > 0 && bufferSize > 0) {
        // nearbyint rounds half to even in the default rounding mode.
        period = std::nearbyint(999.0 / (static_cast<double>(sampleRate) / bufferSize));
    }
    return std::chrono::milliseconds(
        static_cast<int64_t>(std::clamp(period, 1.0, kMaxClockPeriodMs)));
}

bool TALCommonGen::OutputPinConnected() const {
    return outputPin_->IsConnected();
}

void TALCommonGen::TryStart() {
    TOWGlobalWriteLockSection global;
    TOWWriteLockSection section(lock_);
    if (!OutputPinConnected()) {
        return;  // nothing downstream: never starts, not even when a sink comes later
    }
    if (clockSource_ == TSLClockSource::csInternal) {
        auto request = std::make_shared<TOWPumpRequestOperation>(
            this, 1.0f, pumpPriority_, TOWPumpRequestOperation::kRequested);
        outputPin_->Notify(request);
        selfPumping_ = request->Pumper == this;
        if (!selfPumping_) {
            pumper_ = request->Pumper;
        }
    } else {
        selfPumping_ = true;
    }
    Start();
}

void TALCommonGen::Start() {
    TOWGlobalWriteLockSection global;
    TOWWriteLockSection section(lock_);
    blockCounter_ = 0;
    fresh_ = true;
    NegotiatePacing();
    const uint32_t blockSize = format_->BufferSize();
    const uint32_t sampleRate = format_->SampleRate();
    StartHook(blockSize);
    SetSampleRate(static_cast<double>(sampleRate));
    running_ = true;
    outputPin_->Notify(std::make_shared<TOWStartWaveOperation>(
        static_cast<int32_t>(blockSize), static_cast<double>(sampleRate / blockSize),
        format_->WaveFormat()));
    if (clockSource_ == TSLClockSource::csInternal && !selfPumping_) {
        outputPin_->Notify(std::make_shared<TOWStartPumpOperation>());
    }
}

void TALCommonGen::NegotiatePacing() {
    bool registerClock = false;
    TSLClockService::Registration staleClock = nullptr;
    std::chrono::milliseconds period{};
    {
        TOWWriteLockSection section(lock_);
        const uint32_t blockSize = format_->BufferSize();
        const uint32_t sampleRate = format_->SampleRate();
        if (clockSource_ == TSLClockSource::csInternal) {
            auto request = std::make_shared<TOWPumpRequestOperation>(
                this, static_cast<float>(sampleRate / blockSize), pumpPriority_,
                TOWPumpRequestOperation::kRequested);
            outputPin_->Notify(request);
            selfPumping_ = request->Pumper == this;
            if (!selfPumping_) {
                pumper_ = request->Pumper;
            }
        } else {
            selfPumping_ = true;
        }
        registerClock =
            selfPumping_ && clockSource_ == TSLClockSource::csInternal && clockItem_ == nullptr;
        if (!selfPumping_) {
            // Paced from downstream now: the clock must not make blocks as well.
            staleClock = std::exchange(clockItem_, nullptr);
        }
        period = ClockPeriod(sampleRate, blockSize);
    }
    if (staleClock != nullptr) {
        clocks_.Unregister(staleClock, lock_);
    }
    if (registerClock) {
        // Registering links the clock with this component and takes the global write side, so
        // it is done outside the group lock where the caller does not hold it already.
        auto item = clocks_.Register(period, lock_, [this] { Tick(); });
        TOWWriteLockSection section(lock_);
        clockItem_ = item;
    }
}

void TALCommonGen::Tick() {
    TOWWriteLockSection section(lock_);
    if (!running_) {
        return;
    }
    // Created under the lock, so that the buffer matches the format the block is made for.
    const TALWaveFormat format = format_->WaveFormat();
    auto buffer =
        TALAudioBuffer::Create(format.bitsPerSample, format_->BufferSize(), format.channels);
    GenerateBlock(*buffer);
    outputPin_->Notify(std::make_shared<TOWSuppliedBufferOperation>(std::move(buffer)));
    if (blockCounter_ == 0) {
        blockCounter_ = kResumeAfterFirstBlock;
    } else if (blockCounter_ == kResumeAfterFirstBlock) {
        blockCounter_ = kResumeSent;
        outputPin_->Notify(std::make_shared<TOWSLResumeOperation>());
    }
}

void TALCommonGen::FanOut(IALAudioBuffer& destination) {
    auto access = destination.AudioAccess();
    uint8_t* data = access->WriteData();
    const uint32_t bits = access->Bits();
    const uint32_t channels = access->Channels();
    const int elementBytes = bits <= 8 ? 1 : 2;
    // Never more frames than either side holds.
    const size_t frames = std::min(access->FrameCount(), workSampleCount_);
    for (uint32_t channel = 0; channel < channels; ++channel) {
        BlockCopy(workSamples_, 2, data + channel * elementBytes,
                  static_cast<int>(channels) * elementBytes, elementBytes,
                  static_cast<int>(frames));
    }
}

void TALCommonGen::Stop() {
    TSLClockService::Registration item = nullptr;
    {
        TOWWriteLockSection section(lock_);
        item = clockItem_;
        clockItem_ = nullptr;
    }
    if (item != nullptr) {
        clocks_.Unregister(item, lock_);
    }
    TOWWriteLockSection section(lock_);
    fresh_ = true;
    running_ = false;
    outputPin_->Notify(std::make_shared<TOWEndStopOperation>());
}

bool TALCommonGen::OutputPinOperation(TOWSourcePin& pin, const TOWOperationPtr& operation) {
    (void)pin;
    if (const auto* start = operation->As<TOWStartSampleRateOperation>()) {
        NegotiatePacing();
        // A start wave names its exact rate in its record; the others carry only a rate.
        const auto* wave = operation->As<TOWStartWaveOperation>();
        TOWWriteLockSection section(lock_);
        SetSampleRate(wave != nullptr ? static_cast<double>(wave->Format.samplesPerSec)
                                      : static_cast<double>(start->Rate));
    } else if (operation->Is<TOWStopOperation>()) {
        Stop();
    } else if (const auto* pump = operation->As<TOWMasterPumpOperation>()) {
        OnMasterPump(*pump, operation->Id());
    }
    return false;
}

void TALCommonGen::OnMasterPump(const TOWMasterPumpOperation& pump, uint64_t id) {
    TOWWriteLockSection section(lock_);
    // A repeated pump is served only as the first after a start or a stop.
    const bool serve = !selfPumping_ && pump.Pumper == pumper_ && (id != lastPumpId_ || fresh_);
    fresh_ = false;
    lastPumpId_ = id;
    if (serve) {
        Tick();
    }
}

void TALCommonGen::RecreateWorkBuffer() {
    const uint32_t blockSize = format_ ? format_->BufferSize() : TALAudioFormat::kDefaultBufferSize;
    work_ = TSLBlockBuffer::Create(2 * static_cast<size_t>(blockSize));
    workAccess_ = work_->BlockAccess();
    workSamples_ = workAccess_->WriteSamples();
    workSampleCount_ = blockSize;
}

}  // namespace vantrel::signal
