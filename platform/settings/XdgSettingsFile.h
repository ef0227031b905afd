// The settings store of a desktop without a registry: one text file in the user's
// configuration folder (see SettingsFileFormat.h for its form).
//
// The file is read once and again only when it has changed on disk, so reads cost a stat.
// Every store rewrites the whole file atomically (see platform/files/ReplaceFile.h), starting from
// what is on disk at that moment, so values written meanwhile by another instance are kept; a batch
// stores all its values in one rewrite. A missing, unreadable, cut-off or garbage file reads as
// holding whatever good lines it has, possibly none, however large it is. A file that exists but
// cannot be read is never overwritten, so a passing fault cannot wipe it; a file that could
// not be understood whole (a bad line, a cut-off end, oversized) is kept aside as
// "<name>.damaged-<date>-<time>" before the first store writes a new one with what it held.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/files/ReadFile.h"
#include "platform/settings/SettingsBackend.h"
#include "platform/settings/SettingsTree.h"

namespace vantrel::settings {

class XdgSettingsFile final : public SettingsBackend {
  public:
    // Files larger than this are not settings files as we write them: they are kept aside.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;
    // Values are looked for in the first this many bytes of a file.
    static constexpr std::size_t kMaxReadBytes = 64 << 20;

    using WallClock = std::function<std::chrono::system_clock::time_point()>;

    // `clock` dates the names of damaged files kept aside.
    explicit XdgSettingsFile(std::filesystem::path file,
                             WallClock clock = std::chrono::system_clock::now);

    // "$XDG_CONFIG_HOME/Quorbit/Vantrel.conf", or "~/.config/Quorbit/Vantrel.conf" when that
    // variable is unset or not an absolute path; empty when no home folder is known.
    static std::filesystem::path DefaultPath();

    const std::filesystem::path& Path() const { return path_; }

    std::unique_ptr<SettingsKey> OpenForRead(std::string_view keyPath) override;
    std::unique_ptr<SettingsKey> OpenForWrite(std::string_view keyPath) override;
    void BeginBatch() override;
    bool EndBatch() override;

  private:
    friend class PathKey<XdgSettingsFile>;
    struct Change {
        std::string keyPath;
        std::string name;
        Value value;
    };
    struct DiskState {
        bool writable = false;   // false when the file exists but could not be read
        bool understood = true;  // false when it is to be kept aside before a rewrite
        SettingsTree tree;
        files::FileStamp stamp;
    };

    std::optional<Value> Query(std::string_view keyPath, std::string_view name);
    bool Store(std::string_view keyPath, std::string_view name, const Value& value);

    DiskState ReadDisk() const;
    void RefreshLocked();
    bool WriteLocked(const std::vector<Change>& changes);
    bool KeepDamagedFileAside() const;

    const std::filesystem::path path_;
    const WallClock clock_;
    std::mutex mutex_;
    bool loaded_ = false;
    files::FileStamp stamp_;
    SettingsTree tree_;  // what the file holds, plus the changes held back by a batch
    int batchDepth_ = 0;
    std::vector<Change> held_;
};

}  // namespace vantrel::settings
