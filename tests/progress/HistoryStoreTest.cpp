// The history store on real files in a temporary folder: records survive reopening and a
// crash, a bad file is kept aside and a new history started; statistics and CSV from it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "progress/CheckComparison.h"
#include "progress/CsvExport.h"
#include "progress/HistoryStore.h"
#include "support/Cp1251.h"
#include "tests/support/TempFolder.h"

namespace vantrel::progress {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kNow = 1'796'000'000;  // 2026-11-30 00:53:20 UTC
constexpr int64_t kDay = 24 * 3600;

HistoryEntry Entry(int64_t time, const char* text, const char* copy, int speed = 12) {
    const CheckComparison comparison = CompareCopy(std::string("ABCDEF") + text, copy);
    HistoryEntry entry;
    entry.timeUnix = time;
    entry.settings = {1, speed, 2, 800};
    entry.charactersSent = comparison.sentCount;
    entry.charactersRight = comparison.rightCount;
    entry.blocksWrong = 1;
    entry.grade = 4;
    entry.pairs = comparison.pairs;
    return entry;
}

std::ptrdiff_t FilesIn(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

std::string Notice(HistoryStore& store) {
    return store.TakeNotice().value_or("no notice");
}

class HistoryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    fs::path File() const { return folder_.Path() / "Vantrel" / "history.sqlite"; }
    std::unique_ptr<HistoryStore> Open(fs::path file) {
        return std::make_unique<HistoryStore>(std::move(file), [this] { return now_; });
    }

    testing::TempFolder folder_;
    int64_t now_ = kNow;
};

TEST_F(HistoryStoreTest, RecordsComeBackAfterReopeningWithTheirPeriods) {
    Open(File())->Append(Entry(kNow - 10 * kDay, "55555", "44455"));
    auto store = Open(File());
    ASSERT_TRUE(store->Append(Entry(kNow - kDay, "12345", "1245", 20)));
    EXPECT_FALSE(store->TakeNotice());

    const std::vector<HistoryEntry> all = store->Entries(Period::All, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(std::tuple(all[0].timeUnix, all[1].settings.speed, all[1].settings.pitchHz),
              std::tuple(kNow - 10 * kDay, 20, 800));
    EXPECT_EQ(all[1].pairs, Entry(0, "12345", "1245").pairs);
    EXPECT_EQ(store->Entries(Period::LastSevenDays, false).size(), 1u);

    EXPECT_EQ(ErrorNotation(store->PairTotals(Period::All)), "5→4×3 3→∅×1");
    EXPECT_EQ(ErrorNotation(store->PairTotals(Period::LastCheck)), "3→∅×1");

    // Of 5, the last 4 attempts: the newest check's 1 right, then 3 of the older 5 (3 errors
    // in 5), pro rata 2 errors.
    const auto tallies = store->RecentTallies(4);
    EXPECT_EQ(std::tuple(tallies.at('5').attempts, tallies.at('5').errors, tallies.at('3').errors),
              std::tuple(4, 2, 1));
}

// A writer killed at any moment leaves every record it had finished, each one whole.
TEST_F(HistoryStoreTest, AKilledWriterLeavesEveryFinishedRecordWhole) {
    Open(File())->Entries(Period::All, false);  // creates the file
    int reports[2];
    ASSERT_EQ(::pipe(reports), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(reports[0]);
        HistoryStore store(File(), [] { return kNow; });
        for (;;) {
            store.Append(Entry(kNow, "12345 67890 ABCDE", "12345 6790 ABCQE"));
            (void)!::write(reports[1], "x", 1);
        }
    }
    ::close(reports[1]);
    char byte = 0;
    int finished = 0;
    while (finished < 20 && ::read(reports[0], &byte, 1) == 1) {
        ++finished;
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(reports[0]);

    auto store = Open(File());
    const auto entries = store->Entries(Period::All, true);
    EXPECT_GE(static_cast<int>(entries.size()), finished);
    const HistoryEntry whole = Entry(kNow, "12345 67890 ABCDE", "12345 6790 ABCQE");
    for (const HistoryEntry& entry : entries) {
        EXPECT_TRUE(entry.charactersSent == 15 && entry.pairs == whole.pairs);
    }
    EXPECT_FALSE(store->TakeNotice());
}

TEST_F(HistoryStoreTest, ADamagedFileIsKeptAsideAndANewHistoryStarted) {
    testing::WriteWholeFile(File(), std::string(4096, 'x'));
    auto store = Open(File());
    EXPECT_TRUE(store->Append(Entry(kNow, "12345", "12345")));
    const std::string notice = Notice(*store);
    const fs::path aside = File().parent_path() / "history-2026-11-30-005320.sqlite";
    EXPECT_NE(notice.find("повреждён"), std::string::npos) << notice;
    EXPECT_NE(notice.find(aside.string()), std::string::npos) << notice;
    EXPECT_EQ(testing::ReadWholeFile(aside), std::string(4096, 'x'));
    EXPECT_EQ(Open(File())->Entries(Period::All, false).size(), 1u);
}

TEST_F(HistoryStoreTest, AFileOfANewerProgramIsKeptAside) {
    fs::create_directories(File().parent_path());
    {
        SqliteDatabase db;
        ASSERT_EQ(db.Open(File().string()), SQLITE_OK);
        db.Execute("CREATE TABLE future(x); PRAGMA user_version = 7;");
    }
    auto store = Open(File());
    EXPECT_TRUE(store->Entries(Period::All, false).empty());
    EXPECT_NE(Notice(*store).find("более новой версией"), std::string::npos);
    EXPECT_EQ(FilesIn(File().parent_path()), 2);
    EXPECT_EQ(store->File(), File());
    // Once more on the same second: the second aside copy gets a name of its own.
    store->Reset();
    EXPECT_EQ(FilesIn(File().parent_path()), 3);
    EXPECT_NE(Notice(*store).find("очищена"), std::string::npos);
}

// A folder that cannot be made (its parent is a file; this holds for root too): the session's
// checks stay in memory, and nothing on disk changes.
TEST_F(HistoryStoreTest, AFolderThatCannotBeMadeKeepsTheSessionInMemory) {
    testing::WriteWholeFile(folder_.Path() / "Vantrel", "not a folder");
    auto store = Open(File());
    EXPECT_TRUE(store->Append(Entry(kNow, "12345", "12345")));
    EXPECT_EQ(store->Entries(Period::All, false).size(), 1u);
    EXPECT_NE(Notice(*store).find("не будут сохранены"), std::string::npos);
    EXPECT_TRUE(store->File().empty());
    EXPECT_EQ(testing::ReadWholeFile(folder_.Path() / "Vantrel"), "not a folder");
}

TEST_F(HistoryStoreTest, CsvHasOneRowPerCheckWithItsErrors) {
    auto store = Open(File());
    store->Append(Entry(kNow, "55555 77777 1,", "44455 7777Q .Z"));
    store->Append(Entry(kNow + 60, "12345", "12345"));
    const fs::path csv = folder_.Path() / "out.csv";
    ASSERT_FALSE(ExportCsv(store->Entries(Period::All, true), csv));
    EXPECT_EQ(testing::ReadWholeFile(csv),
              "date_time,text_type,speed,spacing,pitch_hz,characters_sent,characters_right,"
              "characters_wrong,characters_missed,characters_extra,accuracy_percent,blocks_wrong,"
              "grade,errors\r\n"
              "2026-11-30 00:53:20,1,12,2,800,12,6,6,0,0,50.0,1,4,\"5→4×3 ,→Z×1 1→.×1 7→Q×1\"\r\n"
              "2026-11-30 00:54:20,1,12,2,800,5,5,0,0,0,100.0,1,4,\r\n");
    // A folder that is a file: the message, and the file there stays.
    EXPECT_TRUE(ExportCsv({}, csv / "x.csv"));
    EXPECT_EQ(testing::ReadWholeFile(csv).substr(0, 9), "date_time");
}

}  // namespace
}  // namespace vantrel::progress
