#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "trainer/PracticeTextBuilder.h"

namespace vantrel {
namespace {

class TextFileTest : public ::testing::Test {
  protected:
    PracticeTextResult Build(const std::filesystem::path& file) {
        return builder_.Build({TextType::File, file, {}});
    }
    std::string Keyed(const std::string& name, const std::string& bytes) {
        testing::WriteWholeFile(folder_.Path() / name, bytes);
        return Build(folder_.Path() / name).text;
    }

    testing::TempFolder folder_;
    Random random_{1};
    ContactTexts contacts_;
    PracticeTextBuilder builder_{random_, contacts_};
};

TEST_F(TextFileTest, Utf8AndWindows1251FilesKeyTheSameWindows1251Bytes) {
    const std::string utf8 = "Привет, ёж €5 ✓\n";
    const std::string keyed =
        "\xC6\xC6\xC6 = \xCF\xD0\xC8\xC2\xC5\xD2, \xA8\xC6 \x88"
        "5 ?\r\n ";
    EXPECT_EQ(Keyed("utf8.txt", utf8), keyed);
    EXPECT_EQ(Keyed("bom.txt", "\xEF\xBB\xBF" + utf8), keyed);
    EXPECT_EQ(Keyed("cp1251.txt",
                    "\xCF\xF0\xE8\xE2\xE5\xF2, \xB8\xE6 \x88"
                    "5 ?\n"),
              keyed);
    EXPECT_EQ(Keyed("ascii.txt",
                    "\xEF\xBB\xBF"
                    "cq de\n"),
              "\xC6\xC6\xC6 = CQ DE\r\n ");
}

}  // namespace
}  // namespace vantrel
