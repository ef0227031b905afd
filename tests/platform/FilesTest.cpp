// The file layer on real files in a temporary folder. A folder that takes no temporary file is a
// file name too long to have one beside it; a full disk, a limit on the file size.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>

#include "platform/files/KeepAside.h"
#include "platform/files/ReplaceFile.h"
#include "platform/files/UserFolders.h"
#include "tests/support/TempFolder.h"

namespace vantrel::files {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using testing::ReadWholeFile;

class FilesTest : public ::testing::Test {
  protected:
    fs::path In(const std::string& name) const { return folder_.Path() / name; }
    std::ptrdiff_t Files() const {
        return std::distance(fs::directory_iterator(folder_.Path()), {});
    }

    testing::TempFolder folder_;
};

TEST_F(FilesTest, ReplacementShowsWhenCommittedThroughALinkKeepingThePermissions) {
    const fs::path real = In("real.conf"), link = In("link.conf");
    testing::WriteWholeFile(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);
    PendingFile pending;
    ASSERT_FALSE(pending.Begin(link) || pending.Write("ne") || pending.Write("w"));
    EXPECT_EQ(ReadWholeFile(real), "old") << "nothing shows before the commit";
    ASSERT_FALSE(pending.Commit());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), "new");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Files(), 2) << "no temporary file is left";
    // A new file takes the mode asked for, else 0666 less the umask, and its missing folders.
    const mode_t umask = ::umask(0);
    EXPECT_FALSE(ReplaceFile(In("a/b/new"), "x", {.makeFolders = true, .newFileMode = 0640}));
    EXPECT_FALSE(ReplaceFile(In("plain"), "y"));
    ::umask(umask);
    EXPECT_EQ(std::tuple(fs::status(In("a/b/new")).permissions(),
                         fs::status(In("plain")).permissions(), fs::status(In("a")).permissions()),
              std::tuple(fs::perms(0640), fs::perms(0666), fs::perms(0700)));
}

TEST_F(FilesTest, AppendingFallsBackToTheFileInPlaceAndCutsAFailedAppendBack) {
    const fs::path file = In(std::string(250, 'n'));
    testing::WriteWholeFile(file, "old\n");
    EXPECT_EQ(AppendToFile(file, "old\n", "new\n"), std::nullopt);
    {
        testing::FileSizeLimit full(10);
        EXPECT_EQ(AppendToFile(file, "old\nnew\n", "0123456789"),
                  (FileError{Operation::Write, file, {ENAMETOOLONG, std::generic_category()}}));
    }
    EXPECT_EQ(ReadWholeFile(file), "old\nnew\n");
    EXPECT_EQ(Files(), 1);
}

TEST_F(FilesTest, FilesAreKeptAsideUnderTheFirstFreeDatedName) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const system_clock::time_point when = sys_days{2026y / 12 / 7} + 3h + 18min + 5s;
    // A link is followed, and the file stays for its replacement.
    testing::WriteWholeFile(In("real.conf"), "damaged");
    fs::create_symlink(In("real.conf"), In("link.conf"));
    fs::path aside;
    for (const char* name :
         {"real.conf.damaged-2026-12-07-031805", "real.conf.damaged-2026-12-07-031805-1"}) {
        ASSERT_FALSE(
            KeepAside(In("link.conf"), AsideShape::Damaged, AsideMethod::Link, when, aside));
        EXPECT_EQ(aside.filename(), name);
        EXPECT_EQ(ReadWholeFile(aside) + ReadWholeFile(In("link.conf")), "damageddamaged");
    }
    // A moved file takes its journal along, past a name whose journal is taken.
    testing::WriteWholeFile(In("history.sqlite"), "db");
    testing::WriteWholeFile(In("history.sqlite-journal"), "journal");
    testing::WriteWholeFile(In("history-2026-12-07-031805.sqlite-journal"), "another");
    ASSERT_FALSE(KeepAside(In("history.sqlite"), AsideShape::Dated, AsideMethod::Move, when, aside,
                           "-journal"));
    EXPECT_EQ(aside, In("history-2026-12-07-031805-2.sqlite"));
    EXPECT_EQ(ReadWholeFile(aside) + ReadWholeFile(aside.native() + "-journal"), "dbjournal");
    EXPECT_TRUE(KeepAside(In("history.sqlite"), AsideShape::Dated, AsideMethod::Move, when, aside));
}

TEST_F(FilesTest, UserFoldersFollowAbsoluteXdgVariablesElseTheHomeFolder) {
    const fs::path account = HomeFolder([](const char*) -> const char* { return nullptr; });
    const struct {
        const char *home, *config, *data;
        fs::path wantConfig, wantData;
    } rows[] = {
        {"/h", nullptr, "/d", "/h/.config", "/d"},
        {"/h", "/c", "d", "/c", "/h/.local/share"},
        {"h", "c", "", account.empty() ? "" : account / ".config",
         account.empty() ? "" : account / ".local/share"},
    };
    for (const auto& row : rows) {
        const Environment environment = [&row](std::string_view name) {
            return name == "HOME" ? row.home : name == "XDG_CONFIG_HOME" ? row.config : row.data;
        };
        EXPECT_EQ(ConfigHome(environment), row.wantConfig) << row.home;
        EXPECT_EQ(DataHome(environment), row.wantData) << row.home;
    }
}

}  // namespace
}  // namespace vantrel::files
