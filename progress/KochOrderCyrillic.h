// The Koch order of the Russian Morse alphabet: the Latin order read through the shared
// patterns (each Latin letter replaced by the Cyrillic letter keyed alike, digits and signs
// kept), then the letters that only the Russian alphabet has: Ч Ш Э Ю Я.
#pragma once

#include <string_view>

namespace vantrel::progress {

// 46 characters, Windows-1251.
std::string_view KochOrderCyrillic();

}  // namespace vantrel::progress
