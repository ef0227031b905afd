// The learner's band conditions: on/off, the profile and the values it sets, with the named
// presets and the texts the window shows for them (UTF-8).
#pragma once

#include <string_view>

#include "band/BandLimits.h"

namespace vantrel::band {

// The numbers are stored in the settings: never renumber.
enum class Profile {
    Clear = 0,
    Fading = 1,
    SummerEvening = 2,
    Contest = 3,
    Aurora = 4,
    Custom = 5
};
enum class FadingKind { None = 0, Slow = 1, Normal = 2, Flutter = 3 };
enum class Bandwidth { Hz250 = 0, Hz500 = 1, Hz2400 = 2 };

inline constexpr int kProfileCount = 6;
inline constexpr int kFadingKindCount = 4;
inline constexpr int kBandwidthCount = static_cast<int>(kBandwidthsHz.size());

struct BandSettings {
    bool enabled = false;
    Profile profile = Profile::Clear;
    int snrDb = kSnrMaxDb;
    FadingKind fading = FadingKind::None;
    int depthPercent = kDepthMax;
    int staticPercent = kStaticMin;
    int stations = kStationsMin;
    Bandwidth bandwidth = Bandwidth::Hz500;
    bool agc = true;

    bool operator==(const BandSettings&) const = default;
};

// The values of a named profile, `enabled` as given; Custom gives `current` unchanged but for
// its profile.
BandSettings Preset(Profile profile, const BandSettings& current = {});
// The named profile whose values these are, else Custom (`enabled` and `profile` not compared).
Profile MatchingProfile(const BandSettings& settings);
// Every value brought into its range (unknown enumerators to the default).
BandSettings Clamped(BandSettings settings);

std::string_view ProfileName(Profile profile);
std::string_view FadingName(FadingKind kind);
std::string_view BandwidthName(Bandwidth bandwidth);
int BandwidthHz(Bandwidth bandwidth);
// The range of the fading bandwidth of a kind ({0, 0} for None).
Range FadingRangeHz(FadingKind kind);

}  // namespace vantrel::band
