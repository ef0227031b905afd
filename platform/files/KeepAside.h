// Keeping a file aside under a dated name in its folder, never deleting it, before it is
// replaced or a new one is started in its place.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/files/FileError.h"

namespace vantrel::files {

enum class AsideShape {
    // "Vantrel.conf.damaged-2026-12-07-031805", then "…-031805-1", "…-031805-2", …
    Damaged,
    // "history-2026-12-07-143507.sqlite", then "history-2026-12-07-143507-2.sqlite", …
    Dated,
};

// The dated name in `file`'s folder under which it is kept aside at the local date and time
// `when`; `taken` counts the names of that second already in use.
std::filesystem::path AsideName(const std::filesystem::path& file, AsideShape shape,
                                std::chrono::system_clock::time_point when, int taken = 0);

enum class AsideMethod {
    // The file stays where it is for its replacement and is kept as a second link to it (moved
    // where the file system has no links); a symbolic link at `file` is followed.
    Link,
    // The file itself is moved, the way is free for a new one.
    Move,
};

// Keeps `file` aside under the first of its dated names that is free, set in `keptAs`. A file
// named like it plus `companion` (e.g. a database's "-journal") goes along where there is one,
// and its name must be free too.
std::optional<FileError> KeepAside(const std::filesystem::path& file, AsideShape shape,
                                   AsideMethod method, std::chrono::system_clock::time_point when,
                                   std::filesystem::path& keptAs, std::string_view companion = {});

}  // namespace vantrel::files
