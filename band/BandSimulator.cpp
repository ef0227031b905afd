#include "band/BandSimulator.h"

#include <algorithm>
#include <utility>

namespace vantrel::band {

BandSimulator::BandSimulator(const BandSettings& settings, const Keying& keying, uint64_t seed,
                             MorsePattern pattern, OverText over)
    : BandSimulator(DrawPlan(settings, keying.pitchHz, keying.dotSamples, seed),
                    keying.keyDownAmplitude, std::move(pattern), std::move(over)) {}

BandSimulator::BandSimulator(const BandPlan& plan, int keyDownAmplitude, MorsePattern pattern,
                             OverText over)
    : plan_(plan),
      amplitude_(keyDownAmplitude),
      source_(plan, std::move(pattern), std::move(over)),
      receiver_(plan.pitchHz, plan.bandwidthHz, plan.agc, plan.noiseRms) {}

BandSource::BandSource(const BandPlan& plan, MorsePattern pattern, OverText over)
    : noiseRms_(plan.noiseRms),
      noise_(plan.noiseSeed),
      static_(plan.staticLevel, plan.noiseRms, plan.staticSeed) {
    if (plan.fadingHz > 0.0 && plan.diffuse > 0.0) {
        wanted_.emplace(plan.pitchHz, FadingProcess(plan.fadingHz, plan.diffuse, plan.fadingSeed));
    }
    stations_.reserve(plan.stations.size());
    for (const StationPlan& station : plan.stations) {
        stations_.emplace_back(station, plan.diffuse, pattern, over);
    }
}

void BandSource::Mix(std::span<const int16_t> keyed, double amplitude, std::span<float> antenna) {
    const double scale = amplitude > 0.0 ? 1.0 / amplitude : 0.0;
    for (std::size_t k = 0; k < antenna.size(); ++k) {
        antenna[k] = static_cast<float>(keyed[k] * scale);
    }
    if (wanted_) {
        wanted_->Apply(antenna);
    }
    for (float& a : antenna) {
        a = static_cast<float>(a + noiseRms_ * noise_.Next());
    }
    static_.Add(antenna);
    for (Station& station : stations_) {
        station.Add(antenna);
    }
}

void BandSimulator::Process(std::span<int16_t> samples) {
    if (!plan_.enabled) {
        return;
    }
    while (!samples.empty()) {
        const std::size_t n = std::min(samples.size(), kBlock);
        const std::span<float> antenna(antenna_.data(), n);
        source_.Mix(samples.first(n), amplitude_, antenna);
        receiver_.Process(antenna, samples.first(n), amplitude_);
        samples = samples.subspan(n);
    }
}

}  // namespace vantrel::band
