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

// "Vantrel  - " (two blanks) + speed hint + " " + spacing hint.
std::string CaptionAfterSpeedChange(const std::string& speedHint, const std::string& spacingHint);
// "Vantrel - " (one blank) + speed hint + " " + spacing hint.
std::string CaptionAfterSpacingChange(const std::string& speedHint, const std::string& spacingHint);

}  // namespace vantrel
