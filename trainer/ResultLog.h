// The result log "log.txt": five Windows-1251 lines with CR LF per copy check, appended in the
// current working directory at the moment of the check.
//
// The log is rewritten whole through a temporary file in the same folder that then replaces it,
// so a failed write leaves the records already there untouched. Where the folder refuses the
// temporary file or the replacement but log.txt itself may be written (a shared folder), the
// record is appended to log.txt in place instead (see files::AppendToFile). A log the learner has
// made read-only is not written. A missing log is started. Errors are reported as values, which
// the window words.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/files/FileError.h"

namespace vantrel {

struct TimeOfDay {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

using TimeOfDayClock = std::function<TimeOfDay()>;

// The local time of day from the system clock.
TimeOfDay LocalTimeOfDay();

struct CheckRecord {
    int speed = 0;  // SpeedTrackBar position at the check
    int32_t errorCount = 0;
    int grade = 0;
};

inline constexpr const char* kResultLogFileName = "log.txt";

// The five lines of one record, Windows-1251, each ended by CR LF.
std::string FormatCheckRecord(const TimeOfDay& time, const CheckRecord& record);

class ResultLog {
  public:
    explicit ResultLog(TimeOfDayClock clock = LocalTimeOfDay);

    // Appends one record to "log.txt" in the current working directory. Returns what went wrong
    // when the log could not be read or written; the log is then as it was before.
    std::optional<files::FileError> Append(const CheckRecord& record);

  private:
    TimeOfDayClock clock_;
};

}  // namespace vantrel
