#include "platform/settings/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace vantrel::settings {

namespace fs = std::filesystem;

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

// Closes a descriptor on every path out of a scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the kernel accepted the data.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool MakeFolders(const fs::path& folder) {
    fs::path partial;
    for (const fs::path& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0)
            continue;
        struct stat st {};
        if (errno != EEXIST || ::stat(partial.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return false;
        }
    }
    return true;
}

fs::path FollowLink(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_symlink(file, ec))
        return file;
    fs::path target = fs::read_symlink(file, ec);
    if (ec)
        return file;
    if (target.is_relative())
        target = file.parent_path() / target;
    fs::path resolved = fs::weakly_canonical(target, ec);
    return ec ? target : resolved;
}

// Creates a new temporary file beside `target`; its name is returned through `name`.
Descriptor CreateTemporary(const fs::path& target, fs::path* name) {
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 16; ++attempt) {
        fs::path candidate = target;
        candidate += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(tick) + "-" +
                     std::to_string(attempt);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *name = std::move(candidate);
            return Descriptor(fd);
        }
        if (errno != EEXIST)
            break;
    }
    return Descriptor(-1);
}

void SyncFolder(const fs::path& folder) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

}  // namespace

FileStamp StampOf(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return FileStamp{};
    return StampFrom(st);
}

ReadStatus ReadFileInPieces(const fs::path& file, std::size_t limit, FileStamp& stamp,
                            const std::function<void(std::string_view)>& piece) {
    stamp = FileStamp{};
    // Non-blocking, so that a pipe put in the file's place cannot hang the reader.
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Failed;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return ReadStatus::Failed;
    }
    stamp = StampFrom(st);
    std::string buffer(64 * 1024, '\0');
    std::size_t total = 0;
    for (;;) {
        // One byte past the limit tells a file that is larger.
        const std::size_t want = std::min(buffer.size(), limit + 1 - total);
        const ssize_t n = ::read(fd.get(), buffer.data(), want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ReadStatus::Failed;
        }
        if (n == 0)
            return ReadStatus::Ok;
        const auto got = static_cast<std::size_t>(n);
        if (total + got > limit) {
            piece(std::string_view(buffer.data(), limit - total));
            return ReadStatus::TooLarge;
        }
        piece(std::string_view(buffer.data(), got));
        total += got;
    }
}

bool KeepAside(const fs::path& file, const fs::path& aside) {
    if (::link(file.c_str(), aside.c_str()) == 0) {
        SyncFolder(aside.parent_path().empty() ? fs::path(".") : aside.parent_path());
        return true;
    }
    // Some file systems have no hard links: the file moves aside, and the new one follows.
    std::error_code ec;
    if (errno == EEXIST || fs::exists(aside, ec) || ::rename(file.c_str(), aside.c_str()) != 0)
        return false;
    return true;
}

bool WriteFileAtomically(const fs::path& file, std::string_view bytes) {
    if (file.empty() || !file.has_filename())
        return false;
    const fs::path target = FollowLink(file);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!MakeFolders(folder))
        return false;

    fs::path temporary;
    Descriptor fd = CreateTemporary(target, &temporary);
    if (!fd.valid())
        return false;

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd.get(), old.st_mode & 07777);
    }
    const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.Close();
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Makes the rename itself durable.
    SyncFolder(folder);
    return true;
}

}  // namespace vantrel::settings
