// The history store on real files in a temporary folder: records survive reopening and a
// crash, a bad file is kept aside and a new history started, an older file is upgraded;
// statistics and CSV from it, the recognition drills' answers and sprint runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
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

HistoryEntry Entry(int64_t time, const char* text, const char* copy, int speed = 12,
                   std::optional<CheckConditions> conditions = std::nullopt) {
    const CheckComparison comparison = CompareCopy(std::string("ABCDEF") + text, copy);
    HistoryEntry entry;
    entry.timeUnix = time;
    entry.settings = {1, speed, 2, 800};
    entry.charactersSent = comparison.sentCount;
    entry.charactersRight = comparison.rightCount;
    entry.blocksWrong = 1;
    entry.grade = 4;
    entry.pairs = comparison.pairs;
    entry.conditions = conditions;
    return entry;
}

std::ptrdiff_t FilesIn(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

std::string Cp(const char* utf8) {
    return cp1251::FromUtf8(utf8);
}

// The events the store noted, with " in memory" where the session goes on in memory only.
std::string Notice(HistoryStore& store) {
    const char* const kEvents[] = {"folder",     "unopenable", "damaged", "newer", "reset",
                                   "unreadable", "check",      "drill",   "sprint"};
    std::string events;
    for (const HistoryNotice& notice : store.TakeNotices()) {
        events += (events.empty() ? "" : "|") + std::string(kEvents[int(notice.event)]) +
                  (notice.sessionOnly ? " in memory" : "");
    }
    return events.empty() ? "no notice" : events;
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

// Records survive reopening. Each period at its edges, the checks in time order with their pairs
// and their totals: the last check is the last recorded (here older than the others); the last
// seven days begin 7 x 24 hours before the clock's now, read anew each time.
TEST_F(HistoryStoreTest, RecordsComeBackAfterReopeningWithinTheBoundariesOfEachPeriod) {
    Open(File())->Append(Entry(kNow - 7 * kDay - 1, "A", "A"));
    auto store = Open(File());
    for (const auto& [time, sent, copied] :
         {std::tuple(kNow - 7 * kDay, "B", ""), std::tuple(kNow, "CCCCC", "DDDCC"),
          std::tuple(kNow - 8 * kDay, "EEEC", "EEEC")}) {
        ASSERT_TRUE(store->Append(Entry(time, sent, copied)));
    }
    const std::tuple<Period, int64_t, std::string> cases[] = {
        {Period::LastCheck, 0, "4: CC1 EE3 / CC1 EE3"},
        {Period::LastSevenDays, 0, "2: B_1 3: CC2 CD3 / B_1 CC2 CD3"},
        {Period::LastSevenDays, 1, "3: CC2 CD3 / CC2 CD3"},
        {Period::All, 0, "4: CC1 EE3 1: AA1 2: B_1 3: CC2 CD3 / AA1 B_1 CC3 CD3 EE3"},
    };
    const auto text = [](const std::vector<PairCount>& pairs) {
        std::string s;
        for (const PairCount& p : pairs) {
            s += std::string{' ', char(p.sent), char(p.copied ? p.copied : '_')} +
                 std::to_string(p.count);
        }
        return s;
    };
    for (const auto& [period, shift, expected] : cases) {
        now_ = kNow + shift;
        std::string got;
        for (const HistoryEntry& entry : store->Entries(period, true)) {
            got += std::to_string(entry.id) + ":" + text(entry.pairs) + " ";
        }
        EXPECT_EQ(got + "/" + text(store->PairTotals(period)), expected) << shift;
    }
    // Of C, the last 4 attempts: the newest check's 1 right, then 3 of the older 5 (3 errors in
    // 5), pro rata 2 errors.
    const auto tallies = store->RecentTallies(4);
    EXPECT_EQ(std::tuple(tallies.at('C').attempts, tallies.at('C').errors, tallies.at('B').errors),
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
    EXPECT_TRUE(store->TakeNotices().empty());
}

TEST_F(HistoryStoreTest, ADamagedFileIsKeptAsideAndANewHistoryStarted) {
    testing::WriteWholeFile(File(), std::string(4096, 'x'));
    auto store = Open(File());
    EXPECT_TRUE(store->Append(Entry(kNow, "12345", "12345")));
    const std::vector<HistoryNotice> notices = store->TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(
        std::tuple(notices[0].event, notices[0].file, notices[0].aside, notices[0].sessionOnly),
        std::tuple(HistoryNotice::Event::Damaged, File(),
                   File().parent_path() / "history-2026-11-30-005320.sqlite", false));
    EXPECT_EQ(Open(File())->Entries(Period::All, false).size(), 1u);
}

TEST_F(HistoryStoreTest, AFileOfANewerProgramOrOfNoVersionIsKeptAside) {
    for (const auto& [version, problem] : {std::pair(7, "newer"), std::pair(-2, "damaged")}) {
        fs::remove_all(File().parent_path());
        fs::create_directories(File().parent_path());
        {
            SqliteDatabase db;
            ASSERT_EQ(db.Open(File().string()), SQLITE_OK);
            db.Execute("CREATE TABLE checks(x); PRAGMA user_version = " + std::to_string(version));
        }
        auto store = Open(File());
        EXPECT_TRUE(store->Entries(Period::All, false).empty());
        EXPECT_EQ(Notice(*store), problem) << version;
        EXPECT_EQ(FilesIn(File().parent_path()), 2);
        EXPECT_EQ(store->File(), File());
        // Once more on the same second: the second aside copy gets a name of its own.
        store->Reset();
        EXPECT_EQ(FilesIn(File().parent_path()), 3);
        EXPECT_EQ(Notice(*store), "reset");
    }
}

// A folder that cannot be made (its parent is a file; this holds for root too): the session's
// checks stay in memory, and nothing on disk changes.
TEST_F(HistoryStoreTest, AFolderThatCannotBeMadeKeepsTheSessionInMemory) {
    testing::WriteWholeFile(folder_.Path() / "Vantrel", "not a folder");
    auto store = Open(File());
    EXPECT_TRUE(store->Append(Entry(kNow, "12345", "12345")));
    EXPECT_EQ(store->Entries(Period::All, false).size(), 1u);
    EXPECT_EQ(Notice(*store), "folder in memory");
    EXPECT_TRUE(store->File().empty());
    EXPECT_EQ(testing::ReadWholeFile(folder_.Path() / "Vantrel"), "not a folder");
}

TEST_F(HistoryStoreTest, CsvHasOneRowPerCheckWithItsErrors) {
    auto store = Open(File());
    store->Append(Entry(kNow, "55555 77777 1,", "44455 7777Q .Z"));
    store->Append(Entry(kNow + 60, "12345", "12345", 12, CheckConditions{3, -5, 2, 10, 4, 250}));
    const fs::path csv = folder_.Path() / "out.csv";
    ASSERT_FALSE(ExportCsv(store->Entries(Period::All, true), csv));
    EXPECT_EQ(testing::ReadWholeFile(csv),
              "date_time,text_type,speed,spacing,pitch_hz,characters_sent,characters_right,"
              "characters_wrong,characters_missed,characters_extra,accuracy_percent,blocks_wrong,"
              "grade,errors,band_profile,band_snr_db,band_fading,band_static_percent,"
              "band_stations,band_bandwidth_hz\r\n"
              "2026-11-30 00:53:20,1,12,2,800,12,6,6,0,0,50.0,1,4,\"5→4×3 ,→Z×1 1→.×1 7→Q×1\""
              ",,,,,,\r\n"
              "2026-11-30 00:54:20,1,12,2,800,5,5,0,0,0,100.0,1,4,,3,-5,2,10,4,250\r\n");
    // A folder that is a file: the message, and the file there stays.
    EXPECT_TRUE(ExportCsv({}, csv / "x.csv"));
    EXPECT_EQ(testing::ReadWholeFile(csv).substr(0, 9), "date_time");
}

// Every step up to now: the records before them come back as they were, copied without the band
// conditions; new ones keep theirs, and each kind can be asked for alone.
TEST_F(HistoryStoreTest, AFileOfVersionOneIsUpgradedKeepingEveryRecord) {
    fs::create_directories(File().parent_path());
    {
        SqliteDatabase db;
        ASSERT_EQ(db.Open(File().string()), SQLITE_OK);
        ASSERT_EQ(
            db.Execute(
                "CREATE TABLE checks(id INTEGER PRIMARY KEY, checked_at INTEGER NOT NULL,"
                " text_type INTEGER NOT NULL, speed INTEGER NOT NULL, spacing INTEGER NOT NULL,"
                " pitch_hz INTEGER NOT NULL, characters_sent INTEGER NOT NULL,"
                " characters_right INTEGER NOT NULL, blocks_wrong INTEGER NOT NULL,"
                " grade INTEGER NOT NULL); CREATE INDEX checks_by_time ON checks(checked_at);"
                "CREATE TABLE check_characters(check_id INTEGER NOT NULL REFERENCES checks(id)"
                " ON DELETE CASCADE, sent INTEGER NOT NULL, copied INTEGER NOT NULL,"
                " count INTEGER NOT NULL, PRIMARY KEY(check_id, sent, copied)) WITHOUT ROWID;"
                "INSERT INTO checks VALUES(7, 1796000000, 1, 12, 2, 800, 5, 4, 1, 4);"
                "INSERT INTO check_characters VALUES(7, 53, 53, 4), (7, 53, 52, 1);"
                "PRAGMA user_version = 1;"),
            SQLITE_OK);
    }
    auto store = Open(File());
    const std::vector<HistoryEntry> entries = store->Entries(Period::LastCheck, true);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(std::tuple(entries[0].id, entries[0].timeUnix, entries[0].settings.pitchHz,
                         entries[0].charactersRight, entries[0].grade),
              std::tuple(7, kNow, 800, 4, 4));
    EXPECT_EQ(entries[0].pairs, (std::vector<PairCount>{{'5', '4', 1}, {'5', '5', 4}}));
    EXPECT_FALSE(entries[0].conditions);
    const CheckConditions contest{3, 15, 2, 10, 5, 500};
    ASSERT_TRUE(store->Append(Entry(kNow + 1, "33", "38", 12, contest)));
    for (const auto& [under, checks, pairs] : {std::tuple{UnderConditions::Under, "8", "3→8×1"},
                                               {UnderConditions::Without, "7", "5→4×1"},
                                               {UnderConditions::Any, "78", "3→8×1 5→4×1"}}) {
        std::string ids;
        for (const HistoryEntry& entry : Open(File())->Entries(Period::All, true, under)) {
            ids += std::to_string(entry.id);
            EXPECT_EQ(entry.conditions, entry.id == 8 ? std::optional(contest) : std::nullopt);
            EXPECT_EQ(entry.pairs.size(), 2u);  // its own pairs, none of the others'
        }
        EXPECT_EQ(ids, checks);
        EXPECT_EQ(ErrorNotation(store->PairTotals(Period::All, under)), pairs);
    }
    EXPECT_TRUE(store->Entries(Period::LastCheck, false, UnderConditions::Without).empty());
    EXPECT_TRUE(store->AppendDrillAnswers({{kNow, kNow, 'K', 'K', true, 350, 30}}));
    EXPECT_EQ(Open(File())->DrillAnswers(Period::All).size(), 1u);
    EXPECT_EQ(std::tuple(FilesIn(File().parent_path()), Notice(*store)),
              std::tuple(1, "no notice"));
    SqliteDatabase db;
    db.Open(File().string());
    SqliteStatement version(db, "PRAGMA user_version");
    ASSERT_EQ(version.Step(), SQLITE_ROW);
    EXPECT_EQ(version.Integer(0), HistoryStore::kSchemaVersion);
}

TEST_F(HistoryStoreTest, DrillAnswersAndSprintRunsComeBackAndCountAsCheckedCharacters) {
    auto store = Open(File());
    store->Append(Entry(kNow - kDay, "55555", "55555"));
    // Three drills of two answers: 9 days ago, 7 to the second at the third answer, and 1.
    std::vector<DrillAnswer> answers;
    for (int i = 0; i < 6; ++i) {
        const int64_t session = kNow - std::array{9 * kDay, 7 * kDay + 2, kDay}[i / 2];
        const unsigned char c = i % 2 ? 'E' : 'T';
        answers.push_back(
            {session + i, session, c, i == 3 ? uint8_t{'I'} : c, i != 3, 300 + i, 20});
    }
    ASSERT_TRUE(store->AppendDrillAnswers(answers));
    auto since = [&answers](int first) {
        return std::vector(answers.begin() + first, answers.end());
    };
    EXPECT_EQ(Open(File())->DrillAnswers(Period::All), answers);
    EXPECT_EQ(store->DrillAnswers(Period::LastSevenDays), since(2));
    EXPECT_EQ(store->DrillAnswers(Period::LastCheck), since(4));
    EXPECT_EQ(store->RecentDrillAnswers(2), since(2));

    const SprintRun weak{0, kNow, 20, {{"UA3ABC", "UA3ABD", 20, false}}};
    const SprintRun best{
        0, kNow + 60, 30, {{Cp("РА3АБ"), Cp("РА3АБ"), 30, false}, {"UA3ABC", "UA3ABC", 32, true}}};
    // As many points as the weak run, at a higher top speed though later.
    const SprintRun tie{
        0,
        kNow + 120,
        10,
        {{"UA3AB", "UA3AB", 10, false}, {"UA3A", "UA3AX", 5, false}, {"R3A", "", 10, false}}};
    ASSERT_TRUE(store->AppendSprintRun(weak) && store->AppendSprintRun(best) &&
                store->AppendSprintRun(tie));
    const std::vector<SprintRun> runs = Open(File())->BestSprintRuns(5);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(std::tuple(runs[0].calls, runs[0].startSpeed, runs[2].calls),
              std::tuple(best.calls, 30, weak.calls));
    EXPECT_EQ(FormatCsv({}, runs).substr(FormatCsv({}).size()),
              "\r\nsprint_date_time,score,top_speed,start_speed,calls_right,calls\r\n"
              "2026-11-30 00:54:20,246,32,30,2,РА3АБ→РА3АБ UA3ABC→UA3ABC↺\r\n"
              "2026-11-30 00:55:20,60,10,10,1,UA3AB→UA3AB UA3A→UA3AX R3A→∅\r\n"
              "2026-11-30 00:53:20,60,0,20,0,UA3ABC→UA3ABD\r\n");
    // The calls' characters join the checks' in the statistics, not the checks themselves.
    const std::vector<HistoryEntry> checks = store->Entries(Period::All, true);
    EXPECT_EQ(
        std::tuple(checks.size(), checks[0].pairs, store->Entries(Period::LastCheck, 0).size()),
        std::tuple(1u, Entry(0, "55555", "55555").pairs, 1u));
    EXPECT_EQ(ErrorNotation(store->PairTotals(Period::All)), "C→D×1 3→∅×1 A→∅×1 R→∅×1 ∅→X×1");
    EXPECT_EQ(ErrorNotation(store->PairTotals(Period::LastCheck)), "");
    EXPECT_EQ(store->RecentTallies(50).at('C').errors, 1);
    // Each run's row of checks: text type 4 at its top speed, characters sent and right (extra
    // ones not sent), calls copied wrong.
    SqliteDatabase db;
    db.Open(File().string());
    SqliteStatement rows(
        db,
        "SELECT group_concat(text_type || ' ' || speed || ' ' || characters_sent ||"
        " ' ' || characters_right || ' ' || blocks_wrong, ', ') FROM checks"
        " WHERE kind = 1");
    ASSERT_EQ(rows.Step(), SQLITE_ROW);
    EXPECT_EQ(rows.Text(0), "4 0 6 5 1, 4 32 11 11 0, 4 10 12 9 2");
}

}  // namespace
}  // namespace vantrel::progress
