#include "support/SystemErrorText.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

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
