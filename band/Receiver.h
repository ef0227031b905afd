// The receiver: a band-pass filter on the pitch, through which the noise rings as through a
// real CW filter, an automatic gain control (fast attack, hang, slow release) that crashes and
// strong stations pump, and an output stage that scales to the learner's volume and bends the
// peaks below full scale.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vantrel::band {

// An eighth-order Butterworth band-pass (four biquads), its gain 1 at the pitch and its noise
// bandwidth the nominal one. It is centred on the pitch unless its lower edge would fall below
// kFilterLowestHz; it then starts there.
class ReceiverFilter {
  public:
    ReceiverFilter(double pitchHz, int bandwidthHz);

    double Process(double x) {
        for (Section& s : sections_) {
            const double y = s.gain * x + s.z1;
            s.z1 = s.z2 - s.a1 * y;
            s.z2 = -s.gain * x - s.a2 * y;
            x = y;
        }
        return x;
    }

    // The noise bandwidth of the filter as designed, in Hz (gain 1 at the pitch).
    double NoiseBandwidthHz() const { return noiseBandwidthHz_; }

  private:
    // (1 - z^-2) * gain / (1 + a1 z^-1 + a2 z^-2), transposed direct form II.
    struct Section {
        double gain = 0.0;
        double a1 = 0.0;
        double a2 = 0.0;
        double z1 = 0.0;
        double z2 = 0.0;
    };

    void Design(double pitchHz, double lowHz, double highHz);
    double MeasureNoiseBandwidth() const;

    std::array<Section, 4> sections_{};
    double noiseBandwidthHz_ = 0.0;
};

class Receiver {
  public:
    // `noiseRms`: the band noise per sample, in units of the wanted key-down amplitude; without
    // the AGC it sets the fixed gain.
    Receiver(double pitchHz, int bandwidthHz, bool agc, double noiseRms);

    // Filters `antenna` (units of the wanted key-down amplitude) into `out`; a wanted key-down
    // alone comes out at kOutputLevel * `amplitude`, and no sample exceeds `amplitude`.
    void Process(std::span<const float> antenna, std::span<int16_t> out, double amplitude);

    const ReceiverFilter& Filter() const { return filter_; }

  private:
    double Limit(double x) const;

    ReceiverFilter filter_;
    bool agc_;
    double fixedGain_ = 1.0;
    double attack_;
    double release_;
    int64_t hang_;
    double floor_;
    double envelope_ = 1.0;  // the detected peak; the wanted key-down is 1
    int64_t held_ = 0;
};

}  // namespace vantrel::band
