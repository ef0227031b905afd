#include "trainer/ResultLog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/Cp1251.h"
#include "tests/support/TempFolder.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;

// Runs each test in a fresh working folder.
class ResultLogTest : public ::testing::Test {
  protected:
    fs::path Log() const { return folder_.Path() / "log.txt"; }

    testing::WorkingFolder folder_;
    ResultLog log_{[this] { return now_; }};
    TimeOfDay now_{9, 5, 7};
};

const std::string kHyphens(40, '-');

TEST_F(ResultLogTest, FirstCheckStartsTheLogWithOneRecord) {
    ASSERT_FALSE(log_.Append({12, 1, 4}).has_value());
    EXPECT_EQ(ReadWholeFile(Log()), cp1251::FromUtf8(kHyphens +
                                                     "\r\n09:05:07\r\nСкорость приема: 12\r\n"
                                                     "Количество ошибок:1 Оценка: 4\r\n" +
                                                     kHyphens + "\r\n"));
    EXPECT_EQ(fs::status(Log()).permissions(), fs::perms(0644));
}

TEST_F(ResultLogTest, RecordsAreAppendedBehindWhatIsThere) {
    testing::WriteWholeFile(Log(), "older notes without a line end");
    ASSERT_FALSE(log_.Append({12, 0, 5}).has_value());
    now_ = {23, 59, 58};
    ASSERT_FALSE(log_.Append({30, 3, 2}).has_value());

    const std::string text = cp1251::ToUtf8(ReadWholeFile(Log()));
    EXPECT_EQ(text, "older notes without a line end\r\n" + kHyphens +
                        "\r\n09:05:07\r\nСкорость приема: 12\r\nКоличество ошибок:0 Оценка: 5\r\n" +
                        kHyphens + "\r\n" + kHyphens +
                        "\r\n23:59:58\r\nСкорость приема: 30\r\nКоличество ошибок:3 Оценка: 2\r\n" +
                        kHyphens + "\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.Path()), {}), 1);
}

TEST_F(ResultLogTest, LogThatCannotBeReadIsReportedAndLeftAlone) {
    fs::create_directory("log.txt");
    testing::WriteWholeFile(Log() / "inside", "kept");
    const auto error = log_.Append({12, 0, 5});
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, (files::FileError{files::Operation::Open, fs::current_path() / "log.txt",
                                        std::make_error_code(std::errc::is_a_directory)}));
    EXPECT_EQ(ReadWholeFile(Log() / "inside"), "kept");
}

TEST_F(ResultLogTest, LogThatCannotBeWrittenIsReportedAndKept) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only files";
    }
    // A read-only log is not replaced, although the folder would allow it.
    testing::WriteWholeFile(Log(), "first record\r\n");
    fs::permissions("log.txt", fs::perms::owner_read);
    const auto error = log_.Append({12, 0, 5});
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, (files::FileError{files::Operation::Write, fs::current_path() / "log.txt",
                                        std::make_error_code(std::errc::permission_denied)}));
    EXPECT_EQ(ReadWholeFile(Log()), "first record\r\n");
}

}  // namespace
}  // namespace vantrel
