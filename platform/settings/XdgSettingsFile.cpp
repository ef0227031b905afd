#include "platform/settings/XdgSettingsFile.h"

#include "platform/files/KeepAside.h"
#include "platform/files/ReplaceFile.h"
#include "platform/files/UserFolders.h"
#include "platform/settings/SettingsFileFormat.h"

namespace vantrel::settings {

namespace fs = std::filesystem;

XdgSettingsFile::XdgSettingsFile(fs::path file, WallClock clock)
    : path_(std::move(file)), clock_(std::move(clock)) {}

fs::path XdgSettingsFile::DefaultPath() {
    const fs::path config = files::ConfigHome();
    return config.empty() ? fs::path() : config / "Quorbit" / "Vantrel.conf";
}

std::unique_ptr<SettingsKey> XdgSettingsFile::OpenForRead(std::string_view keyPath) {
    std::lock_guard lock(mutex_);
    RefreshLocked();
    if (!tree_.HasKey(keyPath))
        return nullptr;
    return std::make_unique<PathKey<XdgSettingsFile>>(*this, keyPath, false);
}

std::unique_ptr<SettingsKey> XdgSettingsFile::OpenForWrite(std::string_view keyPath) {
    if (path_.empty() || !IsValidKeyPath(keyPath))
        return nullptr;
    return std::make_unique<PathKey<XdgSettingsFile>>(*this, keyPath, true);
}

void XdgSettingsFile::BeginBatch() {
    std::lock_guard lock(mutex_);
    if (batchDepth_++ == 0)
        RefreshLocked();
}

bool XdgSettingsFile::EndBatch() {
    std::lock_guard lock(mutex_);
    if (batchDepth_ == 0 || --batchDepth_ > 0)
        return true;
    std::vector<Change> changes = std::move(held_);
    held_.clear();
    return changes.empty() || WriteLocked(changes);
}

std::optional<Value> XdgSettingsFile::Query(std::string_view keyPath, std::string_view name) {
    std::lock_guard lock(mutex_);
    const Value* v = tree_.Find(keyPath, name);
    return v ? std::optional<Value>(*v) : std::nullopt;
}

bool XdgSettingsFile::Store(std::string_view keyPath, std::string_view name, const Value& value) {
    std::lock_guard lock(mutex_);
    Change change{std::string(keyPath), std::string(name), value};
    if (batchDepth_ > 0) {
        tree_.Set(keyPath, name, value);
        held_.push_back(std::move(change));
        return true;
    }
    return WriteLocked({std::move(change)});
}

XdgSettingsFile::DiskState XdgSettingsFile::ReadDisk() const {
    DiskState disk;
    SettingsFileParser parser;
    std::size_t size = 0;
    const std::optional<files::FileError> error = files::ReadFile(
        path_, kMaxReadBytes,
        [&](std::string_view piece) {
            parser.Feed(piece);
            size += piece.size();
        },
        &disk.stamp);
    const bool missing = error && (error->code == std::errc::no_such_file_or_directory ||
                                   error->code == std::errc::not_a_directory);
    disk.tree = parser.Finish();
    disk.writable = !error || missing || error->code == std::errc::file_too_large;
    disk.understood = missing || (!error && parser.Understood() && size <= kMaxFileBytes);
    return disk;
}

// Beside the file (the one a link points to), e.g. "Vantrel.conf.damaged-2026-12-07-031805".
bool XdgSettingsFile::KeepDamagedFileAside() const {
    fs::path aside;
    return !files::KeepAside(path_, files::AsideShape::Damaged, files::AsideMethod::Link, clock_(),
                             aside);
}

void XdgSettingsFile::RefreshLocked() {
    if (loaded_ && files::StampOf(path_) == stamp_)
        return;
    DiskState disk = ReadDisk();
    tree_ = std::move(disk.tree);
    stamp_ = disk.stamp;
    loaded_ = true;
}

bool XdgSettingsFile::WriteLocked(const std::vector<Change>& changes) {
    DiskState disk = ReadDisk();
    SettingsTree updated = disk.tree;
    for (const Change& c : changes) {
        updated.Set(c.keyPath, c.name, c.value);
    }
    const bool stored =
        disk.writable && (disk.understood || KeepDamagedFileAside()) &&
        !files::ReplaceFile(path_, FormatSettingsFile(updated), {.makeFolders = true});
    tree_ = stored ? std::move(updated) : std::move(disk.tree);
    stamp_ = stored ? files::StampOf(path_) : disk.stamp;
    loaded_ = true;
    return stored;
}

}  // namespace vantrel::settings
