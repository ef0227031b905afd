// Writing files so that a failure or a crash never leaves half of one: the new content goes to a
// temporary file in the same folder, is flushed to disk and renamed over the old file, and the
// rename is flushed too. Readers see the old file or the whole new one; on any failure (a full
// disk, a read-only folder, ...) the old file is left as it was and no temporary file remains.
// A symbolic link at the file's name is followed, so the file it points to is replaced and the
// link stays; the old file's permissions are kept.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/files/FileError.h"

namespace vantrel::files {

struct ReplaceOptions {
    // Folders missing on the way to the file are made (mode 0700).
    bool makeFolders = false;
    // An existing file that this user may not write stays as it is, although its folder would
    // allow replacing it.
    bool keepReadOnlyFile = false;
    // The permissions of a file that did not exist before; unset, 0666 less the umask.
    std::optional<unsigned> newFileMode{};
};

// The new content of a file, written step by step and put in place only by Commit, so that a
// long output needs no more memory than a short one.
class PendingFile {
  public:
    PendingFile() = default;
    // Abandons a file that was not committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Starts the new content of `file` in a temporary file beside it (abandoning one begun
    // before).
    std::optional<FileError> Begin(const std::filesystem::path& file,
                                   const ReplaceOptions& options = {});
    // Adds `bytes`. After a failure nothing more is written and Commit reports it.
    std::optional<FileError> Write(std::string_view bytes);
    // Flushes what was written to disk, so that Commit can then fail only in putting it in place.
    std::optional<FileError> Flush();
    // Puts the new content in the file's place; on failure the old file stays as it was.
    std::optional<FileError> Commit();
    // Drops the new content: the temporary file goes, the old file stays.
    void Abandon();

    bool IsOpen() const { return fd_ >= 0; }

  private:
    std::optional<FileError> Fail(std::error_code code);

    std::filesystem::path file_;    // as the caller named it
    std::filesystem::path target_;  // the file a link at file_ points to
    std::filesystem::path temporary_;
    int fd_ = -1;
    bool flushed_ = false;
    std::optional<FileError> failed_;
};

// Replaces the content of `file` with `bytes`.
std::optional<FileError> ReplaceFile(const std::filesystem::path& file, std::string_view bytes,
                                     const ReplaceOptions& options = {});

// Adds `addition` at the end of `file`, which holds `existing` (as its caller has read it): the
// file is replaced by both. Where that is refused (a shared folder that takes no new files) but
// the file itself may be written, the addition is appended in place, and an append that fails
// midway is cut back, so the file ends as it began. The error is the replacement's.
std::optional<FileError> AppendToFile(const std::filesystem::path& file, std::string_view existing,
                                      std::string_view addition,
                                      const ReplaceOptions& options = {});

}  // namespace vantrel::files
