// The templates and word lists of the contact generator, compiled in, and the string holders
// that carry them. Lines are Windows-1251 (here all ASCII); a template marks its fields with a
// backslash and a capital letter.
#pragma once

#include <span>
#include <string_view>

#include "support/StringHolder.h"

namespace vantrel {

namespace contact_data {

std::span<const std::string_view> QSOs();      // 8 message templates
std::span<const std::string_view> Prefixes();  // 100 lines: prefix in columns 1-5, places
std::span<const std::string_view> Antennas();  // 25
std::span<const std::string_view> Rigs();      // 38
std::span<const std::string_view> Names();     // 32
std::span<const std::string_view> Weather();   // 21
std::span<const std::string_view> Chat();      // 32 remark lines

}  // namespace contact_data

// The seven string holders of the main window. Constructed holding the compiled-in lists.
struct ContactTexts {
    ContactTexts();

    TStringHolder QSOs;
    TStringHolder Prefixes;
    TStringHolder Antennas;
    TStringHolder Rigs;
    TStringHolder Names;
    TStringHolder Weather;
    TStringHolder Chat;
};

}  // namespace vantrel
