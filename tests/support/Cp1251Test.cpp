#include "support/Cp1251.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>

namespace vantrel {
namespace {

using cp1251::FromUtf8;
using cp1251::ToUpper;
using cp1251::ToUtf8;

std::string Byte(int b) {
    return std::string(1, static_cast<char>(b));
}

// The code point of a one-character UTF-8 string.
char32_t Decode(const std::string& s) {
    const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<uint8_t>(s[i])); };
    switch (s.size()) {
        case 1:
            return b(0);
        case 2:
            return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3:
            return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        default:
            ADD_FAILURE() << "unexpected length " << s.size();
            return 0;
    }
}

TEST(Cp1251Test, EveryByteSurvivesTheRoundTripThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string utf8 = ToUtf8(Byte(b));
        if (b == 0x98) {  // the one byte without a character
            EXPECT_EQ(Decode(utf8), U'\uFFFD');
            EXPECT_EQ(FromUtf8(utf8), "?");
        } else {
            EXPECT_EQ(FromUtf8(utf8), Byte(b)) << b;
        }
    }
    EXPECT_EQ(ToUtf8("\xC0\xDF\xE0\xFF"), "АЯая");
    EXPECT_EQ(ToUtf8("\xA8\xB8\xB9\x88\xA5\xB4\x96"), "Ёё№€Ґґ–");
    EXPECT_EQ(FromUtf8("Привет, world!"), "\xCF\xF0\xE8\xE2\xE5\xF2, world!");
}

TEST(Cp1251Test, UnmappableAndIllFormedInputBecomesQuestionMarks) {
    EXPECT_EQ(FromUtf8("日本"), "??");
    EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80"), "?");  // U+1F600
    EXPECT_EQ(FromUtf8("\xEF\xBF\xBD"), "?");      // U+FFFD is not byte 0x98
    EXPECT_EQ(FromUtf8("a\x80z"), "a?z");          // stray continuation byte
    EXPECT_EQ(FromUtf8("a\xD0"), "a?");            // truncated at the end
    EXPECT_EQ(FromUtf8("\xC0\xAF"), "??");         // overlong lead, then its continuation
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), "?");      // surrogate
    EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), "?");  // beyond U+10FFFF
}

// Upper-casing agrees with the C library's Unicode case mapping wherever the capital exists
// in the code page, and leaves every other byte alone.
TEST(Cp1251Test, UpperCaseFollowsTheCodePagesCasePairs) {
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    int changed = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = Decode(ToUtf8(Byte(b)));
        const auto upper = static_cast<char32_t>(std::towupper(static_cast<wint_t>(cp)));
        std::string expected = Byte(b);
        if (upper != cp) {
            std::string utf8;
            if (upper < 0x80) {
                utf8 = Byte(static_cast<int>(upper));
            } else if (upper < 0x800) {
                utf8 = Byte(0xC0 | (upper >> 6)) + Byte(0x80 | (upper & 0x3F));
            } else {
                utf8 = Byte(0xE0 | (upper >> 12)) + Byte(0x80 | ((upper >> 6) & 0x3F)) +
                       Byte(0x80 | (upper & 0x3F));
            }
            if (FromUtf8(utf8) != "?") {
                expected = FromUtf8(utf8);
            }
        }
        EXPECT_EQ(Byte(ToUpper(static_cast<uint8_t>(b))), expected) << b;
        changed += ToUpper(static_cast<uint8_t>(b)) != b;
    }
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ(changed, 26 + 32 + 15);
    EXPECT_EQ(ToUpper('\xB5'), 0xB5);  // µ has no capital in the code page
    EXPECT_EQ(ToUpper("z\xFF\xB8\xB4!"), "Z\xDF\xA8\xA5!");
}

}  // namespace
}  // namespace vantrel
