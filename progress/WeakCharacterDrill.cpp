#include "progress/WeakCharacterDrill.h"

#include <algorithm>
#include <map>

namespace vantrel::progress {

uint32_t DrillWeight(const AttemptTally& tally) {
    if (tally.attempts <= 0) {
        return kDrillWeightUnit;
    }
    const auto attempts = static_cast<uint64_t>(tally.attempts);
    const auto errors = static_cast<uint64_t>(std::clamp(tally.errors, 0, tally.attempts));
    return kDrillWeightUnit + static_cast<uint32_t>(4 * kDrillWeightUnit * errors / attempts);
}

WeakCharacterDrill::WeakCharacterDrill(std::string_view characters,
                                       const CharacterHistory* history) {
    std::map<unsigned char, AttemptTally> tallies;
    if (history != nullptr) {
        tallies = history->RecentTallies(kDrillRecentAttempts);
    }
    uint32_t total = 0;
    for (char c : characters) {
        const auto u = static_cast<unsigned char>(c);
        if (std::find(characters_.begin(), characters_.end(), u) != characters_.end()) {
            continue;
        }
        const auto found = tallies.find(u);
        total += found == tallies.end() ? kDrillWeightUnit : DrillWeight(found->second);
        characters_.push_back(u);
        cumulative_.push_back(total);
    }
}

unsigned char WeakCharacterDrill::Pick(uint32_t ticket) const {
    if (characters_.empty()) {
        return ' ';
    }
    const auto slice = std::upper_bound(cumulative_.begin(), cumulative_.end(), ticket);
    if (slice == cumulative_.end()) {
        return characters_.back();
    }
    return characters_[static_cast<std::size_t>(slice - cumulative_.begin())];
}

}  // namespace vantrel::progress
