// The aligned comparison of a copy with the text that was sent: an edit-distance alignment
// (substitution, dropped and extra characters), so that one missed character does not shift
// every later one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::progress {

// A blank or a line break: both only part words, so either stands for the other.
inline bool IsSeparator(char c) {
    return c == ' ' || c == '\n' || c == '\r';
}

inline bool SameCharacter(char sent, char copied) {
    return sent == copied || (IsSeparator(sent) && IsSeparator(copied));
}

// One step of the alignment. `sent` is 0 for an extra character of the copy; `copied` is 0 for
// a sent character that the copy misses.
struct AlignedPair {
    char sent = 0;
    char copied = 0;

    bool IsRight() const { return sent != 0 && copied != 0 && SameCharacter(sent, copied); }
    bool IsMissed() const { return sent != 0 && copied == 0; }
    bool IsExtra() const { return sent == 0 && copied != 0; }
    bool IsSubstituted() const { return sent != 0 && copied != 0 && !SameCharacter(sent, copied); }
};

struct Alignment {
    std::vector<AlignedPair> pairs;  // in text order
    int sentCount = 0;               // characters of the sent text compared
    int rightCount = 0;              // of them copied right
};

// Aligns two Windows-1251 texts as they are: nothing is upper-cased or skipped here; a blank
// and a line break count as the same character. It takes the fewest edits (substitutions,
// drops, extras), among those the most matching characters, and among those prefers
// substitutions over a drop plus an extra, and drops and extras as late as possible.
//
// Texts up to about two thousand characters each are aligned as a whole (in a band around the
// diagonal that widens until the result is exact). Longer ones are aligned window by window
// along the text (each window of a thousand sent characters keeps the first half of its
// alignment), so time and memory grow with the length, not its square;
// a gap of more than a few hundred characters may then be placed less well.
Alignment Align(std::string_view sent, std::string_view copy);

}  // namespace vantrel::progress
