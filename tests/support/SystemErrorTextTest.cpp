#include "support/SystemErrorText.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Not found, denied and a folder are met by the file and log tests. English is the C library's
// whatever the locale.
TEST(SystemErrorTextTest, FullAndReadOnlyDisksAndPipesReadInEachLanguage) {
    const std::error_code pipe = files::MakeErrorCode(files::FileProblem::NotARegularFile);
    for (const auto& [error, russian, english] :
         {std::tuple{std::error_code(ENOSPC, std::system_category()),
                     "на устройстве не осталось свободного места", "no space left on device"},
          {std::error_code(EROFS, std::generic_category()),
           "файловая система доступна только для чтения", "read-only file system"},
          {pipe, "это не обычный файл", "not a regular file"}}) {
        EXPECT_EQ(SystemErrorText(error), russian);
        EXPECT_EQ(SystemErrorText(error, Language::English), english);
    }
}

}  // namespace
}  // namespace vantrel
