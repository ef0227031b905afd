#include "support/MMErrorText.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

#include "support/SystemErrorText.h"

namespace vantrel {
namespace {

constexpr std::string_view kFallback = "invalid parameter passed to error translation routine!";

// Only the low sixteen bits of a code count.
TEST(MMErrorTextTest, KnownCodesGiveTheirTexts) {
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
        for (uint32_t code : codes) {
            EXPECT_EQ(MMErrorText(code), text) << code;
        }
    }
}

TEST(MMErrorTextTest, CodesWithoutATextGiveTheFallback) {
    const std::pair<uint32_t, uint32_t> gaps[] = {{12, 31},   {36, 63},   {70, 96},    {98, 128},
                                                  {130, 164}, {168, 256}, {267, 65535}};
    for (const auto& [first, last] : gaps) {
        for (uint32_t code = first; code <= last; ++code) {
            ASSERT_EQ(MMErrorText(code), kFallback) << code;
        }
    }
}

// Not found, denied and a folder are met by the file and log tests.
TEST(SystemErrorTextTest, FullAndReadOnlyDisksAndPipesReadInRussian) {
    auto text = [](int code) { return SystemErrorText({code, std::system_category()}); };
    EXPECT_EQ(text(ENOSPC), "на устройстве не осталось свободного места");
    EXPECT_EQ(text(EROFS), "файловая система доступна только для чтения");
    EXPECT_EQ(FileErrorMessage(
                  {files::Operation::Write, "/x/log.txt", {EDQUOT, std::generic_category()}}),
              "Не удалось записать файл «/x/log.txt»: превышена дисковая квота");
    EXPECT_EQ(FileErrorMessage({files::Operation::Open, "/x/fifo",
                                files::MakeErrorCode(files::FileProblem::NotARegularFile)}),
              "Не удалось открыть файл «/x/fifo»: это не обычный файл");
}

}  // namespace
}  // namespace vantrel
