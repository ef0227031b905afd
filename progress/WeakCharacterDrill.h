// The weak-character drill: each character of a set is drawn with a weight that rises with its
// recent error rate,
//
//     weight = 1 + 4 * errors / attempts   over the character's last 50 attempts,
//
// so a character never missed has weight 1 and one always missed weight 5. A character without
// attempts, or a drill without a history, has weight 1: the draw is then uniform.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "progress/CharacterHistory.h"

namespace vantrel::progress {

inline constexpr int kDrillRecentAttempts = 50;
// Weights are whole millionths, so a draw needs only a uniform integer.
inline constexpr uint32_t kDrillWeightUnit = 1'000'000;

// The weight of a tally in millionths (1 000 000 to 5 000 000).
uint32_t DrillWeight(const AttemptTally& tally);

class WeakCharacterDrill {
  public:
    // `characters` (Windows-1251; repeats count once) weighted from `history`, which may be
    // null. An empty set draws blanks.
    WeakCharacterDrill(std::string_view characters, const CharacterHistory* history);

    // Draw a ticket uniformly from 0 .. TotalWeight() - 1 and Pick it.
    uint32_t TotalWeight() const { return cumulative_.empty() ? 0 : cumulative_.back(); }
    unsigned char Pick(uint32_t ticket) const;

  private:
    std::vector<unsigned char> characters_;
    std::vector<uint32_t> cumulative_;  // running sums of the weights
};

}  // namespace vantrel::progress
