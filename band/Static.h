// Static (QRN): a crackle of single impulses and the longer crashes of distant lightning, both
// arriving as Poisson processes and added to the band before the receiver filter. Their
// strength is given in dB above the background noise, so static keeps its place against the
// noise at every signal-to-noise ratio.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "band/BandRandom.h"

namespace vantrel::band {

class StaticNoise {
  public:
    // `level`: 0 (none) to 1 (the heaviest static); `noiseRms`: the background noise's standard
    // deviation per sample, in the units of the samples it is added to.
    StaticNoise(double level, double noiseRms, uint64_t seed);

    void Add(std::span<float> samples);

    // Events begun so far.
    uint64_t Impulses() const { return impulses_; }
    uint64_t Crashes() const { return crashes_; }

  private:
    struct Crash {
        int64_t age = 0;
        int64_t length = 0;  // 0: the slot is free
        int64_t rise = 0;
        double peak = 0.0;
    };
    static constexpr int kMaxCrashes = 8;

    void StartCrash();
    double CrashEnvelope(const Crash& crash) const;

    BandRandom random_;
    GaussianStream crashNoise_;
    double level_;
    double noiseRms_;
    double impulseGap_ = 0.0;  // mean samples between impulses (0: none)
    double crashGap_ = 0.0;
    double nextImpulse_ = 0.0;  // in samples from the start
    double nextCrash_ = 0.0;
    int64_t now_ = 0;
    std::array<Crash, kMaxCrashes> active_{};
    uint64_t impulses_ = 0;
    uint64_t crashes_ = 0;
};

}  // namespace vantrel::band
