// Everything a run of the band draws from its one seed, worked out before the first sample:
// the noise level, the fading bandwidths, the stations' pitches, speeds and levels, and the
// seeds of every random part. The simulator plays a plan; a plan can be shown or recorded.
#pragma once

#include <cstdint>
#include <vector>

#include "band/BandSettings.h"
#include "band/Station.h"

namespace vantrel::band {

struct BandPlan {
    bool enabled = false;
    double pitchHz = 800.0;
    int dotSamples = 800;
    // Per sample, in units of the wanted key-down amplitude.
    double noiseRms = 0.0;
    // The share of diffuse (fading) power, from the depth; 0 when there is no fading.
    double diffuse = 0.0;
    double fadingHz = 0.0;     // of the wanted station; 0: none
    double staticLevel = 0.0;  // 0 to 1
    int bandwidthHz = 500;
    bool agc = true;
    uint32_t noiseSeed = 0;
    uint64_t fadingSeed = 0;
    uint64_t staticSeed = 0;
    std::vector<StationPlan> stations;
};

// The noise per sample that gives `snrDb` against a key-down of amplitude 1 in the reference
// band.
double NoiseRmsForSnr(double snrDb);

// The plan of a run keyed at `pitchHz` with dots of `dotSamples` samples, all of it from
// `seed`. Settings out of range are brought into it.
BandPlan DrawPlan(const BandSettings& settings, double pitchHz, int dotSamples, uint64_t seed);

}  // namespace vantrel::band
