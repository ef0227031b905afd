#include "progress/CsvExport.h"

#include <cstdio>

#include "platform/files/ReplaceFile.h"
#include "support/Cp1251.h"

namespace vantrel::progress {

namespace {

constexpr const char* kHeader =
    "date_time,text_type,speed,spacing,pitch_hz,characters_sent,characters_right,"
    "characters_wrong,characters_missed,characters_extra,accuracy_percent,blocks_wrong,grade,"
    "errors,band_profile,band_snr_db,band_fading,band_static_percent,band_stations,"
    "band_bandwidth_hz\r\n";

std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

constexpr const char* kSprintHeader =
    "sprint_date_time,score,top_speed,start_speed,calls_right,calls\r\n";

std::string Row(const HistoryEntry& entry) {
    int wrong = 0;
    int missed = 0;
    int extra = 0;
    for (const PairCount& pair : entry.pairs) {
        if (pair.sent == 0) {
            extra = AddCount(extra, pair.count);
        } else if (pair.copied == 0) {
            missed = AddCount(missed, pair.count);
        } else if (!pair.IsRight()) {
            wrong = AddCount(wrong, pair.count);
        }
    }
    char accuracy[16];
    std::snprintf(
        accuracy, sizeof accuracy, "%.1f",
        entry.charactersSent > 0 ? 100.0 * entry.charactersRight / entry.charactersSent : 100.0);
    std::string row = LocalDateTime(entry.timeUnix);
    for (int value : {entry.settings.textType, entry.settings.speed, entry.settings.spacing,
                      entry.settings.pitchHz, entry.charactersSent, entry.charactersRight, wrong,
                      missed, extra}) {
        row += "," + std::to_string(value);
    }
    row += std::string(",") + accuracy;
    row += "," + std::to_string(entry.blocksWrong) + "," + std::to_string(entry.grade);
    row += "," + Field(ErrorNotation(entry.pairs));
    if (const std::optional<CheckConditions>& c = entry.conditions) {
        for (int value :
             {c->profile, c->snrDb, c->fading, c->staticPercent, c->stations, c->bandwidthHz}) {
            row += "," + std::to_string(value);
        }
    } else {
        row += ",,,,,,";
    }
    return row + "\r\n";
}

std::string SprintRow(const SprintRun& run) {
    std::string calls;
    for (const SprintCall& call : run.calls) {
        calls += calls.empty() ? "" : " ";
        calls += cp1251::ToUtf8(call.sent) + "→";
        calls += call.typed.empty() ? std::string("∅") : cp1251::ToUtf8(call.typed);
        calls += call.repeated ? "↺" : "";
    }
    std::string row = LocalDateTime(run.timeUnix);
    for (int value : {run.Score(), run.TopSpeed(), run.startSpeed, run.CallsRight()}) {
        row += "," + std::to_string(value);
    }
    return row + "," + Field(calls) + "\r\n";
}

}  // namespace

std::string FormatCsv(const std::vector<HistoryEntry>& entries,
                      const std::vector<SprintRun>& sprintRuns) {
    std::string csv = kHeader;
    for (const HistoryEntry& entry : entries) {
        csv += Row(entry);
    }
    if (!sprintRuns.empty()) {
        csv += std::string("\r\n") + kSprintHeader;
    }
    for (const SprintRun& run : sprintRuns) {
        csv += SprintRow(run);
    }
    return csv;
}

std::optional<files::FileError> ExportCsv(const std::vector<HistoryEntry>& entries,
                                          const std::filesystem::path& file,
                                          const std::vector<SprintRun>& sprintRuns) {
    return files::ReplaceFile(file, FormatCsv(entries, sprintRuns), {.makeFolders = true});
}

}  // namespace vantrel::progress
