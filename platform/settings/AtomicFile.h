// Reads in pieces and crash-safe whole-file writes for settings files (POSIX).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace vantrel::settings {

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

enum class ReadStatus {
    Ok,
    Missing,   // no such file
    TooLarge,  // more than the limit
    Failed,    // present but unreadable, or not a regular file
};

// Reads a regular file in pieces handed to `piece`, and sets `stamp` to the file that was read.
// TooLarge when the file holds more than `limit` bytes: its first `limit` bytes were handed
// over. Never blocks on a pipe or device node.
ReadStatus ReadFileInPieces(const std::filesystem::path& file, std::size_t limit, FileStamp& stamp,
                            const std::function<void(std::string_view)>& piece);

// Keeps the file `file` under the new name `aside` in its folder before it is replaced: as a
// second link to it, or where the file system has none, by renaming it. False when `aside`
// exists already or neither works.
bool KeepAside(const std::filesystem::path& file, const std::filesystem::path& aside);

// Replaces `file` with `bytes` so that readers and a crash see either the old file or the
// whole new one: the bytes go to a temporary file in the same folder, which is flushed to disk
// and renamed over the old one. Missing parent folders are created (mode 0700). A symbolic link
// at `file` is followed, so the file it points to is replaced. The old file's permissions are
// kept. On failure (read-only folder, full disk, ...) the old file is left as it was and no
// temporary file remains.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

}  // namespace vantrel::settings
