#include "trainer/TrackBarHints.h"

#include <cmath>

namespace vantrel {

std::string SpeedHint(int groupsPerMinute) {
    return std::to_string(groupsPerMinute) + " гр./мин.";
}

std::string SpacingHint(int spacing) {
    if (spacing <= 0) {
        return "Нормальные паузы";
    }
    if (spacing <= 3) {
        return "Увеличенные паузы";
    }
    return "Длинные паузы";
}

std::string PitchHint(long double toneFrequencyHz) {
    // The default rounding mode rounds ties to even.
    return std::to_string(std::llrint(toneFrequencyHz)) + " Гц";
}

std::string VolumeHint(int volumeLevel) {
    return std::to_string(volumeLevel);
}

std::string CaptionAfterSpeedChange(const std::string& speedHint, const std::string& spacingHint) {
    return "Vantrel  - " + speedHint + " " + spacingHint;
}

std::string CaptionAfterSpacingChange(const std::string& speedHint,
                                      const std::string& spacingHint) {
    return "Vantrel - " + speedHint + " " + spacingHint;
}

}  // namespace vantrel
