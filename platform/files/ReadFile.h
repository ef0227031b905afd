// Reading a file that may turn out to be anything: a file the learner has named, or one of ours
// that another program has replaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/FileError.h"

namespace vantrel::files {

// Identifies one version of a file: a rewrite by rename gives a new inode, an edit in place a
// new size or modification time.
struct FileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t mtimeNs = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp StampOf(const std::filesystem::path& file);

// Reads the regular file `file` in pieces handed to `piece`. Anything else is refused without
// waiting: a folder with is_a_directory, a pipe, device or socket with
// FileProblem::NotARegularFile; the file is examined before it is opened and opened without
// blocking, so a pipe put in its place can never hold the reader up. A file of more than
// `limit` bytes fails with file_too_large once its first `limit` bytes were handed over.
// `stamp`, when given, is set to the version of the file that was opened.
std::optional<FileError> ReadFile(const std::filesystem::path& file, std::size_t limit,
                                  const std::function<void(std::string_view)>& piece,
                                  FileStamp* stamp = nullptr);

// Reads the whole of a regular file into `bytes` (empty after a failure), as ReadFile.
std::optional<FileError> ReadWholeFile(const std::filesystem::path& file, std::string& bytes);

}  // namespace vantrel::files
