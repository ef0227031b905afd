// The band's random sources. Every choice of a run comes from one 64-bit seed: BandRandom
// (SplitMix64) draws the figures, the seeds of the parts and the fading's Gaussian input;
// GaussianStream gives the band's noise from the interference chain's Gaussian kernel. Both are
// fixed algorithms, so a seed gives the same words with every standard library; what the maths
// library makes of them (logarithms, sines) is the same wherever that library is.
//
// The chain's kernel has small correlations between nearby samples (about -0.01 at lags 3 and
// 4), which take 3% off its power at the lowest frequencies; inaudible in noise, they would bias
// the fading, whose filter keeps only those frequencies, so the fading draws from BandRandom.
#pragma once

#include <array>
#include <complex>
#include <cstdint>

#include "band/BandLimits.h"

namespace vantrel::band {

class BandRandom {
  public:
    explicit BandRandom(uint64_t seed) : state_(seed) {}

    uint64_t Next();
    // Uniform in [0, 1).
    double Uniform();
    double Uniform(Range range) { return range.low + (range.high - range.low) * Uniform(); }
    // Uniform in the logarithm: as likely between 3 and 6 as between 10 and 20.
    double LogUniform(Range range);
    // Exponential with the given mean.
    double Exponential(double mean);
    // Two independent unit normal values as one complex value (Box-Muller).
    std::complex<double> ComplexGaussian();

  private:
    uint64_t state_;
};

// Unit normal samples, produced in fixed chunks so that the sequence does not depend on how
// often or in what counts they are asked for.
class GaussianStream {
  public:
    explicit GaussianStream(uint32_t seed) : state_(seed) {}

    double Next() {
        if (next_ == kChunk) {
            Refill();
        }
        return chunk_[next_++] * kUnit;
    }

  private:
    static constexpr int kChunk = 256;
    static constexpr int16_t kStdDev = 4096;  // clipped at 8 standard deviations
    static constexpr double kUnit = 1.0 / kStdDev;

    void Refill();

    std::array<int16_t, kChunk> chunk_{};
    int next_ = kChunk;
    uint32_t state_;
};

}  // namespace vantrel::band
