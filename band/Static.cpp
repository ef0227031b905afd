#include "band/Static.h"

#include <algorithm>
#include <cmath>

namespace vantrel::band {

namespace {

// A crash rises over a tenth of its length (at most this long), then dies away.
constexpr double kCrashRiseSeconds = 0.01;

double DbToAmplitude(double db) {
    return std::pow(10.0, db / 20.0);
}

}  // namespace

StaticNoise::StaticNoise(double level, double noiseRms, uint64_t seed)
    : random_(seed),
      crashNoise_(static_cast<uint32_t>(BandRandom(seed ^ 0x5ca1ab1eull).Next())),
      level_(std::clamp(level, 0.0, 1.0)),
      noiseRms_(noiseRms) {
    if (level_ > 0.0) {
        impulseGap_ = kSampleRate / (kImpulsesPerSecondMax * level_);
        crashGap_ = kSampleRate / (kCrashesPerSecondMax * level_);
        nextImpulse_ = random_.Exponential(impulseGap_);
        nextCrash_ = random_.Exponential(crashGap_);
    }
}

void StaticNoise::StartCrash() {
    ++crashes_;
    Crash crash;
    crash.length = std::max<int64_t>(1, std::lround(random_.Uniform(kCrashSeconds) * kSampleRate));
    crash.rise =
        std::clamp<int64_t>(crash.length / 10, 1, std::lround(kCrashRiseSeconds * kSampleRate));
    crash.peak = noiseRms_ * DbToAmplitude(level_ * random_.Uniform(kCrashPeakDb));
    const auto free =
        std::find_if(active_.begin(), active_.end(), [](const Crash& c) { return c.length == 0; });
    if (free != active_.end()) {
        *free = crash;
    }
}

double StaticNoise::CrashEnvelope(const Crash& crash) const {
    if (crash.age < crash.rise) {
        return crash.peak * static_cast<double>(crash.age) / static_cast<double>(crash.rise);
    }
    const double left = static_cast<double>(crash.length - crash.age) /
                        static_cast<double>(crash.length - crash.rise);
    return crash.peak * left * left;
}

void StaticNoise::Add(std::span<float> samples) {
    if (level_ == 0.0) {
        return;
    }
    for (float& sample : samples) {
        double added = 0.0;
        while (nextImpulse_ < static_cast<double>(now_ + 1)) {
            ++impulses_;
            const double sign = random_.Uniform() < 0.5 ? -1.0 : 1.0;
            added += sign * noiseRms_ * DbToAmplitude(level_ * random_.Uniform(kImpulsePeakDb));
            nextImpulse_ += random_.Exponential(impulseGap_);
        }
        while (nextCrash_ < static_cast<double>(now_ + 1)) {
            StartCrash();
            nextCrash_ += random_.Exponential(crashGap_);
        }
        // Overlapping crashes add their powers.
        double crashPower = 0.0;
        for (Crash& crash : active_) {
            if (crash.length != 0) {
                const double envelope = CrashEnvelope(crash);
                crashPower += envelope * envelope;
                if (++crash.age == crash.length) {
                    crash.length = 0;
                }
            }
        }
        if (crashPower != 0.0) {
            added += std::sqrt(crashPower) * crashNoise_.Next();
        }
        sample = static_cast<float>(sample + added);
        ++now_;
    }
}

}  // namespace vantrel::band
