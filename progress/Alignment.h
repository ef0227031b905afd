// The aligned comparison of a copy with the text that was sent: an edit-distance alignment
// (substitution, dropped and extra characters), so that one missed character does not shift
// every later one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::progress {

// One step of the alignment. `sent` is 0 for an extra character of the copy; `copied` is 0 for
// a sent character that the copy misses.
struct AlignedPair {
    char sent = 0;
    char copied = 0;

    bool IsRight() const { return sent != 0 && sent == copied; }
    bool IsMissed() const { return sent != 0 && copied == 0; }
    bool IsExtra() const { return sent == 0 && copied != 0; }
    bool IsSubstituted() const { return sent != 0 && copied != 0 && sent != copied; }
};

struct Alignment {
    std::vector<AlignedPair> pairs;  // in text order
    int sentCount = 0;               // characters of the sent text compared
    int rightCount = 0;              // of them copied right
};

// Aligns two Windows-1251 texts as they are: nothing is upper-cased or skipped here.
// Among alignments of least cost (each substitution, drop or extra costs one) it prefers
// substitutions over a drop plus an extra, and drops and extras as late as possible.
Alignment Align(std::string_view sent, std::string_view copy);

}  // namespace vantrel::progress
