// The learner's copy set against the sent text character by character, as the copy check sees
// both texts: the sent text after its preamble, the copy upper-cased.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "progress/Alignment.h"
#include "support/PracticePreamble.h"

namespace vantrel::progress {

// How often a sent character was copied as another. `copied` 0: the copy misses the character;
// `sent` 0: an extra character of the copy. A pair with sent == copied counts right copies.
// Characters are Windows-1251 bytes; blanks and line breaks are never counted.
struct PairCount {
    unsigned char sent = 0;
    unsigned char copied = 0;
    int count = 0;

    bool IsRight() const { return sent != 0 && sent == copied; }
    friend bool operator==(const PairCount&, const PairCount&) = default;
};

// The largest count read from the history; larger and negative ones are damage.
inline constexpr int kMaxPairCount = std::numeric_limits<int>::max();

// `total` + `count`, held at kMaxPairCount (and as low at the other end) rather than overflowing:
// counts read from a history file can be as large as it likes.
inline int AddCount(int total, int count) {
    return static_cast<int>(
        std::clamp<int64_t>(int64_t{total} + count, -kMaxPairCount, kMaxPairCount));
}

struct CheckComparison {
    Alignment alignment;  // of the compared texts, each line break one '\n'
    int sentCount = 0;    // keyed characters sent (blanks and line breaks left out)
    int rightCount = 0;
    int substitutedCount = 0;
    int missedCount = 0;
    int extraCount = 0;
    std::vector<PairCount> pairs;  // ordered by sent, then copied character
};

// The sent text (Windows-1251, CR LF line breaks as the text window holds it) from the seventh
// character on, and the copy upper-cased by the Windows-1251 case pairs; in both each CR LF, CR
// or LF becomes one line break, a line break matches a blank, and blanks and line breaks at the
// end are left out.
CheckComparison CompareCopy(std::string_view sentCp1251, std::string_view copyCp1251);

// Tallies the aligned pairs by character pair (blanks and line breaks left out). A keyed
// character copied as a blank counts as missed; a character copied in place of a blank counts
// as extra.
std::vector<PairCount> CountPairs(const Alignment& alignment);

// A character for people: UTF-8, e.g. "Ж".
std::string CharacterText(unsigned char cp1251);

// The errors among `pairs` (right copies left out): substitutions, then misses, then extras,
// each the most frequent first.
std::vector<PairCount> ErrorsInOrder(std::vector<PairCount> pairs);

// The errors among `pairs` in that order, for programs: items parted by one blank, each a sent
// character, "→", a copied character, "×", a count, "∅" standing for none: "5→4×3 7→∅×1 ∅→Q×2".
// Empty for a perfect copy.
std::string ErrorNotation(const std::vector<PairCount>& pairs);

}  // namespace vantrel::progress
