// Every practice text begins with the preamble "ЖЖЖ = " (Windows-1251), which the learner's
// copy leaves out: the copy check and the comparison start after it.
#pragma once

#include <string_view>

namespace vantrel {

inline constexpr std::string_view kPracticePreamble = "\xC6\xC6\xC6 = ";

}  // namespace vantrel
