#include "progress/HistoryStore.h"

#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <map>
#include <utility>

namespace vantrel::progress {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMemory = ":memory:";
constexpr int kBusyTimeoutMs = 2000;
constexpr int64_t kSevenDaysSeconds = 7 * 24 * 3600;
constexpr const char* kSessionOnly = " Результаты проверок этого сеанса не будут сохранены.";

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
};
static_assert(std::size(kMigrations) == HistoryStore::kSchemaVersion);

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        return entry->pw_dir;
    }
    return {};
}

std::string Quoted(const fs::path& path) {
    return "«" + path.string() + "»";
}

std::string DatedStamp(int64_t unixSeconds) {
    std::string stamp = LocalDateTime(unixSeconds);  // "2026-12-07 14:35:07"
    stamp.erase(std::remove(stamp.begin() + 10, stamp.end(), ':'), stamp.end());
    std::replace(stamp.begin(), stamp.end(), ' ', '-');
    return stamp;  // "2026-12-07-143507"
}

// A count as stored, or the nearest that can be: rows of a damaged file may hold any number.
int Count(int64_t stored) {
    return static_cast<int>(std::clamp<int64_t>(stored, 0, kMaxPairCount));
}

void RenameJournal(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    const fs::path journal = from.string() + "-journal";
    if (fs::exists(journal, ec)) {
        fs::rename(journal, to.string() + "-journal", ec);
    }
}

}  // namespace

fs::path DefaultHistoryFile() {
    fs::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        data = xdg;
    } else if (fs::path home = HomeFolder(); !home.empty()) {
        data = home / ".local" / "share";
    } else {
        return {};
    }
    return data / "Quorbit" / "Vantrel" / "history.sqlite";
}

HistoryStore::HistoryStore(fs::path file, WallClock clock)
    : file_(std::move(file)), clock_(std::move(clock)), inMemory_(file_.empty()) {}

fs::path HistoryStore::File() const {
    return inMemory_ ? fs::path() : file_;
}

std::optional<std::string> HistoryStore::TakeNotice() {
    if (notice_.empty()) {
        return std::nullopt;
    }
    return std::exchange(notice_, {});
}

void HistoryStore::Note(std::string message) {
    notice_ += notice_.empty() ? message : "\n" + message;
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
        UseMemory("Папку истории проверок " + Quoted(file_.parent_path()) +
                  " не удаётся создать (" + ec.message() + ")." + kSessionOnly);
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
    std::string what;
    switch (problem) {
        case Problem::Unopenable:
            what = "Файл истории проверок " + Quoted(file_) + " не открывается (" + reason + ").";
            break;
        case Problem::Damaged:
            what = "Файл истории проверок " + Quoted(file_) + " повреждён (" + reason + ").";
            break;
        case Problem::Newer:
            what = "Файл истории проверок " + Quoted(file_) +
                   " записан более новой версией программы (версия " + reason + ").";
            break;
        case Problem::Reset:
            what = "История проверок очищена.";
            break;
    }
    const fs::path aside = AsideName();
    std::error_code ec;
    fs::rename(file_, aside, ec);
    if (ec) {
        UseMemory(what + " Отложить его не удаётся (" + ec.message() + ")." + kSessionOnly);
        return;
    }
    RenameJournal(file_, aside);
    const std::string kept = problem == Problem::Reset
                                 ? " Прежняя история сохранена в файле " + Quoted(aside) + "."
                                 : " Он сохранён как " + Quoted(aside) + ", начата новая история.";
    if (const Opening opening = OpenFile(); opening.problem) {
        UseMemory(what + kept + " Новый файл не создаётся (" + opening.reason + ")." +
                  kSessionOnly);
        return;
    }
    Note(what + kept);
}

void HistoryStore::UseMemory(const std::string& message) {
    db_.Close();
    inMemory_ = true;
    Note(message);
    if (db_.Open(kMemory) == SQLITE_OK) {
        Migrate(0);
    }
}

fs::path HistoryStore::AsideName() const {
    const std::string base =
        file_.stem().string() + "-" + DatedStamp(clock_ ? clock_() : SystemSeconds());
    fs::path aside = file_.parent_path() / (base + file_.extension().string());
    std::error_code ec;
    for (int n = 2; fs::exists(aside, ec) || fs::exists(aside.string() + "-journal", ec); ++n) {
        aside = file_.parent_path() / (base + "-" + std::to_string(n) + file_.extension().string());
    }
    return aside;
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
        Note("История проверок не читается (" + db_.LastError() + ").");
    }
}

int HistoryStore::Insert(const HistoryEntry& entry) {
    int status = db_.Execute("BEGIN IMMEDIATE");
    if (status == SQLITE_OK) {
        SqliteStatement check(db_,
                              "INSERT INTO checks(checked_at, text_type, speed, spacing, pitch_hz,"
                              " characters_sent, characters_right, blocks_wrong, grade)"
                              " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
        check.Bind(1, entry.timeUnix)
            .Bind(2, entry.settings.textType)
            .Bind(3, entry.settings.speed)
            .Bind(4, entry.settings.spacing)
            .Bind(5, entry.settings.pitchHz)
            .Bind(6, entry.charactersSent)
            .Bind(7, entry.charactersRight)
            .Bind(8, entry.blocksWrong)
            .Bind(9, entry.grade);
        status = check.Step() == SQLITE_DONE ? SQLITE_OK : db_.ErrorCode();
    }
    const int64_t id = sqlite3_last_insert_rowid(db_.Handle());
    if (status == SQLITE_OK) {
        SqliteStatement character(
            db_, "INSERT INTO check_characters(check_id, sent, copied, count) VALUES(?1,?2,?3,?4)");
        for (const PairCount& pair : entry.pairs) {
            character.Reset();
            character.Bind(1, id).Bind(2, pair.sent).Bind(3, pair.copied).Bind(4, pair.count);
            if (character.Step() != SQLITE_DONE) {
                status = db_.ErrorCode();
                break;
            }
        }
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

bool HistoryStore::Append(const HistoryEntry& entry) {
    for (int attempt = 0; attempt < 2 && EnsureOpen(); ++attempt) {
        const int status = Insert(entry);
        if (status == SQLITE_OK) {
            return true;
        }
        if (!Recover(status)) {
            Note("Результат проверки не записан в историю (" + lastError_ + ").");
            return false;
        }
    }
    return false;
}

HistoryStore::Range HistoryStore::PeriodRange(Period period) {
    Range range{0, std::numeric_limits<int64_t>::min()};
    if (period == Period::LastCheck) {
        SqliteStatement last(db_, "SELECT IFNULL(MAX(id), 0) FROM checks");
        if (last.Step() == SQLITE_ROW) {
            range.firstId = last.Integer(0);
        }
    } else if (period == Period::LastSevenDays) {
        range.since = (clock_ ? clock_() : SystemSeconds()) - kSevenDaysSeconds;
    }
    return range;
}

std::vector<HistoryEntry> HistoryStore::Entries(Period period, bool withPairs) {
    std::vector<HistoryEntry> entries;
    if (!EnsureOpen()) {
        return entries;
    }
    const Range range = PeriodRange(period);
    SqliteStatement checks(db_,
                           "SELECT id, checked_at, text_type, speed, spacing, pitch_hz,"
                           " characters_sent, characters_right, blocks_wrong, grade FROM checks"
                           " WHERE id >= ?1 AND checked_at >= ?2 ORDER BY checked_at, id");
    checks.Bind(1, range.firstId).Bind(2, range.since);
    int status = SQLITE_OK;
    while ((status = checks.Step()) == SQLITE_ROW) {
        HistoryEntry& entry = entries.emplace_back();
        entry.id = checks.Integer(0);
        entry.timeUnix = checks.Integer(1);
        entry.settings = {static_cast<int>(checks.Integer(2)), static_cast<int>(checks.Integer(3)),
                          static_cast<int>(checks.Integer(4)), static_cast<int>(checks.Integer(5))};
        entry.charactersSent = static_cast<int>(checks.Integer(6));
        entry.charactersRight = static_cast<int>(checks.Integer(7));
        entry.blocksWrong = static_cast<int>(checks.Integer(8));
        entry.grade = static_cast<int>(checks.Integer(9));
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
    SqliteStatement pairs(db_,
                          "SELECT c.check_id, c.sent, c.copied, c.count"
                          " FROM check_characters c JOIN checks k ON k.id = c.check_id"
                          " WHERE k.id >= ?1 AND k.checked_at >= ?2");
    pairs.Bind(1, range.firstId).Bind(2, range.since);
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

std::vector<PairCount> HistoryStore::PairTotals(Period period) {
    std::vector<PairCount> totals;
    if (!EnsureOpen()) {
        return totals;
    }
    const Range range = PeriodRange(period);
    // Summed here rather than by GROUP BY, which sorts every row first and takes three times
    // as long over a long history.
    SqliteStatement rows(db_,
                         "SELECT c.sent, c.copied, c.count"
                         " FROM check_characters c JOIN checks k ON k.id = c.check_id"
                         " WHERE k.id >= ?1 AND k.checked_at >= ?2");
    rows.Bind(1, range.firstId).Bind(2, range.since);
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

}  // namespace vantrel::progress
