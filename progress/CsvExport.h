// The learner's whole history as CSV for an instructor: UTF-8 without a byte order mark, CR LF
// line ends, a header row, one row per check in time order. Columns:
//   date_time            local date and time of the check, "2026-12-07 14:35:07"
//   text_type            0 digits, 1 letters, 2 text file, 3 keyboard text, 4 radio contact,
//                        5 lesson, 6 weak characters, 7 Latin letters
//   speed, spacing, pitch_hz
//   characters_sent      keyed characters compared (blanks and line breaks left out)
//   characters_right, characters_wrong, characters_missed, characters_extra
//   accuracy_percent     characters_right / characters_sent, one decimal, point as separator
//   blocks_wrong, grade  the copy check's result
//   errors               every error of the check, items parted by one blank: substitutions,
//                        misses, extras, each the most frequent first:
//                        "5→4×3" (5 copied as 4, three times), "7→∅×1" (7 missed once),
//                        "∅→Q×2" (an extra Q, twice). Each item is one sent character, "→", one
//                        copied character, "×", a count; "∅" stands for "none". The two signs
//                        never occur in the trainer's texts, so every item reads unambiguously.
//   band_profile, band_snr_db, band_fading, band_static_percent, band_stations, band_bandwidth_hz
//                        the band conditions the text was copied under: the profile (0 clear,
//                        1 fading, 2 summer evening, 3 contest, 4 aurora, 5 custom), the
//                        signal-to-noise ratio in dB, the fading (0 none, 1 slow, 2 normal,
//                        3 flutter), the static in percent, the other stations, the receiver's
//                        bandwidth in Hz; all empty for a check without them
// With sprint runs, an empty line and a second table follow, one row per run, the best first:
//   sprint_date_time     local date and time the run ended
//   score, top_speed, start_speed, calls_right
//   calls                every call of the run in order, parted by one blank: the call as sent,
//                        "→", the call as typed ("∅" for nothing), and "↺" after a call heard
//                        twice: "UA3ABC→UA3ABC RA9XY→RA9XI↺"
// Without sprint runs the file ends after the checks.
// Fields holding a comma, a quote or a line break are quoted, quotes doubled.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/FileError.h"
#include "progress/HistoryStore.h"

namespace vantrel::progress {

std::string FormatCsv(const std::vector<HistoryEntry>& entries,
                      const std::vector<SprintRun>& sprintRuns = {});

// Writes the CSV to `file` atomically (the old file stays whole until the new one is complete).
// Returns what went wrong when that failed (the window says "Не удалось сохранить историю
// проверок в файл «...»").
std::optional<files::FileError> ExportCsv(const std::vector<HistoryEntry>& entries,
                                          const std::filesystem::path& file,
                                          const std::vector<SprintRun>& sprintRuns = {});

}  // namespace vantrel::progress
