#include "support/SystemErrorText.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Not found, denied, a folder and a pipe are met by the file and log tests.
TEST(SystemErrorTextTest, FullAndReadOnlyDisksReadInRussian) {
    auto text = [](int code) { return SystemErrorText({code, std::system_category()}); };
    EXPECT_EQ(text(ENOSPC), "на устройстве не осталось свободного места");
    EXPECT_EQ(text(EROFS), "файловая система доступна только для чтения");
    EXPECT_EQ(FileErrorMessage(FileAction::Write, "/x/log.txt", {EDQUOT, std::generic_category()}),
              "Не удалось записать файл «/x/log.txt»: превышена дисковая квота");
}

}  // namespace
}  // namespace vantrel
