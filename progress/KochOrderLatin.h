// The Koch order of the Latin alphabet with digits and signs: lesson N teaches its first N + 1
// characters.
#pragma once

#include <string_view>

namespace vantrel::progress {

// 41 characters, Windows-1251 (plain ASCII here).
std::string_view KochOrderLatin();

}  // namespace vantrel::progress
