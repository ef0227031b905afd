// Another station (QRM): an operator who calls, keys an over at his own speed and pitch,
// listens for a while and keys the next, his signal fading on its own path.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "band/BandRandom.h"
#include "band/Fading.h"

namespace vantrel::band {

// The dot/dash pattern of a Windows-1251 byte, empty when it has no code.
using MorsePattern = std::function<std::string_view(uint8_t)>;
// The text of a station's next over (Windows-1251), chosen by the seed.
using OverText = std::function<std::string(uint64_t seed)>;

// What was drawn for one station.
struct StationPlan {
    double frequencyHz = 0.0;  // the pitch plus the offset
    double speed = 1.0;        // times the lesson's speed
    int dotSamples = 1;
    double levelDb = 0.0;   // key-down power against the wanted signal
    double fadingHz = 0.0;  // 0: no fading
    uint64_t seed = 0;
};

class Station {
  public:
    // Key clicks are kept off by raised-cosine edges this long.
    static constexpr int kEdgeSamples = 40;

    // `diffuse`: the fading depth, as for FadingProcess.
    Station(const StationPlan& plan, double diffuse, MorsePattern pattern, OverText over);

    // Adds the station's signal, in units of the wanted signal's key-down amplitude.
    void Add(std::span<float> samples);

  private:
    void NextSegment();

    MorsePattern pattern_;
    OverText overText_;
    BandRandom random_;
    FadingProcess fading_;
    double amplitude_;
    double omega_;
    std::complex<double> rotation_;
    std::complex<double> phasor_{1.0, 0.0};
    std::array<double, kEdgeSamples + 1> edge_{};
    int dot_;
    int64_t now_ = 0;

    // Keying: the current segment is key-down (on_) or not, for left_ more samples.
    bool on_ = false;
    int64_t left_ = 0;
    int ramp_ = 0;  // position on the edge, 0 (silent) to kEdgeSamples (full)
    bool listening_ = true;
    std::string over_;
    std::size_t character_ = 0;
    std::size_t element_ = 0;
    bool elementKeyed_ = false;  // an element has sounded: a gap comes before the next
};

}  // namespace vantrel::band
