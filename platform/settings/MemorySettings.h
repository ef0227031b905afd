// A settings store held in memory, for tests: deterministic, inspectable, and able to fail
// opening keys or storing values on request.
#pragma once

#include <mutex>

#include "platform/settings/SettingsBackend.h"
#include "platform/settings/SettingsTree.h"

namespace vantrel::settings {

class MemorySettings final : public SettingsBackend {
  public:
    struct Failures {
        bool openForRead = false;   // every OpenForRead returns nullptr
        bool openForWrite = false;  // every OpenForWrite returns nullptr (a read-only key)
        bool set = false;           // every Set returns false and stores nothing
    };

    void SetFailures(Failures failures);

    // Direct access, unaffected by the failures.
    void Put(std::string_view keyPath, std::string_view name, Value value);
    std::optional<Value> Get(std::string_view keyPath, std::string_view name) const;
    bool HasKey(std::string_view keyPath) const;
    // Values stored through keys so far.
    int StoreCount() const;

    std::unique_ptr<SettingsKey> OpenForRead(std::string_view keyPath) override;
    std::unique_ptr<SettingsKey> OpenForWrite(std::string_view keyPath) override;

  private:
    friend class PathKey<MemorySettings>;

    std::optional<Value> Query(std::string_view keyPath, std::string_view name) const {
        return Get(keyPath, name);
    }
    bool Store(std::string_view keyPath, std::string_view name, const Value& value);

    mutable std::mutex mutex_;
    SettingsTree tree_;
    Failures failures_;
    int stores_ = 0;
};

}  // namespace vantrel::settings
