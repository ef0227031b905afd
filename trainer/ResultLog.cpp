#include "trainer/ResultLog.h"

#include <chrono>
#include <ctime>
#include <system_error>
#include <utility>

#include "platform/files/ReadFile.h"
#include "platform/files/ReplaceFile.h"
#include "support/Cp1251.h"

namespace vantrel {
namespace {

const char kHyphens[] = "----------------------------------------";

std::string TwoDigits(int value) {
    std::string s = std::to_string(value);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

TimeOfDay LocalTimeOfDay() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::string FormatCheckRecord(const TimeOfDay& time, const CheckRecord& record) {
    const std::string lines[] = {
        kHyphens,
        TwoDigits(time.hours) + ":" + TwoDigits(time.minutes) + ":" + TwoDigits(time.seconds),
        "Скорость приема: " + std::to_string(record.speed),
        "Количество ошибок:" + std::to_string(record.errorCount) +
            " Оценка: " + std::to_string(record.grade),
        kHyphens,
    };
    std::string text;
    for (const std::string& line : lines) {
        text += cp1251::FromUtf8(line);
        text += "\r\n";
    }
    return text;
}

ResultLog::ResultLog(TimeOfDayClock clock) : clock_(std::move(clock)) {}

std::optional<files::FileError> ResultLog::Append(const CheckRecord& record) {
    const std::string entry = FormatCheckRecord(clock_(), record);

    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error) / kResultLogFileName;
    if (error) {
        return files::FileError{files::Operation::Open, kResultLogFileName, error};
    }
    std::string content;
    if (std::optional<files::FileError> unread = files::ReadWholeFile(path, content);
        unread && unread->code != std::errc::no_such_file_or_directory) {
        return unread;
    }
    const std::string addition = (content.empty() || content.back() == '\n' ? "" : "\r\n") + entry;
    // A read-only log stays as it is, although the folder would allow replacing it; a new one
    // may be read by everyone.
    if (std::optional<files::FileError> unwritten = files::AppendToFile(
            path, content, addition, {.keepReadOnlyFile = true, .newFileMode = 0644})) {
        return unwritten;
    }
    return std::nullopt;
}

}  // namespace vantrel
