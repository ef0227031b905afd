// The periodic waveform generator: a cosine tone, a triangle of adjustable asymmetry or a
// square wave, as signed 16-bit samples, continued seamlessly from block to block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "signal/ALCommonGen.h"
#include "signal/OWPins.h"

namespace vantrel::signal {

enum class TALSignalType : uint8_t { atTone = 0, atTriangle = 1, atSquare = 2 };

class TALSignalGen : public TALCommonGen {
  public:
    // A half period for the offset of the square wave's second sawtooth and the asymmetry
    // limits; slightly below π so that, in single precision, it stays inside the triangle's
    // accepted range.
    static constexpr double kHalfPeriod = 3.141592621;
    static constexpr double kFullPeriod = 2.0 * kHalfPeriod;

    static constexpr TALSignalType kDefaultSignalType = TALSignalType::atTone;
    static constexpr float kDefaultPhase = 0.0f;
    static constexpr int32_t kDefaultAmplitude = 20000;
    static constexpr int32_t kMaxAmplitude = 32767;
    static constexpr double kDefaultFrequency = 500.0;
    static constexpr double kDefaultAsymmetry = 0.0;

    explicit TALSignalGen(std::string name = {},
                          TSLClockService& clocks = TSLClockService::Instance());
    ~TALSignalGen() override;

    TALSignalType SignalType() const;
    // Switching type re-derives the square wave's second phase from the running phase.
    void SetSignalType(TALSignalType type);

    float Phase() const;
    // Radians; also moves the running phase there. Outside [0, 2π) the generator is silent.
    void SetPhase(float phase);

    int32_t Amplitude() const;
    // Clamped to 0..32767.
    void SetAmplitude(int32_t amplitude);

    double Frequency() const;
    // Hz; a negative value becomes 0. At or above half the sample rate the generator is silent.
    void SetFrequency(double hz);

    double Asymmetry() const;
    // Radians, clamped to ±kHalfPeriod.
    void SetAsymmetry(double radians);

    // Carries Frequency to and from other components.
    TOWFloatIntStatePin& FrequencyPin() { return *frequencyPin_; }

  protected:
    void Start() override;
    void SetSampleRate(double rate) override;
    void GenerateBlock(IALAudioBuffer& destination) override;

  private:
    static float HalfPeriodLater(float phase);
    const TOWObject& Lock() const;
    void GenerateSquare(int16_t* work, int n, int16_t magnitude, float relFreq);

    std::unique_ptr<TOWFloatIntStatePin> frequencyPin_;

    // All below under the component's lock.
    TALSignalType signalType_ = kDefaultSignalType;
    float phase_ = kDefaultPhase;
    int32_t amplitude_ = kDefaultAmplitude;
    double frequency_ = kDefaultFrequency;
    double asymmetry_ = kDefaultAsymmetry;
    float runningPhase_ = 0.0f;
    float secondPhase_ = 0.0f;  // the square wave's rising sawtooth
    double sampleRate_;
    std::vector<int16_t> squareScratch_;  // reused, so a block allocates nothing
};

}  // namespace vantrel::signal
