#include "band/BandSettings.h"

#include <algorithm>
#include <array>

namespace vantrel::band {

namespace {

struct NamedPreset {
    std::string_view name;
    BandSettings values;
};

// profile, SNR, fading, depth, static, stations, bandwidth, AGC (enabled is the learner's).
constexpr std::array<NamedPreset, kProfileCount> kPresets{{
    {"Чистый эфир",
     {false, Profile::Clear, 30, FadingKind::None, 100, 0, 0, Bandwidth::Hz500, true}},
    {"Замирания",
     {false, Profile::Fading, 15, FadingKind::Normal, 100, 0, 0, Bandwidth::Hz500, true}},
    {"Летний вечер",
     {false, Profile::SummerEvening, 10, FadingKind::Slow, 50, 80, 1, Bandwidth::Hz500, true}},
    {"Контест",
     {false, Profile::Contest, 15, FadingKind::Normal, 40, 10, 5, Bandwidth::Hz500, true}},
    {"Полярное сияние",
     {false, Profile::Aurora, 10, FadingKind::Flutter, 100, 0, 1, Bandwidth::Hz500, true}},
    {"Свой", {}},
}};

constexpr std::array<std::string_view, kFadingKindCount> kFadingNames{"Нет", "Медленные", "Обычные",
                                                                      "Флаттер"};
constexpr std::array<std::string_view, kBandwidthCount> kBandwidthNames{"250 Гц", "500 Гц",
                                                                        "2400 Гц"};

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
    BandSettings preset =
        kPresets[static_cast<std::size_t>(IndexOf(profile, kProfileCount))].values;
    preset.enabled = current.enabled;
    return preset;
}

Profile MatchingProfile(const BandSettings& settings) {
    for (const NamedPreset& preset : kPresets) {
        if (preset.values.profile != Profile::Custom && SameConditions(preset.values, settings)) {
            return preset.values.profile;
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

std::string_view ProfileName(Profile profile) {
    return kPresets[static_cast<std::size_t>(IndexOf(profile, kProfileCount))].name;
}

std::string_view FadingName(FadingKind kind) {
    return kFadingNames[static_cast<std::size_t>(IndexOf(kind, kFadingKindCount))];
}

std::string_view BandwidthName(Bandwidth bandwidth) {
    return kBandwidthNames[static_cast<std::size_t>(IndexOf(bandwidth, kBandwidthCount))];
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
