#include "support/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/SystemErrorText.h"

namespace vantrel {
namespace {

std::error_code LastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

std::error_code KindError(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    return S_ISREG(st.st_mode) ? std::error_code() : MakeErrorCode(FileProblem::NotARegularFile);
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::error_code ReadRegularFile(const std::filesystem::path& file, std::string& bytes) {
    bytes.clear();
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        return LastError();
    }
    if (std::error_code kind = KindError(st)) {
        return kind;
    }
    const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        return LastError();
    }
    // Whatever was put in the file's place since the check above is examined again.
    if (::fstat(fd.get(), &st) != 0) {
        return LastError();
    }
    if (std::error_code kind = KindError(st)) {
        return kind;
    }
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const std::error_code error = LastError();
            bytes.clear();
            return error;
        }
        if (n == 0) {
            return {};
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace vantrel
