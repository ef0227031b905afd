#include "platform/settings/XdgSettingsFile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "platform/settings/SettingsFileFormat.h"

namespace vantrel::settings {

namespace fs = std::filesystem;

class XdgSettingsFile::Key final : public SettingsKey {
  public:
    Key(XdgSettingsFile& store, std::string_view path, bool writable)
        : store_(store), path_(path), writable_(writable) {}

    std::optional<Value> Query(std::string_view name) override { return store_.Query(path_, name); }
    bool Set(std::string_view name, const Value& value) override {
        return writable_ && store_.Store(path_, name, value);
    }

  private:
    XdgSettingsFile& store_;
    std::string path_;
    bool writable_;
};

namespace {

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && *found->pw_dir != '\0') {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

XdgSettingsFile::XdgSettingsFile(fs::path file, WallClock clock)
    : path_(std::move(file)), clock_(std::move(clock)) {}

fs::path XdgSettingsFile::DefaultPath() {
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        config = xdg;
    } else if (fs::path home = HomeFolder(); !home.empty()) {
        config = home / ".config";
    } else {
        return {};
    }
    return config / "Quorbit" / "Vantrel.conf";
}

std::unique_ptr<SettingsKey> XdgSettingsFile::OpenForRead(std::string_view keyPath) {
    std::lock_guard lock(mutex_);
    RefreshLocked();
    if (!tree_.HasKey(keyPath))
        return nullptr;
    return std::make_unique<Key>(*this, keyPath, false);
}

std::unique_ptr<SettingsKey> XdgSettingsFile::OpenForWrite(std::string_view keyPath) {
    if (path_.empty() || !IsValidKeyPath(keyPath))
        return nullptr;
    return std::make_unique<Key>(*this, keyPath, true);
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
    const ReadStatus status =
        ReadFileInPieces(path_, kMaxReadBytes, disk.stamp, [&](std::string_view piece) {
            parser.Feed(piece);
            size += piece.size();
        });
    disk.tree = parser.Finish();
    disk.writable = status != ReadStatus::Failed;
    disk.understood = status == ReadStatus::Missing ||
                      (status == ReadStatus::Ok && parser.Understood() && size <= kMaxFileBytes);
    return disk;
}

// Beside the file (the one a link points to), named with the local date and time, e.g.
// "Vantrel.conf.damaged-2026-12-07-031805".
bool XdgSettingsFile::KeepDamagedFileAside() const {
    std::error_code ec;
    fs::path file = fs::is_symlink(path_, ec) ? fs::canonical(path_, ec) : path_;
    if (ec)
        return false;
    const std::time_t now = std::chrono::system_clock::to_time_t(clock_());
    std::tm local{};
    ::localtime_r(&now, &local);
    char date[32];
    std::strftime(date, sizeof date, ".damaged-%Y-%m-%d-%H%M%S", &local);
    for (int n = 0; n < 100; ++n) {
        fs::path aside = file;
        aside += date;
        if (n > 0)
            aside += "-" + std::to_string(n);
        if (KeepAside(file, aside))
            return true;
        if (!fs::exists(aside, ec))
            return false;
    }
    return false;
}

void XdgSettingsFile::RefreshLocked() {
    if (loaded_ && StampOf(path_) == stamp_)
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
    const bool stored = disk.writable && (disk.understood || KeepDamagedFileAside()) &&
                        WriteFileAtomically(path_, FormatSettingsFile(updated));
    tree_ = stored ? std::move(updated) : std::move(disk.tree);
    stamp_ = stored ? StampOf(path_) : disk.stamp;
    loaded_ = true;
    return stored;
}

}  // namespace vantrel::settings
