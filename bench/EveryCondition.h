// The heaviest band the learner can choose: every condition at its deepest, the most other
// stations, the 500 Hz filter and the AGC.
#pragma once

#include "band/BandSettings.h"

namespace vantrel::bench {

inline band::BandSettings EveryCondition() {
    return {true,
            band::Profile::Custom,
            0,
            band::FadingKind::Flutter,
            100,
            100,
            band::kStationsMax,
            band::Bandwidth::Hz500,
            true};
}

}  // namespace vantrel::bench
