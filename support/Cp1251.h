// Windows-1251 text: conversion to and from UTF-8 and upper-casing by the code page's case
// pairs. Practice texts, compared copies and the result log are Windows-1251 byte strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::cp1251 {

// UTF-8 to Windows-1251; a character without a Windows-1251 form becomes "?".
// Invalid UTF-8 sequences also become "?".
std::string FromUtf8(std::string_view utf8);
// The bytes of a text file as Windows-1251. A UTF-8 byte-order mark is skipped; a file that is
// well-formed UTF-8 with characters beyond ASCII (what Linux editors write) is converted from
// UTF-8; anything else is taken to be Windows-1251 already.
std::string FromTextFile(std::string_view bytes);
// Windows-1251 to UTF-8 (the one undefined byte, 0x98, becomes U+FFFD).
std::string ToUtf8(std::string_view cp1251);

uint8_t ToUpper(uint8_t c);
std::string ToUpper(std::string_view cp1251);

}  // namespace vantrel::cp1251
