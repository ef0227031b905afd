#include "progress/HistoryStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <map>
#include <utility>

#include "platform/files/KeepAside.h"
#include "platform/files/UserFolders.h"
#include "support/Cp1251.h"

namespace vantrel::progress {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMemory = ":memory:";
constexpr int kBusyTimeoutMs = 2000;
constexpr int64_t kSevenDaysSeconds = 7 * 24 * 3600;
constexpr int kCheckKind = 0;
constexpr int kSprintKind = 1;
// The sprint's row of `checks`: the text type of the radio contact, whose generator builds the
// calls.
constexpr int kSprintTextType = 4;
// The columns of a check's band conditions, in the order of CheckConditions.
constexpr const char* kConditionColumns =
    "band_profile, band_snr_db, band_fading, band_static, band_stations, band_bandwidth_hz";
// The condition on the checks `k` that keeps those of UnderConditions ?3.
constexpr const char* kUnderConditions = " AND (?3 = 0 OR (?3 = 1) = (k.band_profile IS NOT NULL))";

// Step n brings a file of schema version n to version n + 1.
constexpr const char* kMigrations[] = {
    // 0 -> 1: the checks and their per-character results.
    "CREATE TABLE checks("
    " id INTEGER PRIMARY KEY,"
    " checked_at INTEGER NOT NULL,"  // seconds since 1970 UTC
    " text_type INTEGER NOT NULL, speed INTEGER NOT NULL, spacing INTEGER NOT NULL,"
    " pitch_hz INTEGER NOT NULL,"
    " characters_sent INTEGER NOT NULL, characters_right INTEGER NOT NULL,"
    " blocks_wrong INTEGER NOT NULL, grade INTEGER NOT NULL);"
    "CREATE INDEX checks_by_time ON checks(checked_at);"
    // sent 0: an extra character; copied 0: a missed one (Windows-1251 codes).
    "CREATE TABLE check_characters("
    " check_id INTEGER NOT NULL REFERENCES checks(id) ON DELETE CASCADE,"
    " sent INTEGER NOT NULL, copied INTEGER NOT NULL, count INTEGER NOT NULL,"
    " PRIMARY KEY(check_id, sent, copied)) WITHOUT ROWID;",
    // 1 -> 2: the recognition drills. A sprint's per-character results are kept as a check's
    // are, in a row of `checks` of kind 1 (its text_type 4, its speed the top speed, its
    // blocks_wrong the calls copied wrong; spacing, pitch and grade 0); copy checks are kind 0.
    "ALTER TABLE checks ADD COLUMN kind INTEGER NOT NULL DEFAULT 0;"
    // typed 0: no key; response_ms from the end of the character at the ear.
    "CREATE TABLE drill_answers("
    " id INTEGER PRIMARY KEY,"
    " answered_at INTEGER NOT NULL, session_at INTEGER NOT NULL,"
    " sent INTEGER NOT NULL, typed INTEGER NOT NULL, is_right INTEGER NOT NULL,"
    " response_ms INTEGER NOT NULL, speed INTEGER NOT NULL);"
    "CREATE INDEX drill_answers_by_time ON drill_answers(answered_at);"
    "CREATE INDEX drill_answers_by_character ON drill_answers(sent, answered_at);"
    "CREATE TABLE sprint_runs("
    " id INTEGER PRIMARY KEY,"
    " check_id INTEGER NOT NULL REFERENCES checks(id) ON DELETE CASCADE,"
    " ended_at INTEGER NOT NULL, start_speed INTEGER NOT NULL, top_speed INTEGER NOT NULL,"
    " score INTEGER NOT NULL);"
    "CREATE INDEX sprint_runs_by_score ON sprint_runs(score);"
    // sent and typed in UTF-8.
    "CREATE TABLE sprint_calls("
    " run_id INTEGER NOT NULL REFERENCES sprint_runs(id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, sent TEXT NOT NULL, typed TEXT NOT NULL,"
    " speed INTEGER NOT NULL, repeated INTEGER NOT NULL,"
    " PRIMARY KEY(run_id, position)) WITHOUT ROWID;",
    // 2 -> 3: the band conditions a check was copied under (CheckConditions); all NULL for a
    // check without them, as every check before this step was.
    "ALTER TABLE checks ADD COLUMN band_profile INTEGER;"
    "ALTER TABLE checks ADD COLUMN band_snr_db INTEGER;"
    "ALTER TABLE checks ADD COLUMN band_fading INTEGER;"
    "ALTER TABLE checks ADD COLUMN band_static INTEGER;"
    "ALTER TABLE checks ADD COLUMN band_stations INTEGER;"
    "ALTER TABLE checks ADD COLUMN band_bandwidth_hz INTEGER;",
};
static_assert(std::size(kMigrations) == HistoryStore::kSchemaVersion);

// A count as stored, or the nearest that can be: rows of a damaged file may hold any number.
int Count(int64_t stored) {
    return static_cast<int>(std::clamp<int64_t>(stored, 0, kMaxPairCount));
}

}  // namespace

HistoryEntry CheckEntry(int64_t timeUnix, const CheckSettings& settings,
                        const CheckComparison& comparison, int blocksWrong, int grade,
                        std::optional<CheckConditions> conditions) {
    HistoryEntry entry;
    entry.timeUnix = timeUnix;
    entry.settings = settings;
    entry.conditions = conditions;
    entry.charactersSent = comparison.sentCount;
    entry.charactersRight = comparison.rightCount;
    entry.blocksWrong = blocksWrong;
    entry.grade = grade;
    entry.pairs = comparison.pairs;
    return entry;
}

fs::path DefaultHistoryFile() {
    const fs::path data = files::DataHome();
    return data.empty() ? fs::path() : data / "Quorbit" / "Vantrel" / "history.sqlite";
}

HistoryStore::HistoryStore(fs::path file, WallClock clock)
    : file_(std::move(file)), clock_(std::move(clock)), inMemory_(file_.empty()) {}

fs::path HistoryStore::File() const {
    return inMemory_ ? fs::path() : file_;
}

std::vector<HistoryNotice> HistoryStore::TakeNotices() {
    return std::exchange(notices_, {});
}

void HistoryStore::Note(HistoryNotice notice) {
    notices_.push_back(std::move(notice));
}

bool HistoryStore::EnsureOpen() {
    if (db_.IsOpen()) {
        return true;
    }
    if (inMemory_) {
        if (db_.Open(kMemory) == SQLITE_OK) {
            Migrate(0);
        }
        return db_.IsOpen();
    }
    std::error_code ec;
    fs::create_directories(file_.parent_path(), ec);
    if (ec) {
        HistoryNotice notice(Problem::FolderNotMade, file_.parent_path());
        notice.systemError = ec;
        UseMemory(std::move(notice));
        return db_.IsOpen();
    }
    if (const Opening opening = OpenFile(); opening.problem) {
        SetAside(*opening.problem, opening.reason);
    }
    return db_.IsOpen();
}

HistoryStore::Opening HistoryStore::OpenFile() {
    if (db_.Open(file_.string()) != SQLITE_OK) {
        return {Problem::Unopenable, db_.LastError()};
    }
    sqlite3_busy_timeout(db_.Handle(), kBusyTimeoutMs);
    db_.Execute("PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL;");
    int version = 0;
    int status = SQLITE_OK;
    {
        SqliteStatement read(db_, "PRAGMA user_version");
        status = read.Step();
        version = static_cast<int>(read.Integer(0));
    }
    Opening opening;
    if (status != SQLITE_ROW) {
        opening = {IsDamage(status) ? Problem::Damaged : Problem::Unopenable, db_.LastError()};
    } else if (version > kSchemaVersion) {
        opening = {Problem::Newer, std::to_string(version)};
    } else if (version < 0) {  // never written by any version of the program
        opening = {Problem::Damaged, sqlite3_errstr(SQLITE_CORRUPT)};
    } else if (status = Migrate(version); status != SQLITE_OK) {
        opening = {IsDamage(status) ? Problem::Damaged : Problem::Unopenable, db_.LastError()};
    }
    if (opening.problem) {
        db_.Close();
    }
    return opening;
}

int HistoryStore::Migrate(int fromVersion) {
    if (fromVersion >= kSchemaVersion) {
        return SQLITE_OK;
    }
    int status = db_.Execute("BEGIN IMMEDIATE");
    for (int step = fromVersion; status == SQLITE_OK && step < kSchemaVersion; ++step) {
        status = db_.Execute(kMigrations[step]);
    }
    if (status == SQLITE_OK) {
        status = db_.Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
    }
    if (status == SQLITE_OK) {
        status = db_.Execute("COMMIT");
    }
    if (status != SQLITE_OK) {
        const std::string error = db_.LastError();
        db_.Execute("ROLLBACK");
        lastError_ = error;
    }
    return status;
}

void HistoryStore::SetAside(Problem problem, const std::string& reason) {
    db_.Close();
    HistoryNotice notice(problem, file_, reason);
    // Named after the date and time, beside the file; SQLite's journal goes with it.
    const std::chrono::system_clock::time_point now(
        std::chrono::seconds(clock_ ? clock_() : SystemSeconds()));
    if (const std::optional<files::FileError> error =
            files::KeepAside(file_, files::AsideShape::Dated, files::AsideMethod::Move, now,
                             notice.aside, "-journal")) {
        notice.aside.clear();
        notice.systemError = error->code;
        UseMemory(std::move(notice));
        return;
    }
    if (const Opening opening = OpenFile(); opening.problem) {
        notice.newFileFailed = opening.reason;
        UseMemory(std::move(notice));
        return;
    }
    Note(std::move(notice));
}

void HistoryStore::UseMemory(HistoryNotice notice) {
    db_.Close();
    inMemory_ = true;
    notice.sessionOnly = true;
    Note(std::move(notice));
    if (db_.Open(kMemory) == SQLITE_OK) {
        Migrate(0);
    }
}

bool HistoryStore::Recover(int status) {
    if (!IsDamage(status) || inMemory_) {
        return false;
    }
    SetAside(Problem::Damaged, sqlite3_errstr(status));
    return true;
}

void HistoryStore::ReadFailed(int status) {
    if (!Recover(status)) {
        Note({Problem::Unreadable, file_, db_.LastError()});
    }
}

int HistoryStore::InTransaction(const std::function<int()>& write) {
    int status = db_.Execute("BEGIN IMMEDIATE");
    if (status == SQLITE_OK) {
        status = write();
    }
    if (status == SQLITE_OK) {
        status = db_.Execute("COMMIT");
    }
    if (status != SQLITE_OK) {
        lastError_ = db_.LastError();
        db_.Execute("ROLLBACK");
    }
    return status;
}

bool HistoryStore::Store(const std::function<int()>& write, HistoryNotice::Event failure) {
    for (int attempt = 0; attempt < 2 && EnsureOpen(); ++attempt) {
        const int status = InTransaction(write);
        if (status == SQLITE_OK) {
            return true;
        }
        if (!Recover(status)) {
            Note({failure, file_, lastError_});
            return false;
        }
    }
    return false;
}

int HistoryStore::InsertCheck(const HistoryEntry& entry, int kind, int64_t& id) {
    SqliteStatement check(db_, std::string("INSERT INTO checks(checked_at, text_type, speed,"
                                           " spacing, pitch_hz, characters_sent,"
                                           " characters_right, blocks_wrong, grade, kind, ") +
                                   kConditionColumns +
                                   ") VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10,"
                                   " ?11, ?12, ?13, ?14, ?15, ?16)");
    check.Bind(1, entry.timeUnix)
        .Bind(2, entry.settings.textType)
        .Bind(3, entry.settings.speed)
        .Bind(4, entry.settings.spacing)
        .Bind(5, entry.settings.pitchHz)
        .Bind(6, entry.charactersSent)
        .Bind(7, entry.charactersRight)
        .Bind(8, entry.blocksWrong)
        .Bind(9, entry.grade)
        .Bind(10, kind);
    if (const std::optional<CheckConditions>& c = entry.conditions) {
        int column = 11;
        for (int value :
             {c->profile, c->snrDb, c->fading, c->staticPercent, c->stations, c->bandwidthHz}) {
            check.Bind(column++, value);
        }
    } else {
        for (int column = 11; column <= 16; ++column) {
            check.BindNull(column);
        }
    }
    if (check.Step() != SQLITE_DONE) {
        return db_.ErrorCode();
    }
    id = sqlite3_last_insert_rowid(db_.Handle());
    SqliteStatement character(
        db_, "INSERT INTO check_characters(check_id, sent, copied, count) VALUES(?1,?2,?3,?4)");
    for (const PairCount& pair : entry.pairs) {
        character.Reset();
        character.Bind(1, id).Bind(2, pair.sent).Bind(3, pair.copied).Bind(4, pair.count);
        if (character.Step() != SQLITE_DONE) {
            return db_.ErrorCode();
        }
    }
    return SQLITE_OK;
}

bool HistoryStore::Append(const HistoryEntry& entry) {
    int64_t id = 0;
    return Store([&] { return InsertCheck(entry, kCheckKind, id); },
                 HistoryNotice::Event::CheckNotStored);
}

HistoryStore::Range HistoryStore::PeriodRange(Period period, UnderConditions under) {
    Range range{0, std::numeric_limits<int64_t>::min(), under};
    if (period == Period::LastCheck) {
        SqliteStatement last(db_, "SELECT IFNULL(MAX(id), 0) FROM checks WHERE kind = 0");
        if (last.Step() == SQLITE_ROW) {
            range.firstId = last.Integer(0);
        }
    } else if (period == Period::LastSevenDays) {
        range.since = (clock_ ? clock_() : SystemSeconds()) - kSevenDaysSeconds;
    }
    return range;
}

std::vector<HistoryEntry> HistoryStore::Entries(Period period, bool withPairs,
                                                UnderConditions under) {
    std::vector<HistoryEntry> entries;
    if (!EnsureOpen()) {
        return entries;
    }
    const Range range = PeriodRange(period, under);
    SqliteStatement checks(db_, std::string("SELECT id, checked_at, text_type, speed, spacing,"
                                            " pitch_hz, characters_sent, characters_right,"
                                            " blocks_wrong, grade, ") +
                                    kConditionColumns +
                                    " FROM checks k WHERE kind = 0 AND id >= ?1 AND"
                                    " checked_at >= ?2" +
                                    kUnderConditions + " ORDER BY checked_at, id");
    checks.Bind(1, range.firstId).Bind(2, range.since).Bind(3, static_cast<int>(range.under));
    int status = SQLITE_OK;
    while ((status = checks.Step()) == SQLITE_ROW) {
        HistoryEntry& entry = entries.emplace_back();
        auto column = [&checks](int index) { return static_cast<int>(checks.Integer(index)); };
        entry.id = checks.Integer(0);
        entry.timeUnix = checks.Integer(1);
        entry.settings = {column(2), column(3), column(4), column(5)};
        entry.charactersSent = column(6);
        entry.charactersRight = column(7);
        entry.blocksWrong = column(8);
        entry.grade = column(9);
        if (!checks.IsNull(10)) {
            entry.conditions = {column(10), column(11), column(12),
                                column(13), column(14), column(15)};
        }
    }
    if (status != SQLITE_DONE) {
        ReadFailed(status);
        return {};
    }
    if (withPairs && !entries.empty() && !ReadPairs(range, entries)) {
        return {};
    }
    return entries;
}

bool HistoryStore::ReadPairs(const Range& range, std::vector<HistoryEntry>& entries) {
    std::map<int64_t, std::size_t> index;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        index[entries[i].id] = i;
    }
    SqliteStatement pairs(db_, std::string("SELECT c.check_id, c.sent, c.copied, c.count"
                                           " FROM check_characters c JOIN checks k"
                                           " ON k.id = c.check_id"
                                           " WHERE k.kind = 0 AND k.id >= ?1 AND"
                                           " k.checked_at >= ?2") +
                                   kUnderConditions);
    pairs.Bind(1, range.firstId).Bind(2, range.since).Bind(3, static_cast<int>(range.under));
    int status = SQLITE_OK;
    while ((status = pairs.Step()) == SQLITE_ROW) {
        entries[index[pairs.Integer(0)]].pairs.push_back(
            {static_cast<unsigned char>(pairs.Integer(1)),
             static_cast<unsigned char>(pairs.Integer(2)), Count(pairs.Integer(3))});
    }
    if (status != SQLITE_DONE) {
        ReadFailed(status);
        return false;
    }
    return true;
}

std::vector<PairCount> HistoryStore::PairTotals(Period period, UnderConditions under) {
    std::vector<PairCount> totals;
    if (!EnsureOpen()) {
        return totals;
    }
    const Range range = PeriodRange(period, under);
    // Summed here rather than by GROUP BY, which sorts every row first and takes three times
    // as long over a long history.
    SqliteStatement rows(db_, std::string("SELECT c.sent, c.copied, c.count"
                                          " FROM check_characters c JOIN checks k"
                                          " ON k.id = c.check_id"
                                          " WHERE k.id >= ?1 AND k.checked_at >= ?2 AND"
                                          " (k.kind = 0 OR ?4)") +
                                  kUnderConditions);
    rows.Bind(1, range.firstId)
        .Bind(2, range.since)
        .Bind(3, static_cast<int>(range.under))
        .Bind(4, period != Period::LastCheck);
    std::vector<int64_t> sums(256 * 256, 0);
    int status = SQLITE_OK;
    while ((status = rows.Step()) == SQLITE_ROW) {
        sums[(rows.Integer(0) & 0xFF) * 256 + (rows.Integer(1) & 0xFF)] += Count(rows.Integer(2));
    }
    if (status != SQLITE_DONE) {
        ReadFailed(status);
        return {};
    }
    for (std::size_t cell = 0; cell < sums.size(); ++cell) {
        if (sums[cell] != 0) {
            totals.push_back({static_cast<unsigned char>(cell / 256),
                              static_cast<unsigned char>(cell % 256), Count(sums[cell])});
        }
    }
    return totals;
}

void HistoryStore::Reset() {
    if (!EnsureOpen()) {
        return;
    }
    if (inMemory_) {
        db_.Close();
        if (db_.Open(kMemory) == SQLITE_OK) {
            Migrate(0);
        }
        return;
    }
    SetAside(Problem::Reset, {});
}

std::map<unsigned char, AttemptTally> HistoryStore::RecentTallies(int lastAttempts) const {
    // Opening on first use changes nothing the caller can see.
    auto& self = const_cast<HistoryStore&>(*this);
    std::map<unsigned char, AttemptTally> tallies;
    if (lastAttempts <= 0 || !self.EnsureOpen()) {
        return tallies;
    }
    // Newest checks first; of the oldest check that a character needs, its share pro rata.
    SqliteStatement rows(
        self.db_,
        "SELECT sent, SUM(count), SUM(CASE WHEN copied = sent THEN 0 ELSE count END)"
        " FROM check_characters WHERE sent <> 0"
        " GROUP BY check_id, sent ORDER BY check_id DESC");
    while (rows.Step() == SQLITE_ROW) {
        AttemptTally& tally = tallies[static_cast<unsigned char>(rows.Integer(0))];
        const int64_t attempts = Count(rows.Integer(1));
        const int64_t taken = std::min<int64_t>(attempts, lastAttempts - tally.attempts);
        if (taken <= 0 || attempts <= 0) {
            continue;
        }
        tally.attempts += static_cast<int>(taken);
        const int64_t errors = std::clamp<int64_t>(rows.Integer(2), 0, attempts);
        tally.errors += static_cast<int>((errors * taken * 2 + attempts) / (2 * attempts));
    }
    return tallies;
}

int HistoryStore::InsertDrillAnswers(const std::vector<DrillAnswer>& answers) {
    SqliteStatement insert(
        db_,
        "INSERT INTO drill_answers(answered_at, session_at, sent, typed, is_right,"
        " response_ms, speed) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (const DrillAnswer& answer : answers) {
        insert.Reset();
        insert.Bind(1, answer.timeUnix)
            .Bind(2, answer.sessionUnix)
            .Bind(3, answer.sent)
            .Bind(4, answer.typed)
            .Bind(5, answer.right)
            .Bind(6, answer.responseMs)
            .Bind(7, answer.speed);
        if (insert.Step() != SQLITE_DONE) {
            return db_.ErrorCode();
        }
    }
    return SQLITE_OK;
}

bool HistoryStore::AppendDrillAnswers(const std::vector<DrillAnswer>& answers) {
    return Store([&] { return InsertDrillAnswers(answers); }, HistoryNotice::Event::DrillNotStored);
}

std::vector<DrillAnswer> HistoryStore::ReadDrillAnswers(SqliteStatement& rows) {
    std::vector<DrillAnswer> answers;
    int status = SQLITE_OK;
    while ((status = rows.Step()) == SQLITE_ROW) {
        answers.push_back({rows.Integer(0), rows.Integer(1),
                           static_cast<unsigned char>(rows.Integer(2)),
                           static_cast<unsigned char>(rows.Integer(3)), rows.Integer(4) != 0,
                           static_cast<int>(rows.Integer(5)), static_cast<int>(rows.Integer(6))});
    }
    if (status != SQLITE_DONE) {
        ReadFailed(status);
        return {};
    }
    return answers;
}

std::vector<DrillAnswer> HistoryStore::DrillAnswers(Period period) {
    if (!EnsureOpen()) {
        return {};
    }
    SqliteStatement rows(db_,
                         "SELECT answered_at, session_at, sent, typed, is_right, response_ms, speed"
                         " FROM drill_answers WHERE answered_at >= ?1 AND (?2 = 0 OR session_at ="
                         " (SELECT MAX(session_at) FROM drill_answers)) ORDER BY answered_at, id");
    rows.Bind(1, PeriodRange(period).since).Bind(2, period == Period::LastCheck);
    return ReadDrillAnswers(rows);
}

std::vector<DrillAnswer> HistoryStore::RecentDrillAnswers(int perCharacter) {
    if (!EnsureOpen()) {
        return {};
    }
    // Character by character through their index: a few rows each, however long the history.
    SqliteStatement next(db_, "SELECT IFNULL(MIN(sent), -1) FROM drill_answers WHERE sent > ?1");
    SqliteStatement rows(db_,
                         "SELECT answered_at, session_at, sent, typed, is_right, response_ms,"
                         " speed FROM drill_answers WHERE sent = ?1"
                         " ORDER BY answered_at DESC, id DESC LIMIT ?2");
    std::vector<DrillAnswer> answers;
    for (int64_t c = -1;;) {
        next.Reset();
        if (const int status = next.Bind(1, c).Step(); status != SQLITE_ROW) {
            ReadFailed(status);
            return {};
        }
        if ((c = next.Integer(0)) < 0) {
            break;
        }
        rows.Reset();
        rows.Bind(1, c).Bind(2, perCharacter);
        const std::vector<DrillAnswer> own = ReadDrillAnswers(rows);
        if (own.empty()) {
            return {};
        }
        answers.insert(answers.end(), own.rbegin(), own.rend());
    }
    std::stable_sort(
        answers.begin(), answers.end(),
        [](const DrillAnswer& a, const DrillAnswer& b) { return a.timeUnix < b.timeUnix; });
    return answers;
}

int HistoryStore::InsertSprintRun(const SprintRun& run) {
    HistoryEntry check;
    check.timeUnix = run.timeUnix;
    check.settings = {kSprintTextType, run.TopSpeed(), 0, 0};
    check.pairs = run.Pairs();
    for (const PairCount& pair : check.pairs) {
        check.charactersSent += pair.sent != 0 ? pair.count : 0;
        check.charactersRight += pair.IsRight() ? pair.count : 0;
    }
    check.blocksWrong = static_cast<int>(run.calls.size()) - run.CallsRight();
    int64_t checkId = 0;
    int status = InsertCheck(check, kSprintKind, checkId);
    if (status != SQLITE_OK) {
        return status;
    }
    SqliteStatement insert(db_,
                           "INSERT INTO sprint_runs(check_id, ended_at, start_speed, top_speed,"
                           " score) VALUES(?1, ?2, ?3, ?4, ?5)");
    insert.Bind(1, checkId)
        .Bind(2, run.timeUnix)
        .Bind(3, run.startSpeed)
        .Bind(4, run.TopSpeed())
        .Bind(5, run.Score());
    if (insert.Step() != SQLITE_DONE) {
        return db_.ErrorCode();
    }
    const int64_t runId = sqlite3_last_insert_rowid(db_.Handle());
    SqliteStatement call(db_,
                         "INSERT INTO sprint_calls(run_id, position, sent, typed, speed, repeated)"
                         " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    for (std::size_t i = 0; i < run.calls.size(); ++i) {
        call.Reset();
        call.Bind(1, runId)
            .Bind(2, static_cast<int64_t>(i))
            .BindText(3, cp1251::ToUtf8(run.calls[i].sent))
            .BindText(4, cp1251::ToUtf8(run.calls[i].typed))
            .Bind(5, run.calls[i].speed)
            .Bind(6, run.calls[i].repeated);
        if (call.Step() != SQLITE_DONE) {
            return db_.ErrorCode();
        }
    }
    return SQLITE_OK;
}

bool HistoryStore::AppendSprintRun(const SprintRun& run) {
    return Store([&] { return InsertSprintRun(run); }, HistoryNotice::Event::SprintNotStored);
}

std::vector<SprintRun> HistoryStore::BestSprintRuns(int count) {
    std::vector<SprintRun> runs;
    if (!EnsureOpen()) {
        return runs;
    }
    SqliteStatement rows(db_,
                         "SELECT id, ended_at, start_speed FROM sprint_runs"
                         " ORDER BY score DESC, top_speed DESC, ended_at, id LIMIT ?1");
    rows.Bind(1, count);
    int status = SQLITE_OK;
    while ((status = rows.Step()) == SQLITE_ROW) {
        runs.push_back({rows.Integer(0), rows.Integer(1), static_cast<int>(rows.Integer(2)), {}});
    }
    if (status != SQLITE_DONE) {
        ReadFailed(status);
        return {};
    }
    return ReadSprintCalls(runs) ? runs : std::vector<SprintRun>();
}

bool HistoryStore::ReadSprintCalls(std::vector<SprintRun>& runs) {
    SqliteStatement calls(db_,
                          "SELECT sent, typed, speed, repeated FROM sprint_calls"
                          " WHERE run_id = ?1 ORDER BY position");
    for (SprintRun& run : runs) {
        calls.Reset();
        calls.Bind(1, run.id);
        int status = SQLITE_OK;
        while ((status = calls.Step()) == SQLITE_ROW) {
            run.calls.push_back({cp1251::FromUtf8(calls.Text(0)), cp1251::FromUtf8(calls.Text(1)),
                                 static_cast<int>(calls.Integer(2)), calls.Integer(3) != 0});
        }
        if (status != SQLITE_DONE) {
            ReadFailed(status);
            return false;
        }
    }
    return true;
}

}  // namespace vantrel::progress
