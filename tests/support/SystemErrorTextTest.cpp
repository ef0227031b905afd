#include "support/SystemErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace vantrel {
namespace {

std::string Text(int code) {
    return SystemErrorText(std::error_code(code, std::generic_category()));
}

TEST(SystemErrorTextTest, CommonFileErrorsReadInRussian) {
    EXPECT_EQ(Text(ENOENT), "нет такого файла или каталога");
    EXPECT_EQ(Text(EACCES), "отказано в доступе");
    EXPECT_EQ(Text(EISDIR), "это каталог");
    EXPECT_EQ(Text(ENOSPC), "на устройстве не осталось свободного места");
    EXPECT_EQ(Text(EROFS), "файловая система доступна только для чтения");
    EXPECT_EQ(SystemErrorText(MakeErrorCode(FileProblem::NotARegularFile)), "это не обычный файл");
    EXPECT_EQ(FileErrorMessage(FileAction::Write, "/x/log.txt",
                               std::error_code(EDQUOT, std::system_category())),
              "Не удалось записать файл «/x/log.txt»: превышена дисковая квота");
    EXPECT_EQ(
        FileErrorMessage(FileAction::Read, "a", std::error_code(EIO, std::generic_category())),
        "Не удалось прочитать файл «a»: ошибка ввода/вывода");
}

}  // namespace
}  // namespace vantrel
