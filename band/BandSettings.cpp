#include "band/BandSettings.h"

#include <algorithm>
#include <array>

namespace vantrel::band {

namespace {

// profile, SNR, fading, depth, static, stations, bandwidth, AGC (enabled is the learner's);
// the last row stands for Custom.
constexpr std::array<BandSettings, kProfileCount> kPresets{{
    {false, Profile::Clear, 30, FadingKind::None, 100, 0, 0, Bandwidth::Hz500, true},
    {false, Profile::Fading, 15, FadingKind::Normal, 100, 0, 0, Bandwidth::Hz500, true},
    {false, Profile::SummerEvening, 10, FadingKind::Slow, 50, 80, 1, Bandwidth::Hz500, true},
    {false, Profile::Contest, 15, FadingKind::Normal, 40, 10, 5, Bandwidth::Hz500, true},
    {false, Profile::Aurora, 10, FadingKind::Flutter, 100, 0, 1, Bandwidth::Hz500, true},
    {false, Profile::Custom},
}};

// The enumerator's index, or `fallback` for a value outside the enumeration.
template <typename Enum>
int IndexOf(Enum value, int count, Enum fallback = Enum{}) {
    const int index = static_cast<int>(value);
    return index >= 0 && index < count ? index : static_cast<int>(fallback);
}

bool SameConditions(const BandSettings& a, const BandSettings& b) {
    return a.snrDb == b.snrDb && a.fading == b.fading && a.depthPercent == b.depthPercent &&
           a.staticPercent == b.staticPercent && a.stations == b.stations &&
           a.bandwidth == b.bandwidth && a.agc == b.agc;
}

}  // namespace

BandSettings Preset(Profile profile, const BandSettings& current) {
    if (profile == Profile::Custom) {
        BandSettings custom = current;
        custom.profile = Profile::Custom;
        return custom;
    }
    BandSettings preset = kPresets[static_cast<std::size_t>(IndexOf(profile, kProfileCount))];
    preset.enabled = current.enabled;
    return preset;
}

Profile MatchingProfile(const BandSettings& settings) {
    for (const BandSettings& preset : kPresets) {
        if (preset.profile != Profile::Custom && SameConditions(preset, settings)) {
            return preset.profile;
        }
    }
    return Profile::Custom;
}

BandSettings Clamped(BandSettings s) {
    s.profile = static_cast<Profile>(IndexOf(s.profile, kProfileCount));
    s.snrDb = std::clamp(s.snrDb, kSnrMinDb, kSnrMaxDb);
    s.fading = static_cast<FadingKind>(IndexOf(s.fading, kFadingKindCount));
    s.depthPercent = std::clamp(s.depthPercent, kDepthMin, kDepthMax);
    s.staticPercent = std::clamp(s.staticPercent, kStaticMin, kStaticMax);
    s.stations = std::clamp(s.stations, kStationsMin, kStationsMax);
    s.bandwidth =
        static_cast<Bandwidth>(IndexOf(s.bandwidth, kBandwidthCount, BandSettings{}.bandwidth));
    return s;
}

BandSettings Changed(const BandSettings& current, const BandSettings& wanted) {
    BandSettings kept = Clamped(wanted);
    if (kept.profile != current.profile) {
        kept = Preset(kept.profile, kept);
    } else if (!SameConditions(kept, current)) {
        kept.profile = Profile::Custom;
    }
    return kept;
}

int BandwidthHz(Bandwidth bandwidth) {
    return kBandwidthsHz[static_cast<std::size_t>(IndexOf(bandwidth, kBandwidthCount))];
}

Range FadingRangeHz(FadingKind kind) {
    switch (kind) {
        case FadingKind::Slow:
            return kSlowFadingHz;
        case FadingKind::Normal:
            return kNormalFadingHz;
        case FadingKind::Flutter:
            return kFlutterHz;
        case FadingKind::None:
            break;
    }
    return {0.0, 0.0};
}

}  // namespace vantrel::band
