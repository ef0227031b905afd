#include "platform/files/FileError.h"

#include <fcntl.h>

#include "platform/files/Descriptor.h"

namespace vantrel::files {

namespace {

class FileProblemCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "file"; }
    std::string message(int value) const override {
        return value == static_cast<int>(FileProblem::NotARegularFile) ? "not a regular file"
                                                                       : "file problem";
    }
};

}  // namespace

std::error_code MakeErrorCode(FileProblem problem) {
    static const FileProblemCategory category;
    return {static_cast<int>(problem), category};
}

namespace detail {

namespace fs = std::filesystem;

std::error_code WriteAll(int fd, const char* bytes, std::size_t size, std::size_t& written) {
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0 && errno != EINTR)
            return LastError();
        written += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return {};
}

void SyncFolder(const fs::path& folder) {
    const Descriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
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

}  // namespace detail

}  // namespace vantrel::files
