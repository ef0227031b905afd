#include "trainer/TrackBarHints.h"

#include <algorithm>
#include <cmath>

#include "trainer/Limits.h"

namespace vantrel {

SpacingKind SpacingKindOf(int spacing) {
    if (spacing <= 0) {
        return SpacingKind::Normal;
    }
    return spacing <= 3 ? SpacingKind::Increased : SpacingKind::Long;
}

long long PitchHintHertz(long double toneFrequencyHz) {
    // The default rounding mode rounds ties to even.
    return std::llrint(toneFrequencyHz);
}

int SpokenScale::ValueAt(int position) const {
    const int clamped = std::clamp(position, positionMin, positionMax);
    return unitsPerStep * (reversed ? positionMax - clamped : clamped);
}

int SpokenScale::PositionFor(double value) const {
    const int steps = static_cast<int>(std::lround(value / unitsPerStep));
    return std::clamp(reversed ? positionMax - steps : steps, positionMin, positionMax);
}

SpokenScale SpeedScale() {
    return {limits::kSpeedMin, limits::kSpeedMax, 1, false};
}

SpokenScale SpacingScale() {
    return {limits::kSpacingMin, limits::kSpacingMax, 1, false};
}

SpokenScale PitchScale() {
    return {limits::kPitchMin, limits::kPitchMax, 100, false};
}

SpokenScale VolumeScale() {
    return {limits::kVolumeMin, limits::kVolumeMax, 1, true};
}

std::string CaptionAfterSpeedChange(const std::string& speedHint, const std::string& spacingHint) {
    return "Vantrel  - " + speedHint + " " + spacingHint;
}

std::string CaptionAfterSpacingChange(const std::string& speedHint,
                                      const std::string& spacingHint) {
    return "Vantrel - " + speedHint + " " + spacingHint;
}

}  // namespace vantrel
