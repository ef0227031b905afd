#include "trainer/ResultLog.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <system_error>
#include <utility>

#include "support/Cp1251.h"
#include "support/RegularFile.h"
#include "support/SystemErrorText.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define VANTREL_POSIX_FILES 1
#endif

namespace vantrel {
namespace {

const char kHyphens[] = "----------------------------------------";

std::string TwoDigits(int value) {
    std::string s = std::to_string(value);
    return s.size() < 2 ? "0" + s : s;
}

std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

#ifdef VANTREL_POSIX_FILES

// Writes all of `data` to `fd`, counting in `written` what got there.
std::error_code WriteAll(int fd, const std::string& data, std::size_t& written) {
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno != EINTR) {
            return LastError();
        }
        written += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return {};
}

// Writes `content` to a new temporary file beside `path`, flushed to the disk, with the
// permissions of the file it is to replace.
std::error_code WriteTemporary(const std::filesystem::path& path, const std::string& content,
                               std::filesystem::path& temporary) {
    std::string name = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return LastError();
    }
    temporary = name;
    struct stat original {};
    const mode_t mode = ::stat(path.c_str(), &original) == 0 ? (original.st_mode & 07777) : 0644;
    std::error_code error;
    if (::fchmod(fd, mode) != 0) {
        error = LastError();
    }
    std::size_t written = 0;
    if (!error) {
        error = WriteAll(fd, content, written);
    }
    if (!error && ::fsync(fd) != 0) {
        error = LastError();
    }
    if (::close(fd) != 0 && !error) {
        error = LastError();
    }
    return error;
}

// Appends `addition` to the existing file at `path`. A write that fails midway is cut off
// again, so the file ends as it began.
std::error_code AppendInPlace(const std::filesystem::path& path, const std::string& addition) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    std::error_code error;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = LastError();
    } else if (!S_ISREG(st.st_mode)) {
        error = MakeErrorCode(FileProblem::NotARegularFile);
    }
    std::size_t written = 0;
    if (!error) {
        error = WriteAll(fd, addition, written);
    }
    if (!error && ::fsync(fd) != 0) {
        error = LastError();
    }
    if (error && written > 0 && ::ftruncate(fd, st.st_size) != 0) {
        // Nothing more can be done; the records before stay as they were.
    }
    ::close(fd);
    return error;
}

#else

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::error_code AppendInPlace(const std::filesystem::path&, const std::string&) {
    return std::make_error_code(std::errc::not_supported);
}

std::error_code WriteTemporary(const std::filesystem::path& path, const std::string& content,
                               std::filesystem::path& temporary) {
    temporary = path;
    temporary += ".tmp";
    errno = 0;
    File file(std::fopen(temporary.string().c_str(), "wb"));
    if (!file) {
        return LastError();
    }
    if (std::fwrite(content.data(), 1, content.size(), file.get()) != content.size() ||
        std::fflush(file.get()) != 0) {
        return std::make_error_code(std::errc::io_error);
    }
    if (std::fclose(file.release()) != 0) {
        return std::make_error_code(std::errc::io_error);
    }
    return {};
}

#endif

// Replaces the file at `path` by `content` so that it holds either the old or the new bytes.
std::error_code ReplaceFile(const std::filesystem::path& path, const std::string& content) {
#ifdef VANTREL_POSIX_FILES
    // A log the learner has made read-only stays as it is, although the folder would allow
    // replacing it.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
        return LastError();
    }
#endif
    std::filesystem::path temporary;
    std::error_code error = WriteTemporary(path, content, temporary);
    if (!error) {
        std::filesystem::rename(temporary, path, error);
    }
    if (error && !temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return error;
}

}  // namespace

TimeOfDay LocalTimeOfDay() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
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

std::optional<std::string> ResultLog::Append(const CheckRecord& record) {
    const std::string entry = FormatCheckRecord(clock_(), record);

    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error) / kResultLogFileName;
    if (error) {
        return FileErrorMessage(FileAction::Open, kResultLogFileName, error);
    }
    std::string content;
    error = ReadRegularFile(path, content);
    const bool missing = error == std::errc::no_such_file_or_directory;
    if (error && !missing) {
        return FileErrorMessage(FileAction::Open, path, error);
    }
    const std::string addition = (content.empty() || content.back() == '\n' ? "" : "\r\n") + entry;

    if ((error = ReplaceFile(path, content + addition))) {
        // A shared folder may let the learner write log.txt but not create a file beside it.
        if (missing || AppendInPlace(path, addition)) {
            return FileErrorMessage(FileAction::Write, path, error);
        }
    }
    return std::nullopt;
}

}  // namespace vantrel
