#include "band/Fading.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantrel::band {

namespace {

// Filter updates per hertz of fading bandwidth: the spectrum is then sampled finely enough
// that the discrete sections spread it within 0.5% of their continuous design.
constexpr double kUpdatesPerHz = 40.0;
// Updates run before the first gain, so the filter starts in its steady state.
constexpr int kWarmUpdates = 400;
// Four equal one-pole sections with corner fc have an RMS Doppler spread of fc / sqrt(5).
const double kCornerPerSpread = std::sqrt(5.0);

}  // namespace

FadingProcess::FadingProcess(double bandwidthHz, double diffuse, uint64_t seed) : noise_(seed) {
    diffuse = std::clamp(diffuse, 0.0, 1.0);
    if (!(bandwidthHz > 0.0) || diffuse == 0.0) {
        return;
    }
    // Bounded so that any positive bandwidth gives an interval an int holds.
    interval_ = static_cast<int>(
        std::lround(std::clamp(kSampleRate / (kUpdatesPerHz * bandwidthHz), 1.0, 1e7)));
    const double updateRate = static_cast<double>(kSampleRate) / interval_;
    const double corner = kCornerPerSpread * bandwidthHz / 2.0;
    coefficient_ = 1.0 - std::exp(-2.0 * std::numbers::pi * corner / updateRate);

    // The filter's power gain for white input, from its impulse response.
    std::array<double, kStages> impulse{};
    double energy = 0.0;
    for (int k = 0; k < 20 * kWarmUpdates; ++k) {
        double input = k == 0 ? 1.0 : 0.0;
        for (double& stage : impulse) {
            stage += coefficient_ * (input - stage);
            input = stage;
        }
        energy += input * input;
    }
    // Complex input of unit power; the diffuse part gets power `diffuse`.
    noiseScale_ = std::sqrt(diffuse / (2.0 * energy));
    steady_ = std::sqrt(1.0 - diffuse);
    for (int k = 0; k < kWarmUpdates; ++k) {
        Filter();
    }
    to_ = Filter();
    Advance();
}

std::complex<double> FadingProcess::Filter() {
    std::complex<double> input = noise_.ComplexGaussian();
    for (std::complex<double>& stage : stages_) {
        stage += coefficient_ * (input - stage);
        input = stage;
    }
    return input * noiseScale_;
}

void FadingProcess::Advance() {
    from_ = to_;
    to_ = Filter();
    step_ = (to_ - from_) / static_cast<double>(interval_);
    position_ = 0;
}

void FadingProcess::Skip(int64_t samples) {
    if (interval_ == 0) {
        return;
    }
    while (samples >= interval_ - position_) {
        samples -= interval_ - position_;
        Advance();
    }
    position_ += static_cast<int>(samples);
}

FadedSignal::FadedSignal(double pitchHz, const FadingProcess& fading) : fading_(fading) {
    // Hilbert taps 2 / (pi m) at odd offsets m, under a Hamming window.
    const double w0 = 2.0 * std::numbers::pi * pitchHz / kSampleRate;
    double gain = 0.0;
    for (std::size_t i = 0; i < taps_.size(); ++i) {
        const int m = 2 * static_cast<int>(i) + 1;
        const double window = 0.54 + 0.46 * std::cos(std::numbers::pi * m / (kDelay + 1));
        taps_[i] = 2.0 / (std::numbers::pi * m) * window;
        gain += 2.0 * taps_[i] * std::sin(w0 * m);
    }
    for (double& tap : taps_) {
        tap /= gain;
    }
}

void FadedSignal::Apply(std::span<float> samples) {
    for (float& sample : samples) {
        history_[position_ & (kHistory - 1)] = sample;
        const unsigned centre = position_ - kDelay;
        double quadrature = 0.0;
        for (std::size_t i = 0; i < taps_.size(); ++i) {
            const unsigned m = 2 * static_cast<unsigned>(i) + 1;
            quadrature += taps_[i] * (history_[(centre - m) & (kHistory - 1)] -
                                      history_[(centre + m) & (kHistory - 1)]);
        }
        const std::complex<double> gain = fading_.Next();
        sample = static_cast<float>(gain.real() * history_[centre & (kHistory - 1)] -
                                    gain.imag() * quadrature);
        ++position_;
    }
}

}  // namespace vantrel::band
