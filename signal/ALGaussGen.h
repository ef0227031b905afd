// The Gaussian white noise generator: signed 16-bit samples of a set mean and standard
// deviation, reproducible from a seed at every start.
#pragma once

#include <cstdint>
#include <string>

#include "signal/ALCommonGen.h"

namespace vantrel::signal {

class TALGaussGen : public TALCommonGen {
  public:
    static constexpr int32_t kDefaultMean = 0;
    static constexpr int32_t kDefaultStdDev = 9000;
    static constexpr uint16_t kDefaultSeed = 31192;

    explicit TALGaussGen(std::string name = {},
                         TSLClockService& clocks = TSLClockService::Instance());
    ~TALGaussGen() override;

    // Only the low 16 bits of Mean and StdDev, read as signed, reach the samples; results
    // beyond the 16-bit range are clipped.
    int32_t Mean() const;
    void SetMean(int32_t mean);
    int32_t StdDev() const;
    void SetStdDev(int32_t stdDev);

    // Takes effect at the next start: every run begins the same sequence.
    uint16_t Seed() const;
    void SetSeed(uint16_t seed);

    // The word that seeds the next block.
    uint32_t RandomState() const;

  protected:
    void StartHook(uint32_t blockSize) override;
    void GenerateBlock(IALAudioBuffer& destination) override;

  private:
    const TOWObject& Lock() const;

    // All below under the component's lock.
    int32_t mean_ = kDefaultMean;
    int32_t stdDev_ = kDefaultStdDev;
    uint16_t seed_ = kDefaultSeed;
    uint32_t state_ = 0;
};

}  // namespace vantrel::signal
