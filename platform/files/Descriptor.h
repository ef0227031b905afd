// The file layer's own helpers over POSIX descriptors; not for callers of the layer.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace vantrel::files::detail {

// The error of the last failed system call (EIO when it left none).
inline std::error_code LastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
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

  private:
    int fd_;
};

// Writes all of `bytes`, counting in `written` what got there.
std::error_code WriteAll(int fd, const char* bytes, std::size_t size, std::size_t& written);

// Flushes a folder's entries to disk, so that a rename or link in it survives a crash.
void SyncFolder(const std::filesystem::path& folder);

// The file a symbolic link at `file` points to; `file` itself when it is no link.
std::filesystem::path FollowLink(const std::filesystem::path& file);

}  // namespace vantrel::files::detail
