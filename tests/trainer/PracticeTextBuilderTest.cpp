#include "trainer/PracticeTextBuilder.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

namespace vantrel {
namespace {

using Status = PracticeTextResult::Status;

class PracticeTextBuilderTest : public ::testing::Test {
  protected:
    std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) {
        testing::WriteWholeFile(dir_.Path() / name, bytes);
        return dir_.Path() / name;
    }

    PracticeTextResult Build(int textType, std::filesystem::path file = {},
                             std::string keyboard = {}) {
        return builder_.Build(
            {static_cast<TextType>(textType), std::move(file), std::move(keyboard)});
    }

    testing::TempFolder dir_;
    Random random_{12345};
    ContactTexts contacts_;
    PracticeTextBuilder builder_{random_, contacts_};
};

std::string Framed(const std::string& text) {
    return "\xC6\xC6\xC6 = " + text + " ";
}

TEST_F(PracticeTextBuilderTest, GroupTextsHoldOneHundredFiftyGroupsOfFive) {
    const std::pair<int, std::pair<uint8_t, uint8_t>> kinds[] = {
        {0, {'0', '9'}}, {1, {0xC0, 0xDF}}, {7, {'A', 'Z'}}};
    for (const auto& [type, range] : kinds) {
        const PracticeTextResult result = Build(type);
        ASSERT_EQ(result.status, Status::Built);
        const std::string& t = result.text;
        ASSERT_EQ(t.size(), 907u);
        EXPECT_EQ(t.substr(0, 6), "\xC6\xC6\xC6 = ");
        std::array<int, 256> seen{};
        for (std::size_t pos = 7; pos <= 907; ++pos) {  // 1-based positions
            const auto c = static_cast<uint8_t>(t[pos - 1]);
            if ((pos - 6) % 6 == 0 || pos == 907) {
                ASSERT_EQ(c, ' ') << pos;
            } else {
                ASSERT_TRUE(c >= range.first && c <= range.second) << pos << " " << int(c);
                ++seen[c];
            }
        }
        for (int c = range.first; c <= range.second; ++c) {
            EXPECT_GT(seen[c], 0) << c;  // 750 draws over at most 32 values
        }
    }
}

TEST_F(PracticeTextBuilderTest, KeyboardTextIsUpperCasedAndClosedByABlank) {
    EXPECT_EQ(Build(3, {}, "cq de \xF0\xE0\xE4\xE8\xEE \xB8\xB3\r\nk").text,
              Framed("CQ DE \xD0\xC0\xC4\xC8\xCE \xA8\xB2\r\nK "));
    EXPECT_EQ(Build(3).text, "\xC6\xC6\xC6 =   ");  // preamble and two blanks
}

TEST_F(PracticeTextBuilderTest, FileLinesAreUpperCasedEachEndingInCrLf) {
    const auto file = WriteFile("mixed.txt", "abc\r\n\xEF\xF0\xE8\xE2\xE5\xF2\nx\ry\r\n\nlast");
    const PracticeTextResult result = Build(2, file);
    ASSERT_EQ(result.status, Status::Built);
    EXPECT_EQ(result.text, Framed("ABC\r\n\xCF\xD0\xC8\xC2\xC5\xD2\r\nX\r\nY\r\n\r\nLAST\r\n"));

    EXPECT_EQ(Build(2, WriteFile("one.txt", "q\r\n")).text, Framed("Q\r\n"));
    EXPECT_EQ(Build(2, WriteFile("blank.txt", "\n")).text, Framed("\r\n"));
    EXPECT_EQ(Build(2, WriteFile("cr.txt", "a\r")).text, Framed("A\r\n"));
}

TEST_F(PracticeTextBuilderTest, EmptyFileAndUnknownTypeBuildNothing) {
    for (const PracticeTextResult& result :
         {Build(2, WriteFile("empty.txt", "")), Build(-1), Build(8)}) {
        EXPECT_EQ(result.status, Status::Built);
        EXPECT_TRUE(result.text.empty());
        EXPECT_FALSE(result.fileError);
    }
}

TEST_F(PracticeTextBuilderTest, FileProblemsAreReportedNotBuilt) {
    EXPECT_EQ(Build(2).status, Status::NoFileChosen);

    const PracticeTextResult missing = Build(2, dir_.Path() / "gone.txt");
    EXPECT_EQ(missing.status, Status::FileError);
    EXPECT_TRUE(missing.text.empty());
    EXPECT_EQ(missing.fileError,
              (files::FileError{files::Operation::Open, dir_.Path() / "gone.txt",
                                std::make_error_code(std::errc::no_such_file_or_directory)}));

    const PracticeTextResult directory = Build(2, dir_.Path());
    EXPECT_EQ(directory.status, Status::FileError);
    EXPECT_EQ(directory.fileError->code, std::errc::is_a_directory);
}

TEST_F(PracticeTextBuilderTest, Utf8AndWindows1251FilesKeyTheSameWindows1251Bytes) {
    const auto keyed = [this](const std::string& bytes) {
        return Build(2, WriteFile("text.txt", bytes)).text;
    };
    const std::string bom = "\xEF\xBB\xBF";
    const std::string utf8 = "Привет, ёж €5 ✓\n";
    const std::string cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2, \xB8\xE6 \x88\x35 ?\n";
    for (const std::string& bytes : {utf8, bom + utf8, cp1251}) {
        EXPECT_EQ(keyed(bytes), Framed("\xCF\xD0\xC8\xC2\xC5\xD2, \xA8\xC6 \x88\x35 ?\r\n"));
    }
    EXPECT_EQ(keyed(bom + "cq de\n"), Framed("CQ DE\r\n"));
}

TEST_F(PracticeTextBuilderTest, ContactTextIsFramedLikeEveryOther) {
    const std::string t = Build(4).text;
    ASSERT_GT(t.size(), 7u);
    EXPECT_TRUE(t.starts_with("\xC6\xC6\xC6 = "));
    EXPECT_TRUE(t.ends_with("+ * ") || t.ends_with("+ # ")) << t;
}

}  // namespace
}  // namespace vantrel
