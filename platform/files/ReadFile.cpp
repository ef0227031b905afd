#include "platform/files/ReadFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <limits>

#include "platform/files/Descriptor.h"

namespace vantrel::files {

namespace fs = std::filesystem;
using detail::Descriptor;
using detail::LastError;

namespace {

FileStamp StampFrom(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.device = static_cast<uint64_t>(st.st_dev);
    s.inode = static_cast<uint64_t>(st.st_ino);
    s.size = static_cast<int64_t>(st.st_size);
    s.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return s;
}

std::error_code KindError(const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return std::make_error_code(std::errc::is_a_directory);
    return S_ISREG(st.st_mode) ? std::error_code() : MakeErrorCode(FileProblem::NotARegularFile);
}

}  // namespace

FileStamp StampOf(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return FileStamp{};
    return StampFrom(st);
}

std::optional<FileError> ReadFile(const fs::path& file, std::size_t limit,
                                  const std::function<void(std::string_view)>& piece,
                                  FileStamp* stamp) {
    auto failed = [&](std::error_code code) { return FileError{Operation::Open, file, code}; };
    if (stamp)
        *stamp = FileStamp{};
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return failed(LastError());
    if (std::error_code kind = KindError(st))
        return failed(kind);
    const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid())
        return failed(LastError());
    // Whatever was put in the file's place since the look above is examined again.
    if (::fstat(fd.get(), &st) != 0)
        return failed(LastError());
    if (std::error_code kind = KindError(st))
        return failed(kind);
    if (stamp)
        *stamp = StampFrom(st);
    std::string buffer(64 * 1024, '\0');
    for (std::size_t total = 0;;) {
        // One byte past the limit tells a file that is larger.
        const std::size_t left = limit - total;
        const std::size_t want = left < buffer.size() ? left + 1 : buffer.size();
        const ssize_t n = ::read(fd.get(), buffer.data(), want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(LastError());
        if (n == 0)
            return std::nullopt;
        const auto got = static_cast<std::size_t>(n);
        if (got > left) {
            piece(std::string_view(buffer.data(), left));
            return failed(std::make_error_code(std::errc::file_too_large));
        }
        piece(std::string_view(buffer.data(), got));
        total += got;
    }
}

std::optional<FileError> ReadWholeFile(const fs::path& file, std::string& bytes) {
    bytes.clear();
    FileStamp stamp;
    std::optional<FileError> error = ReadFile(
        file, std::numeric_limits<std::size_t>::max(),
        [&](std::string_view piece) {
            if (bytes.empty())
                bytes.reserve(static_cast<std::size_t>(stamp.size));
            bytes.append(piece);
        },
        &stamp);
    if (error)
        bytes.clear();
    return error;
}

}  // namespace vantrel::files
