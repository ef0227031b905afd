// The band: the keyed stream as it would come out of a receiver on a real band. The wanted
// signal fades, noise and static are added, other stations key beside it, and the receiver's
// filter and AGC shape the sum.
//
// The keyed samples (signed 16-bit mono, 8000 per second, as the keyer renders them) go through
// Process block by block, each call continuing where the last left off, so the band runs on
// across characters, the start delay and a pause. Every random choice comes from the plan's one
// seed: the same seed and keyed samples give the same output, however they are split into
// blocks. With the conditions off, Process leaves the samples as they are.
//
// Levels: the keyed key-down amplitude (which carries the learner's volume) is the band's unit.
// The signal-to-noise ratio sets the noise against it; the receiver brings the wanted key-down
// to kOutputLevel of it, so the volume still sets how loud the band sounds, and no output
// sample exceeds it, so nothing clips.
//
// Process allocates nothing but the text of another station's next over, and does no I/O.
// A simulator is a value: a copy carries on from the same state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "band/BandPlan.h"
#include "band/Fading.h"
#include "band/Receiver.h"
#include "band/Static.h"
#include "band/Station.h"

namespace vantrel::band {

// The wanted signal as keyed.
struct Keying {
    double pitchHz = 800.0;
    int dotSamples = 800;
    int keyDownAmplitude = 32767;
};

// What reaches the receiver's input: the wanted signal faded, the noise, the static and the
// other stations, in units of the wanted key-down amplitude.
class BandSource {
  public:
    BandSource(const BandPlan& plan, MorsePattern pattern, OverText over);

    // `antenna` gets the band for `keyed` (whose key-down amplitude is `amplitude`); the two
    // have the same length, at most kBlock samples.
    void Mix(std::span<const int16_t> keyed, double amplitude, std::span<float> antenna);

    // Samples by which the wanted signal lags the keyed input (the fading's quadrature filter).
    int Delay() const { return wanted_ ? FadedSignal::kDelay : 0; }

  private:
    double noiseRms_;
    std::optional<FadedSignal> wanted_;
    GaussianStream noise_;
    StaticNoise static_;
    std::vector<Station> stations_;
};

class BandSimulator {
  public:
    static constexpr std::size_t kBlock = 256;

    BandSimulator(const BandSettings& settings, const Keying& keying, uint64_t seed,
                  MorsePattern pattern, OverText over);
    BandSimulator(const BandPlan& plan, int keyDownAmplitude, MorsePattern pattern, OverText over);

    // Replaces the keyed samples by what the receiver puts out.
    void Process(std::span<int16_t> samples);

    // The key-down amplitude of the samples from now on (after a volume change).
    void SetKeyDownAmplitude(int amplitude) { amplitude_ = amplitude; }

    const BandPlan& Plan() const { return plan_; }
    // Samples by which the output lags the keyed input.
    int Delay() const { return source_.Delay(); }

  private:
    BandPlan plan_;
    double amplitude_;
    BandSource source_;
    Receiver receiver_;
    std::array<float, kBlock> antenna_{};
};

}  // namespace vantrel::band
