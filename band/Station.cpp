#include "band/Station.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace vantrel::band {

Station::Station(const StationPlan& plan, double diffuse, MorsePattern pattern, OverText over)
    : pattern_(std::move(pattern)),
      overText_(std::move(over)),
      random_(plan.seed),
      fading_(plan.fadingHz, diffuse, BandRandom(~plan.seed).Next()),
      amplitude_(std::pow(10.0, plan.levelDb / 20.0)),
      omega_(2.0 * std::numbers::pi * plan.frequencyHz / kSampleRate),
      rotation_(std::polar(1.0, omega_)),
      dot_(std::max(1, plan.dotSamples)) {
    for (int k = 0; k <= kEdgeSamples; ++k) {
        edge_[static_cast<std::size_t>(k)] =
            0.5 - 0.5 * std::cos(std::numbers::pi * k / kEdgeSamples);
    }
    left_ = std::lround(random_.Uniform(kFirstCallSeconds) * kSampleRate);
}

void Station::NextSegment() {
    if (listening_) {
        over_ = overText_ ? overText_(random_.Next()) : std::string();
        listening_ = false;
        character_ = 0;
        element_ = 0;
        elementKeyed_ = false;
    }
    while (character_ < over_.size()) {
        const std::string_view code = pattern_(static_cast<uint8_t>(over_[character_]));
        if (code.empty()) {
            // A blank (or a character without a code): a word gap, seven dots with the three
            // that closed the character before it.
            while (character_ < over_.size() &&
                   pattern_(static_cast<uint8_t>(over_[character_])).empty()) {
                ++character_;
            }
            on_ = false;
            left_ = 4 * static_cast<int64_t>(dot_);
            return;
        }
        if (element_ < code.size()) {
            if (elementKeyed_) {
                elementKeyed_ = false;
                on_ = false;
                left_ = dot_;
                return;
            }
            on_ = true;
            left_ = (code[element_] == '-' ? 3 : 1) * static_cast<int64_t>(dot_);
            ++element_;
            elementKeyed_ = true;
            return;
        }
        ++character_;
        element_ = 0;
        elementKeyed_ = false;
        on_ = false;
        left_ = 3 * static_cast<int64_t>(dot_);
        return;
    }
    listening_ = true;
    on_ = false;
    left_ = std::max<int64_t>(1, std::lround(random_.Uniform(kListenSeconds) * kSampleRate));
}

void Station::Add(std::span<float> samples) {
    std::size_t k = 0;
    while (k < samples.size()) {
        if (left_ == 0) {
            NextSegment();
            if (on_ && ramp_ == 0) {
                // The oscillator runs on while the key is up: its phase follows the time.
                phasor_ = std::polar(
                    1.0, std::fmod(omega_ * static_cast<double>(now_), 2.0 * std::numbers::pi));
            }
        }
        auto run = static_cast<std::size_t>(
            std::min<int64_t>(left_, static_cast<int64_t>(samples.size() - k)));
        if (!on_ && ramp_ == 0) {
            fading_.Skip(static_cast<int64_t>(run));
        } else {
            if (!on_) {
                run = std::min(run, static_cast<std::size_t>(ramp_));  // the falling edge
            }
            for (std::size_t i = k; i < k + run; ++i) {
                ramp_ = std::clamp(ramp_ + (on_ ? 1 : -1), 0, kEdgeSamples);
                const std::complex<double> gain = fading_.Next();
                const double value = gain.real() * phasor_.real() - gain.imag() * phasor_.imag();
                samples[i] +=
                    static_cast<float>(amplitude_ * edge_[static_cast<std::size_t>(ramp_)] * value);
                phasor_ *= rotation_;
            }
        }
        k += run;
        left_ -= static_cast<int64_t>(run);
        now_ += static_cast<int64_t>(run);
    }
}

}  // namespace vantrel::band
