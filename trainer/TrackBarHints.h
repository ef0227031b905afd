// Hints of the four track bars and the window caption that the speed and spacing handlers set.
// All texts are UTF-8.
#pragma once

#include <string>

namespace vantrel {

// "12 гр./мин."
std::string SpeedHint(int groupsPerMinute);
// "Нормальные паузы" (0), "Увеличенные паузы" (1..3), "Длинные паузы" (4..7).
std::string SpacingHint(int spacing);
// The pitch rounded to whole hertz, ties to even: "800 Гц".
std::string PitchHint(long double toneFrequencyHz);
// The volume level alone: "8".
std::string VolumeHint(int volumeLevel);

// The number a listener hears for a track bar position: it grows with what the bar sets (groups
// per minute, extra dots, hertz, loudness), whichever end of the bar that lies at.
struct SpokenScale {
    int positionMin = 0;
    int positionMax = 0;
    int unitsPerStep = 1;
    // The bar's largest position sets the least (the volume bar: the bottom is silence).
    bool reversed = false;

    int ValueAt(int position) const;
    // The position whose value lies nearest to `value`, within the bar's range.
    int PositionFor(double value) const;
    int MinimumValue() const { return ValueAt(reversed ? positionMax : positionMin); }
    int MaximumValue() const { return ValueAt(reversed ? positionMin : positionMax); }
};

// Speed in groups per minute, extra dots, pitch in hertz, volume level (8 is the loudest).
SpokenScale SpeedScale();
SpokenScale SpacingScale();
SpokenScale PitchScale();
SpokenScale VolumeScale();

// "Vantrel  - " (two blanks) + speed hint + " " + spacing hint.
std::string CaptionAfterSpeedChange(const std::string& speedHint, const std::string& spacingHint);
// "Vantrel - " (one blank) + speed hint + " " + spacing hint.
std::string CaptionAfterSpacingChange(const std::string& speedHint, const std::string& spacingHint);

}  // namespace vantrel
