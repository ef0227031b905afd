#include "band/Receiver.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "band/BandLimits.h"

namespace vantrel::band {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kPrototypeOrder = 4;
// Samples of impulse response summed for the noise bandwidth (the narrowest filter has rung
// down by far more than 100 dB by then).
constexpr int kImpulseSamples = kSampleRate;

double Prewarp(double hz) {
    return 2.0 * kSampleRate * std::tan(kPi * hz / kSampleRate);
}

}  // namespace

ReceiverFilter::ReceiverFilter(double pitchHz, int bandwidthHz) {
    const double width = bandwidthHz;
    double low = std::max(pitchHz - width / 2.0, kFilterLowestHz);
    const double centre = low + width / 2.0;
    // The 3 dB width that gives the nominal noise bandwidth, found by a few corrections.
    double edges = width;
    for (int pass = 0; pass < 4; ++pass) {
        Design(pitchHz, centre - edges / 2.0, centre + edges / 2.0);
        noiseBandwidthHz_ = MeasureNoiseBandwidth();
        edges *= width / noiseBandwidthHz_;
    }
    Design(pitchHz, centre - edges / 2.0, centre + edges / 2.0);
    noiseBandwidthHz_ = MeasureNoiseBandwidth();
}

void ReceiverFilter::Design(double pitchHz, double lowHz, double highHz) {
    const double w1 = Prewarp(lowHz);
    const double w2 = Prewarp(highHz);
    const double w0squared = w1 * w2;
    const double bandwidth = w2 - w1;
    const double fs2 = 2.0 * kSampleRate;
    const std::complex<double> atPitch = std::polar(1.0, -2.0 * kPi * pitchHz / kSampleRate);
    std::size_t next = 0;
    for (int k = 0; k < kPrototypeOrder / 2; ++k) {
        // A low-pass prototype pole in the upper half plane, and the two band-pass poles it
        // maps to; each gives a section with its conjugate.
        const std::complex<double> p =
            std::polar(1.0, kPi * (2.0 * k + kPrototypeOrder + 1) / (2.0 * kPrototypeOrder));
        const std::complex<double> root =
            std::sqrt(p * p * bandwidth * bandwidth - 4.0 * w0squared);
        for (const std::complex<double> s :
             {(p * bandwidth + root) / 2.0, (p * bandwidth - root) / 2.0}) {
            const std::complex<double> z = (fs2 + s) / (fs2 - s);
            Section& section = sections_[next++];
            section = Section{1.0, -2.0 * z.real(), std::norm(z), 0.0, 0.0};
            const std::complex<double> response =
                (1.0 - atPitch * atPitch) /
                (1.0 + section.a1 * atPitch + section.a2 * atPitch * atPitch);
            section.gain = 1.0 / std::abs(response);
        }
    }
}

double ReceiverFilter::MeasureNoiseBandwidth() const {
    ReceiverFilter probe = *this;
    double energy = 0.0;
    for (int k = 0; k < kImpulseSamples; ++k) {
        const double y = probe.Process(k == 0 ? 1.0 : 0.0);
        energy += y * y;
    }
    return energy * kSampleRate / 2.0;
}

Receiver::Receiver(double pitchHz, int bandwidthHz, bool agc, double noiseRms)
    : filter_(pitchHz, bandwidthHz),
      agc_(agc),
      attack_(1.0 - std::exp(-1.0 / (kAgcAttackSeconds * kSampleRate))),
      release_(std::exp(-1.0 / (kAgcReleaseSeconds * kSampleRate))),
      hang_(std::lround(kAgcHangSeconds * kSampleRate)),
      floor_(std::pow(10.0, -kAgcMaxGainDb / 20.0)) {
    // Without the AGC the gain is set, as an operator sets it, so that the key-down with the
    // noise through the filter is as loud as the key-down alone.
    const double signalPower = 0.5;
    const double noisePower =
        noiseRms * noiseRms * filter_.NoiseBandwidthHz() / (kSampleRate / 2.0);
    fixedGain_ = std::sqrt(signalPower / (signalPower + noisePower));
}

double Receiver::Limit(double x) const {
    const double magnitude = std::abs(x);
    if (magnitude <= kLimiterKnee) {
        return x;
    }
    const double room = 1.0 - kLimiterKnee;
    return std::copysign(kLimiterKnee + room * std::tanh((magnitude - kLimiterKnee) / room), x);
}

void Receiver::Process(std::span<const float> antenna, std::span<int16_t> out, double amplitude) {
    const std::size_t n = std::min(antenna.size(), out.size());
    for (std::size_t k = 0; k < n; ++k) {
        const double y = filter_.Process(antenna[k]);
        double gain = fixedGain_;
        if (agc_) {
            const double level = std::abs(y);
            if (level > envelope_) {
                envelope_ += attack_ * (level - envelope_);
                held_ = hang_;
            } else if (held_ > 0) {
                --held_;
            } else {
                envelope_ = std::max(envelope_ * release_, floor_);
            }
            gain = 1.0 / envelope_;
        }
        // |Limit| < 1, so the rounded sample stays within +-amplitude.
        out[k] = static_cast<int16_t>(std::lrint(amplitude * Limit(kOutputLevel * gain * y)));
    }
}

}  // namespace vantrel::band
