#include "platform/settings/MemorySettings.h"

namespace vantrel::settings {

void MemorySettings::SetFailures(Failures failures) {
    std::lock_guard lock(mutex_);
    failures_ = failures;
}

void MemorySettings::Put(std::string_view keyPath, std::string_view name, Value value) {
    std::lock_guard lock(mutex_);
    tree_.Set(keyPath, name, std::move(value));
}

std::optional<Value> MemorySettings::Get(std::string_view keyPath, std::string_view name) const {
    std::lock_guard lock(mutex_);
    const Value* v = tree_.Find(keyPath, name);
    return v ? std::optional<Value>(*v) : std::nullopt;
}

bool MemorySettings::HasKey(std::string_view keyPath) const {
    std::lock_guard lock(mutex_);
    return tree_.HasKey(keyPath);
}

int MemorySettings::StoreCount() const {
    std::lock_guard lock(mutex_);
    return stores_;
}

std::unique_ptr<SettingsKey> MemorySettings::OpenForRead(std::string_view keyPath) {
    std::lock_guard lock(mutex_);
    if (failures_.openForRead || !tree_.HasKey(keyPath))
        return nullptr;
    return std::make_unique<PathKey<MemorySettings>>(*this, keyPath, false);
}

std::unique_ptr<SettingsKey> MemorySettings::OpenForWrite(std::string_view keyPath) {
    std::lock_guard lock(mutex_);
    if (failures_.openForWrite || !IsValidKeyPath(keyPath))
        return nullptr;
    tree_.CreateKey(keyPath);
    return std::make_unique<PathKey<MemorySettings>>(*this, keyPath, true);
}

bool MemorySettings::Store(std::string_view keyPath, std::string_view name, const Value& value) {
    std::lock_guard lock(mutex_);
    if (failures_.set)
        return false;
    tree_.Set(keyPath, name, value);
    ++stores_;
    return true;
}

}  // namespace vantrel::settings
