#include "band/BandPlan.h"

#include <algorithm>
#include <cmath>

namespace vantrel::band {

double NoiseRmsForSnr(double snrDb) {
    // Key-down power 1/2 against white noise whose share in the reference band is
    // kReferenceBandHz of the kSampleRate / 2 it spreads over.
    const double noisePower = 0.5 / std::pow(10.0, snrDb / 10.0);
    return std::sqrt(noisePower * (kSampleRate / 2.0) / kReferenceBandHz);
}

BandPlan DrawPlan(const BandSettings& requested, double pitchHz, int dotSamples, uint64_t seed) {
    const BandSettings s = Clamped(requested);
    BandRandom random(seed);
    BandPlan plan;
    plan.enabled = s.enabled;
    plan.pitchHz = pitchHz;
    plan.dotSamples = std::max(1, dotSamples);
    plan.noiseRms = NoiseRmsForSnr(s.snrDb);
    plan.staticLevel = static_cast<double>(s.staticPercent) / kStaticMax;
    plan.bandwidthHz = BandwidthHz(s.bandwidth);
    plan.agc = s.agc;
    plan.noiseSeed = static_cast<uint32_t>(random.Next());
    plan.fadingSeed = random.Next();
    plan.staticSeed = random.Next();
    const Range fading = FadingRangeHz(s.fading);
    if (s.fading != FadingKind::None) {
        plan.diffuse = static_cast<double>(s.depthPercent) / kDepthMax;
        plan.fadingHz = random.LogUniform(fading);
    }
    for (int k = 0; k < s.stations; ++k) {
        StationPlan station;
        const double offset = random.Uniform(kStationOffsetHz);
        const bool below = random.Uniform() < 0.5;
        station.frequencyHz =
            below && pitchHz - offset >= kAudibleHz.low ? pitchHz - offset : pitchHz + offset;
        station.frequencyHz = std::min(station.frequencyHz, kAudibleHz.high);
        station.speed = random.Uniform(kStationSpeed);
        station.dotSamples =
            std::max(1, static_cast<int>(std::lround(plan.dotSamples / station.speed)));
        station.levelDb = random.Uniform(kStationLevelDb);
        station.fadingHz = s.fading == FadingKind::None ? 0.0 : random.LogUniform(fading);
        station.seed = random.Next();
        plan.stations.push_back(station);
    }
    return plan;
}

}  // namespace vantrel::band
