// The per-user store of the program's settings: typed values (dword, binary, string) under key
// paths such as "Software\Quorbit\Vantrel" and value names such as "Speed".
//
// Opening a key can fail, as can writing a value; callers treat every failure as "not found"
// or "not stored" and carry on. Key paths and value names compare without regard to ASCII case.
// A key handle must not outlive the store that opened it. Stores are safe to use from several
// threads, though the program uses them from its main thread only.
//
// Implementations: XdgSettingsFile (a file in the user's configuration folder) and
// MemorySettings (for tests). A Windows build adds a registry store behind the same interface.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::settings {

// Numbered like the registry's value types, so that a registry store maps them one to one.
enum class ValueType : uint32_t { String = 1, Binary = 3, Dword = 4 };

struct Value {
    ValueType type = ValueType::Binary;
    // Dword: 4 bytes, little-endian. String: the bytes of the text, no terminator.
    std::vector<uint8_t> data;

    static Value Dword(uint32_t v);
    static Value Binary(std::span<const uint8_t> bytes);
    static Value String(std::string_view text);

    friend bool operator==(const Value&, const Value&) = default;
};

// An open key.
class SettingsKey {
  public:
    virtual ~SettingsKey() = default;

    // The value stored under `name`, or nothing when there is none.
    virtual std::optional<Value> Query(std::string_view name) = 0;
    // Stores `value` under `name`; false when it could not be stored, in which case the value
    // stored before (if any) is unchanged. Fails on a key opened for reading.
    virtual bool Set(std::string_view name, const Value& value) = 0;
};

// An open key of a store that keeps its values by key path: every call goes back to the store
// (its Query and Store), so the key always sees what the store holds now.
template <typename Store>
class PathKey final : public SettingsKey {
  public:
    PathKey(Store& store, std::string_view path, bool writable)
        : store_(store), path_(path), writable_(writable) {}

    std::optional<Value> Query(std::string_view name) override { return store_.Query(path_, name); }
    bool Set(std::string_view name, const Value& value) override {
        return writable_ && store_.Store(path_, name, value);
    }

  private:
    Store& store_;
    std::string path_;
    bool writable_;
};

class SettingsBackend {
  public:
    virtual ~SettingsBackend() = default;

    // Opens an existing key for reading; nullptr when it does not exist or cannot be read.
    virtual std::unique_ptr<SettingsKey> OpenForRead(std::string_view keyPath) = 0;
    // Opens a key for writing, creating it when missing; nullptr when that is not possible.
    virtual std::unique_ptr<SettingsKey> OpenForWrite(std::string_view keyPath) = 0;

    // Between BeginBatch and the matching EndBatch a store may hold back writes and store them
    // together at the end. Reads inside the batch see the new values. EndBatch returns false
    // when the held-back values could not be stored; they are then dropped, so reads again see
    // what is really stored. Batches nest; only the outermost one stores.
    virtual void BeginBatch() {}
    virtual bool EndBatch() { return true; }
};

// Holds a batch open for its scope.
class SettingsBatch {
  public:
    explicit SettingsBatch(SettingsBackend& store) : store_(store) { store_.BeginBatch(); }
    ~SettingsBatch() { store_.EndBatch(); }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

  private:
    SettingsBackend& store_;
};

// True when two key paths or value names are the same one (ASCII case ignored).
bool SameName(std::string_view a, std::string_view b);
// A key path is a non-empty text without control characters and without blanks at its ends.
bool IsValidKeyPath(std::string_view path);

// The store the program keeps its settings in for the current user.
std::unique_ptr<SettingsBackend> OpenUserSettings();
// Where that store keeps the settings, for showing to the user (a file path here).
std::string UserSettingsLocation();

}  // namespace vantrel::settings
