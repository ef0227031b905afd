// Fading (QSB): the complex gain a station's signal reaches the receiver with.
//
// The diffuse part is complex Gaussian noise through four one-pole low-pass sections, which
// shapes its spectrum close to the Gaussian Doppler spectrum of the Watterson model; its
// envelope is Rayleigh-distributed. A steady part added to it makes the fading Rician, so fades
// can be shallow. The mean power of the gain is 1 at every depth.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <span>

#include "band/BandRandom.h"

namespace vantrel::band {

class FadingProcess {
  public:
    // `bandwidthHz`: the Doppler spread, twice the standard deviation of the fading spectrum.
    // `diffuse`: the share of the diffuse power, 0 (no fading) to 1 (Rayleigh). A bandwidth of 0
    // or no diffuse share gives the steady gain 1.
    FadingProcess(double bandwidthHz, double diffuse, uint64_t seed);

    // The gain at the next sample (8000 per second).
    std::complex<double> Next() {
        if (interval_ == 0) {
            return {1.0, 0.0};
        }
        const std::complex<double> diffuse = from_ + step_ * static_cast<double>(position_);
        if (++position_ == interval_) {
            Advance();
        }
        return steady_ + diffuse;
    }
    // Moves on by `samples` samples, as that many calls of Next would.
    void Skip(int64_t samples);

    // Samples between two updates of the filter (0 for a steady gain); the gain is
    // interpolated linearly between them.
    int Interval() const { return interval_; }

  private:
    static constexpr int kStages = 4;

    void Advance();
    std::complex<double> Filter();

    BandRandom noise_;
    int interval_ = 0;
    int position_ = 0;
    double coefficient_ = 0.0;
    double noiseScale_ = 0.0;
    double steady_ = 1.0;
    std::array<std::complex<double>, kStages> stages_{};
    std::complex<double> from_{};
    std::complex<double> to_{};
    std::complex<double> step_{};
};

// A real narrowband signal around a known pitch multiplied by a complex fading gain: the
// quadrature comes from a windowed Hilbert filter, normalised at the pitch, and the in-phase
// part is delayed to match, so the output lags the input by kDelay samples.
class FadedSignal {
  public:
    static constexpr int kDelay = 31;

    FadedSignal(double pitchHz, const FadingProcess& fading);

    // Replaces each sample by the faded signal kDelay samples earlier.
    void Apply(std::span<float> samples);

  private:
    static constexpr int kHistory = 64;  // a power of two above 2 * kDelay

    FadingProcess fading_;
    std::array<double, kDelay / 2 + 1> taps_{};  // taps at offsets 1, 3, ..., kDelay
    std::array<double, kHistory> history_{};
    unsigned position_ = 0;
};

}  // namespace vantrel::band
