#include "signal/ALSignalGen.h"

#include <algorithm>
#include <utility>

#include "signal/ALKernels.h"
#include "signal/OWLocks.h"

namespace vantrel::signal {

TALSignalGen::TALSignalGen(std::string name, TSLClockService& clocks)
    : TALCommonGen(std::move(name), clocks), sampleRate_(AudioFormat().SampleRate()) {
    frequencyPin_ = std::make_unique<TOWFloatIntStatePin>(
        this, "FrequencyPin", [this](TOWFloatIntStatePin&, float value) { SetFrequency(value); },
        static_cast<float>(kDefaultFrequency));
}

const TOWObject& TALSignalGen::Lock() const {
    return const_cast<TALSignalGen*>(this)->LockObject();
}

TALSignalGen::~TALSignalGen() {
    // No block may run on another thread while the members it uses go away.
    Shutdown();
    frequencyPin_.reset();
}

TALSignalType TALSignalGen::SignalType() const {
    TOWReadLockSection section(Lock());
    return signalType_;
}

void TALSignalGen::SetSignalType(TALSignalType type) {
    TOWWriteLockSection section(LockObject());
    if (type != signalType_) {
        signalType_ = type;
        secondPhase_ = HalfPeriodLater(runningPhase_);
    }
}

float TALSignalGen::Phase() const {
    TOWReadLockSection section(Lock());
    return phase_;
}

void TALSignalGen::SetPhase(float phase) {
    TOWWriteLockSection section(LockObject());
    if (phase != phase_) {
        phase_ = phase;
        runningPhase_ = phase;
        secondPhase_ = HalfPeriodLater(phase);
    }
}

int32_t TALSignalGen::Amplitude() const {
    TOWReadLockSection section(Lock());
    return amplitude_;
}

void TALSignalGen::SetAmplitude(int32_t amplitude) {
    TOWWriteLockSection section(LockObject());
    amplitude_ = std::clamp(amplitude, 0, kMaxAmplitude);
}

double TALSignalGen::Frequency() const {
    TOWReadLockSection section(Lock());
    return frequency_;
}

void TALSignalGen::SetFrequency(double hz) {
    const double value = hz < 0.0 ? 0.0 : hz;
    {
        TOWWriteLockSection section(LockObject());
        if (value == frequency_) {
            return;
        }
        frequency_ = value;
    }
    // Outside the component's lock: the pin's peers take their own locks.
    frequencyPin_->SetValue(static_cast<float>(value));
}

double TALSignalGen::Asymmetry() const {
    TOWReadLockSection section(Lock());
    return asymmetry_;
}

void TALSignalGen::SetAsymmetry(double radians) {
    TOWWriteLockSection section(LockObject());
    asymmetry_ = std::clamp(radians, -kHalfPeriod, kHalfPeriod);
}

void TALSignalGen::Start() {
    {
        TOWWriteLockSection section(LockObject());
        runningPhase_ = phase_;
        secondPhase_ = HalfPeriodLater(phase_);
    }
    TALCommonGen::Start();
}

void TALSignalGen::SetSampleRate(double rate) {
    TOWWriteLockSection section(LockObject());
    sampleRate_ = rate;
}

float TALSignalGen::HalfPeriodLater(float phase) {
    double later = static_cast<double>(phase) + kHalfPeriod;
    if (later > kFullPeriod) {
        later -= kFullPeriod;
    }
    return static_cast<float>(later);
}

void TALSignalGen::GenerateBlock(IALAudioBuffer& destination) {
    int16_t* work = WorkSamples();
    const int n = static_cast<int>(WorkSampleCount());
    const auto magnitude = static_cast<int16_t>(amplitude_);
    const auto relFreq = static_cast<float>(frequency_ / sampleRate_);

    switch (signalType_) {
        case TALSignalType::atTone:
            if (ToneBlock(work, n, magnitude, relFreq, &runningPhase_) != kKernelOk) {
                ZeroBlock(work, n * 2);
            }
            break;
        case TALSignalType::atTriangle:
            if (TriangleBlock(work, n, magnitude, relFreq, static_cast<float>(asymmetry_),
                              &runningPhase_) != kKernelOk) {
                ZeroBlock(work, n * 2);
            }
            break;
        case TALSignalType::atSquare:
            GenerateSquare(work, n, magnitude, relFreq);
            break;
    }

    // An 8-bit stream passes on the low byte of each sample: keep it within ±255 there.
    constexpr int16_t kEightBitLimit = 255;
    if (AudioFormat().Bits() <= 8 && amplitude_ > kEightBitLimit) {
        Threshold(work, n, -kEightBitLimit, -kEightBitLimit, kEightBitLimit, kEightBitLimit);
    }
    FanOut(destination);
}

// A falling sawtooth plus a rising one half a period later is +peak for the first half of each
// period and -peak for the second; the threshold cuts that to ±magnitude.
void TALSignalGen::GenerateSquare(int16_t* work, int n, int16_t magnitude, float relFreq) {
    constexpr int16_t kPeak = 32767;
    const auto falling = static_cast<float>(kHalfPeriod);
    if (squareScratch_.size() < static_cast<size_t>(n)) {
        squareScratch_.resize(static_cast<size_t>(n));
    }
    int16_t* rising = squareScratch_.data();
    const int first = TriangleBlock(work, n, kPeak, relFreq, falling, &runningPhase_);
    const int second = TriangleBlock(rising, n, kPeak, relFreq, -falling, &secondPhase_);
    if (first != kKernelOk || second != kKernelOk) {
        ZeroBlock(work, n * 2);
        return;
    }
    AddSaturate(rising, work, n);
    Threshold(work, n, static_cast<int16_t>(-magnitude), static_cast<int16_t>(-magnitude),
              magnitude, magnitude);
}

}  // namespace vantrel::signal
