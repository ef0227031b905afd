// The text helpers: the code page, the line holder and the texts of error codes.
#include <gtest/gtest.h>

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Cp1251.h"
#include "support/MMErrorText.h"
#include "support/StringHolder.h"

namespace vantrel {
namespace {

using namespace cp1251;

std::string Byte(int b) {
    return std::string(1, static_cast<char>(b));
}

TEST(Cp1251Test, EveryByteSurvivesTheRoundTripThroughUtf8) {
    for (int b = 0; b < 256; ++b)  // but 0x98, the one byte without a character
        EXPECT_EQ(FromUtf8(ToUtf8(Byte(b))), b == 0x98 ? "?" : Byte(b)) << b;
    EXPECT_EQ(ToUtf8("\x98"), "\xEF\xBF\xBD");
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

// Latin, Russian and the fifteen other Cyrillic case pairs of the code page; nothing else.
TEST(Cp1251Test, UpperCaseFollowsTheCodePagesCasePairs) {
    const std::string lower = FromUtf8("abcxyzабвэюяёђѓљњќћџўјґєїіѕ");
    const std::string upper = FromUtf8("ABCXYZАБВЭЮЯЁЂЃЉЊЌЋЏЎЈҐЄЇІЅ");
    EXPECT_EQ(ToUpper(lower), upper);
    int changed = 0;
    for (int b = 0; b < 256; ++b)
        changed += ToUpper(static_cast<uint8_t>(b)) != b;
    EXPECT_EQ(changed, 26 + 32 + 15);
    EXPECT_EQ(ToUpper(upper), upper);
    EXPECT_EQ(ToUpper(FromUtf8("µ№!")), FromUtf8("µ№!"));
}

TEST(StringHolderTest, AssignedLinesAreTheHoldersOwnCopy) {
    TStringHolder holder;
    const std::vector<std::string> expected = {"CHAS", " LEADING", "TWO  BLANKS", "CHAS"};
    auto source = std::make_unique<std::vector<std::string>>(expected);
    holder.SetStrings(*source);
    (*source)[0] = "CHANGED";
    source.reset();
    EXPECT_EQ(holder.Strings(), expected);
    holder.SetStrings(holder.Strings());
    EXPECT_EQ(holder.Strings(), expected);
    holder.SetStrings({});
    EXPECT_TRUE(holder.Strings().empty());
}

constexpr std::string_view kFallback = "invalid parameter passed to error translation routine!";

// Only the low sixteen bits of a code count; codes in the gaps between the texts give the
// fallback.
TEST(MMErrorTextTest, KnownCodesGiveTheirTextsAndOthersTheFallback) {
    const std::pair<std::string_view, std::vector<uint32_t>> samples[] = {
        {"no error", {0, 65536}},
        {"device ID out of range", {2, 65536 + 2}},
        {" memory allocation error", {7}},
        {"invalid parameter passed", {11}},
        {"unsupported wave format", {32, 0x12340020}},
        {"still something playing", {33, 65}},
        {"header not prepared", {64}},
        {"request not completed", {97, 166}},
        {"time struct size", {129}},
        {"joystick is unplugged", {167}},
        {"file not found", {257}},
        {"file is unbuffered", {266}},
        {kFallback, {0xFFFFFFFF}}};
    for (const auto& [text, codes] : samples) {
        for (uint32_t code : codes)
            EXPECT_EQ(MMErrorText(code), text) << code;
    }
    const std::pair<uint32_t, uint32_t> gaps[] = {{12, 31},   {36, 63},   {70, 96},    {98, 128},
                                                  {130, 164}, {168, 256}, {267, 65535}};
    for (const auto& [first, last] : gaps) {
        for (uint32_t code = first; code <= last; ++code)
            ASSERT_EQ(MMErrorText(code), kFallback) << code;
    }
}

}  // namespace
}  // namespace vantrel
