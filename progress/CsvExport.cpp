#include "progress/CsvExport.h"

#include <cstdio>

#include "platform/settings/AtomicFile.h"

namespace vantrel::progress {

namespace {

constexpr const char* kHeader =
    "date_time,text_type,speed,spacing,pitch_hz,characters_sent,characters_right,"
    "characters_wrong,characters_missed,characters_extra,accuracy_percent,blocks_wrong,grade,"
    "errors\r\n";

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

std::string Row(const HistoryEntry& entry) {
    int wrong = 0;
    int missed = 0;
    int extra = 0;
    for (const PairCount& pair : entry.pairs) {
        if (pair.sent == 0) {
            extra += pair.count;
        } else if (pair.copied == 0) {
            missed += pair.count;
        } else if (!pair.IsRight()) {
            wrong += pair.count;
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
    return row + "\r\n";
}

}  // namespace

std::string FormatCsv(const std::vector<HistoryEntry>& entries) {
    std::string csv = kHeader;
    for (const HistoryEntry& entry : entries) {
        csv += Row(entry);
    }
    return csv;
}

std::optional<std::string> ExportCsv(const std::vector<HistoryEntry>& entries,
                                     const std::filesystem::path& file) {
    if (settings::WriteFileAtomically(file, FormatCsv(entries))) {
        return std::nullopt;
    }
    return "Не удалось сохранить историю проверок в файл «" + file.string() + "».";
}

}  // namespace vantrel::progress
