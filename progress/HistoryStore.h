// The learner's history: one record per copy check, and the recognition drills' answers and
// sprint runs, in an SQLite file of the user's data folder
// (see DefaultHistoryFile), each written in one transaction, so a crash or a power cut leaves
// every earlier record and never half of one.
//
// A file that cannot be opened, is damaged or was written by a newer program is kept aside in
// its folder under a dated name ("history-2026-12-07-143507.sqlite"), never deleted, and a new
// history is started; when not even that is possible, this session's checks are kept in memory.
// Each such event leaves a notice for the learner (TakeNotices), which the window words. The schema
// carries its version in `PRAGMA user_version`; older files are brought up to date step by step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "progress/CallSignSprint.h"
#include "progress/CharacterDrill.h"
#include "progress/CharacterHistory.h"
#include "progress/CheckComparison.h"
#include "progress/Sqlite.h"
#include "progress/WallClock.h"

namespace vantrel::progress {

// The band conditions a text was copied under (the numbers of band/BandSettings.h).
struct CheckConditions {
    int profile = 0;
    int snrDb = 0;
    int fading = 0;  // 0 none, 1 slow, 2 normal, 3 flutter
    int staticPercent = 0;
    int stations = 0;
    int bandwidthHz = 0;
    friend bool operator==(const CheckConditions&, const CheckConditions&) = default;
};

struct CheckSettings {
    int textType = 0;  // TextType entry: 0 digits, 1 letters, 2 file, ..., 7 Latin letters
    int speed = 0;     // groups per minute
    int spacing = 0;   // extra dots after each character
    int pitchHz = 0;
};

struct HistoryEntry {
    int64_t id = 0;
    int64_t timeUnix = 0;  // seconds since 1970 UTC
    CheckSettings settings;
    // Nothing when the text was copied without the band conditions.
    std::optional<CheckConditions> conditions;
    int charactersSent = 0;  // keyed characters, blanks and line breaks left out
    int charactersRight = 0;
    int blocksWrong = 0;  // the copy check's error count
    int grade = 0;
    std::vector<PairCount> pairs;  // per-character results, extras included
};

// Characters copied right of those sent, in percent; 100 when nothing was sent.
inline double AccuracyPercent(const HistoryEntry& entry) {
    return entry.charactersSent > 0 ? 100.0 * entry.charactersRight / entry.charactersSent : 100.0;
}

enum class Period { LastCheck, LastSevenDays, All };
// Which checks count: all, those copied under the band conditions, or those without.
enum class UnderConditions { Any, Under, Without };

// What happened to the history store, for the window to word.
struct HistoryNotice {
    enum class Event {
        FolderNotMade,  // the folder of `file` could not be made (`systemError`)
        Unopenable,     // `file` does not open (`reason`)
        Damaged,        // `file` is damaged (`reason`)
        Newer,          // `file` was written by a newer program (`reason`: its version)
        Reset,          // the learner cleared the history
        Unreadable,     // the history could not be read (`reason`)
        CheckNotStored,
        DrillNotStored,
        SprintNotStored,  // a record was not stored (`reason`)
    };
    HistoryNotice() = default;
    HistoryNotice(Event what, std::filesystem::path of, std::string why = {})
        : event(what), file(std::move(of)), reason(std::move(why)) {}

    Event event = Event::Unreadable;
    std::filesystem::path file;
    std::string reason;  // SQLite's words, or a version number
    // Unopenable, Damaged, Newer, Reset: where the file was kept aside; empty when it could not
    // be moved (`systemError` says why).
    std::filesystem::path aside;
    std::error_code systemError;
    // The new file could not be made after that (SQLite's words).
    std::optional<std::string> newFileFailed;
    // This session's checks are kept in memory only.
    bool sessionOnly = false;

    friend bool operator==(const HistoryNotice&, const HistoryNotice&) = default;
};

// The record of one copy check, checked at `timeUnix`, from its comparison.
HistoryEntry CheckEntry(int64_t timeUnix, const CheckSettings& settings,
                        const CheckComparison& comparison, int blocksWrong, int grade,
                        std::optional<CheckConditions> conditions = std::nullopt);

// "$XDG_DATA_HOME/Quorbit/Vantrel/history.sqlite", or under "~/.local/share" when that
// variable is unset or not an absolute path; empty when no home folder is known.
std::filesystem::path DefaultHistoryFile();

class HistoryStore final : public CharacterHistory {
  public:
    static constexpr int kSchemaVersion = 3;

    // An empty `file` keeps the history in memory only. Nothing is opened before first use.
    HistoryStore(std::filesystem::path file, WallClock clock);

    // The file in use; empty while the history is kept in memory.
    std::filesystem::path File() const;

    // Appends one check with its per-character results; false when it could not be stored.
    bool Append(const HistoryEntry& entry);

    // Every check in time order; the per-character results only when asked for.
    std::vector<HistoryEntry> Entries(Period period, bool withPairs,
                                      UnderConditions under = UnderConditions::Any);
    // The per-character results of the period summed by character pair: the checks', and for
    // the last seven days and all time also the sprints' calls.
    std::vector<PairCount> PairTotals(Period period, UnderConditions under = UnderConditions::Any);

    // Appends answers of the character drill in one transaction; false when they could not be
    // stored.
    bool AppendDrillAnswers(const std::vector<DrillAnswer>& answers);
    // The drill's answers of the period in time order; for Period::LastCheck those of the
    // latest drill.
    std::vector<DrillAnswer> DrillAnswers(Period period);
    // Of every character, its last `perCharacter` answers; all in time order (answers of one
    // second: each character's in their order).
    std::vector<DrillAnswer> RecentDrillAnswers(int perCharacter);

    // Appends a finished sprint with its calls; its per-character results are kept as a
    // check's are, so they count in PairTotals and RecentTallies (Entries leaves them out).
    bool AppendSprintRun(const SprintRun& run);
    // The `count` best runs with their calls: the highest score first, then the higher top
    // speed, then the earlier.
    std::vector<SprintRun> BestSprintRuns(int count);

    // Sets the current file aside (as a damaged one would be) and starts an empty history.
    void Reset();

    // What happened to the store since the last call, in order, each once.
    std::vector<HistoryNotice> TakeNotices();

    std::map<unsigned char, AttemptTally> RecentTallies(int lastAttempts) const override;

  private:
    using Problem = HistoryNotice::Event;
    struct Opening {
        std::optional<Problem> problem;
        std::string reason;
    };
    // Checks from `firstId` on, checked at `since` or later, under the conditions or not.
    struct Range {
        int64_t firstId = 0;
        int64_t since = 0;
        UnderConditions under = UnderConditions::Any;
    };

    // Opens the file, or the store in memory, on first use; false only when not even memory
    // can be had.
    bool EnsureOpen();
    Opening OpenFile();
    int Migrate(int fromVersion);
    void SetAside(Problem problem, const std::string& reason);
    void UseMemory(HistoryNotice notice);
    // After a failed statement: a damaged file is set aside; true when it was.
    bool Recover(int status);
    // After a failed read: sets a damaged file aside, or leaves the message.
    void ReadFailed(int status);
    // Runs `write` in one transaction, and after a damaged file was set aside once more;
    // `failure` is the notice when it could not be stored.
    bool Store(const std::function<int()>& write, HistoryNotice::Event failure);
    int InTransaction(const std::function<int()>& write);
    // Inserts a row of `checks` with its per-character results; `id` gets its number.
    int InsertCheck(const HistoryEntry& entry, int kind, int64_t& id);
    int InsertDrillAnswers(const std::vector<DrillAnswer>& answers);
    int InsertSprintRun(const SprintRun& run);
    std::vector<DrillAnswer> ReadDrillAnswers(SqliteStatement& rows);
    bool ReadSprintCalls(std::vector<SprintRun>& runs);
    Range PeriodRange(Period period, UnderConditions under = UnderConditions::Any);
    // Adds to `entries` their per-character results; false when the file failed.
    bool ReadPairs(const Range& range, std::vector<HistoryEntry>& entries);
    void Note(HistoryNotice notice);

    std::filesystem::path file_;
    WallClock clock_;
    bool inMemory_;
    SqliteDatabase db_;
    std::vector<HistoryNotice> notices_;
    std::string lastError_;
};

}  // namespace vantrel::progress
