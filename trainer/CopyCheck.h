// The copy check: compares the learner's copy with the text that has been keyed, in blocks of
// five positions after the preamble, and turns the count of faulty blocks into a school grade.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/PracticePreamble.h"

namespace vantrel {

struct CopyCheckResult {
    int32_t errorCount = 0;  // blocks of five with at least one mismatch
    int grade = 5;           // 5 (no faulty block) down to 2 (three or more)
};

// Positions per evaluated block; a last, shorter block is not evaluated.
inline constexpr int kCopyBlockSize = 5;

int GradeForErrors(int32_t errorCount);

// Position i of the copy is compared with position i + 6 of the sent text, for every position
// of the sent text after the preamble; a copy that is too short mismatches, a longer one has its
// surplus ignored. The copy is upper-cased by the Windows-1251 case pairs first; both texts are
// Windows-1251 with CR LF line breaks.
CopyCheckResult CheckCopy(std::string_view sentCp1251, std::string_view copyCp1251);

}  // namespace vantrel
