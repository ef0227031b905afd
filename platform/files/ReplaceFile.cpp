#include "platform/files/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/files/Descriptor.h"

namespace vantrel::files {

namespace fs = std::filesystem;
using detail::Descriptor;
using detail::LastError;

namespace {

std::error_code MakeFolders(const fs::path& folder) {
    fs::path partial;
    for (const fs::path& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0)
            continue;
        if (errno != EEXIST)
            return LastError();
        struct stat st {};
        if (::stat(partial.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return std::make_error_code(std::errc::not_a_directory);
    }
    return {};
}

// Creates a new temporary file beside `target`; its name is returned through `name`.
int CreateTemporary(const fs::path& target, fs::path& name) {
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 16; ++attempt) {
        fs::path candidate = target;
        candidate += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(tick) + "-" +
                     std::to_string(attempt);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            name = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST)
            break;
    }
    return -1;
}

// Appends `addition` to the existing regular file `file`; an append that fails midway is cut
// back.
std::error_code AppendInPlace(const fs::path& file, std::string_view addition) {
    const Descriptor fd(
        ::open(file.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid())
        return LastError();
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return LastError();
    if (!S_ISREG(st.st_mode))
        return MakeErrorCode(FileProblem::NotARegularFile);
    std::size_t written = 0;
    std::error_code error = detail::WriteAll(fd.get(), addition.data(), addition.size(), written);
    if (!error && ::fsync(fd.get()) != 0)
        error = LastError();
    if (error && written > 0 && ::ftruncate(fd.get(), st.st_size) != 0) {
        // Nothing more can be done; what was there before stays.
    }
    return error;
}

std::optional<FileError> ReplaceWith(const fs::path& file,
                                     std::initializer_list<std::string_view> parts,
                                     const ReplaceOptions& options) {
    PendingFile pending;
    std::optional<FileError> error = pending.Begin(file, options);
    for (auto part = parts.begin(); !error && part != parts.end(); ++part)
        error = pending.Write(*part);
    return error ? error : pending.Commit();
}

}  // namespace

PendingFile::~PendingFile() {
    Abandon();
}

std::optional<FileError> PendingFile::Fail(std::error_code code) {
    failed_ = FileError{Operation::Write, file_, code};
    return failed_;
}

std::optional<FileError> PendingFile::Begin(const fs::path& file, const ReplaceOptions& options) {
    Abandon();
    file_ = file;
    failed_.reset();
    flushed_ = false;
    if (file.empty() || !file.has_filename())
        return Fail(std::make_error_code(std::errc::invalid_argument));
    target_ = detail::FollowLink(file);
    if (options.makeFolders) {
        if (std::error_code error = MakeFolders(target_.parent_path()))
            return Fail(error);
    }
    if (options.keepReadOnlyFile && ::access(target_.c_str(), F_OK) == 0 &&
        ::access(target_.c_str(), W_OK) != 0) {
        return Fail(LastError());
    }
    fd_ = CreateTemporary(target_, temporary_);
    if (fd_ < 0)
        return Fail(LastError());
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd_, old.st_mode & 07777);
    } else if (options.newFileMode) {
        ::fchmod(fd_, *options.newFileMode);
    }
    return std::nullopt;
}

std::optional<FileError> PendingFile::Write(std::string_view bytes) {
    if (failed_ || fd_ < 0)
        return failed_ ? failed_ : Fail(std::make_error_code(std::errc::bad_file_descriptor));
    flushed_ = false;
    std::size_t written = 0;
    if (std::error_code error = detail::WriteAll(fd_, bytes.data(), bytes.size(), written))
        return Fail(error);
    return std::nullopt;
}

std::optional<FileError> PendingFile::Flush() {
    if (failed_ || fd_ < 0)
        return failed_ ? failed_ : Fail(std::make_error_code(std::errc::bad_file_descriptor));
    if (!flushed_ && ::fsync(fd_) != 0)
        return Fail(LastError());
    flushed_ = true;
    return std::nullopt;
}

std::optional<FileError> PendingFile::Commit() {
    std::optional<FileError> error = Flush();
    if (!error && ::close(std::exchange(fd_, -1)) != 0)
        error = Fail(LastError());
    if (!error && ::rename(temporary_.c_str(), target_.c_str()) != 0)
        error = Fail(LastError());
    if (error) {
        Abandon();
        return error;
    }
    temporary_.clear();
    // Makes the rename itself durable.
    detail::SyncFolder(target_.parent_path());
    return std::nullopt;
}

void PendingFile::Abandon() {
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (!temporary_.empty())
        ::unlink(std::exchange(temporary_, {}).c_str());
}

std::optional<FileError> ReplaceFile(const fs::path& file, std::string_view bytes,
                                     const ReplaceOptions& options) {
    return ReplaceWith(file, {bytes}, options);
}

std::optional<FileError> AppendToFile(const fs::path& file, std::string_view existing,
                                      std::string_view addition, const ReplaceOptions& options) {
    std::optional<FileError> error = ReplaceWith(file, {existing, addition}, options);
    if (!error || !AppendInPlace(file, addition))
        return std::nullopt;
    return error;
}

}  // namespace vantrel::files
