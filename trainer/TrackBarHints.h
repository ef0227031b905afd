// What the hints of the four track bars and the window caption tell, as values the window words
// in its language: the speed in groups per minute, the kind of spacing, the pitch in whole
// hertz, the volume level.
#pragma once

#include <string>

namespace vantrel {

// "Нормальные паузы" (0), "Увеличенные паузы" (1..3), "Длинные паузы" (4..7).
enum class SpacingKind { Normal, Increased, Long };
SpacingKind SpacingKindOf(int spacing);
// The pitch the hint shows: rounded to whole hertz, ties to even.
long long PitchHintHertz(long double toneFrequencyHz);

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
