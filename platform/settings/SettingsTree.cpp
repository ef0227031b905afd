#include "platform/settings/SettingsTree.h"

#include <algorithm>

namespace vantrel::settings {

const SettingsTree::Key* SettingsTree::FindKey(std::string_view path) const {
    auto it = std::find_if(keys_.begin(), keys_.end(),
                           [&](const Key& k) { return SameName(k.path, path); });
    return it == keys_.end() ? nullptr : &*it;
}

SettingsTree::Key& SettingsTree::CreateKey(std::string_view path) {
    auto it = std::find_if(keys_.begin(), keys_.end(),
                           [&](const Key& k) { return SameName(k.path, path); });
    if (it != keys_.end()) {
        return *it;
    }
    keys_.push_back(Key{std::string(path), {}});
    return keys_.back();
}

const Value* SettingsTree::Find(std::string_view path, std::string_view name) const {
    const Key* key = FindKey(path);
    if (key == nullptr) {
        return nullptr;
    }
    for (const Entry& e : key->entries) {
        if (SameName(e.name, name)) {
            return &e.value;
        }
    }
    return nullptr;
}

void SettingsTree::Set(std::string_view path, std::string_view name, Value value) {
    Key& key = CreateKey(path);
    for (Entry& e : key.entries) {
        if (SameName(e.name, name)) {
            e.value = std::move(value);
            return;
        }
    }
    key.entries.push_back(Entry{std::string(name), std::move(value)});
}

}  // namespace vantrel::settings
