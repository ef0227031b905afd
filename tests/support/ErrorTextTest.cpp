#include "support/MMErrorText.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

#include "support/SystemErrorText.h"

namespace vantrel {
namespace {

constexpr std::string_view kFallback = "invalid parameter passed to error translation routine!";

// Only the low sixteen bits of a code count.
TEST(MMErrorTextTest, KnownCodesGiveTheirTexts) {
    const std::pair<uint32_t, std::string_view> samples[] = {
        {0, "no error"},
        {2, "device ID out of range"},
        {7, " memory allocation error"},
        {11, "invalid parameter passed"},
        {32, "unsupported wave format"},
        {33, "still something playing"},
        {65, "still something playing"},
        {64, "header not prepared"},
        {97, "request not completed"},
        {166, "request not completed"},
        {129, "time struct size"},
        {167, "joystick is unplugged"},
        {257, "file not found"},
        {266, "file is unbuffered"},
        {65536, "no error"},
        {65536 + 2, "device ID out of range"},
        {0x12340020, "unsupported wave format"},
        {0xFFFFFFFF, kFallback},
    };
    for (const auto& [code, text] : samples) {
        EXPECT_EQ(MMErrorText(code), text) << code;
    }
}

TEST(MMErrorTextTest, CodesWithoutATextGiveTheFallback) {
    const std::pair<uint32_t, uint32_t> gaps[] = {
        {12, 31}, {36, 63}, {70, 96}, {98, 128}, {130, 164}, {168, 256}, {267, 65535},
    };
    for (const auto& [first, last] : gaps) {
        for (uint32_t code = first; code <= last; ++code) {
            ASSERT_EQ(MMErrorText(code), kFallback) << code;
        }
    }
}

}  // namespace
}  // namespace vantrel
