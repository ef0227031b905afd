// Keys and their typed values held in memory, in the order they were first stored, with key
// paths and value names compared without regard to ASCII case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/SettingsBackend.h"

namespace vantrel::settings {

class SettingsTree {
  public:
    struct Entry {
        std::string name;
        Value value;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    struct Key {
        std::string path;
        std::vector<Entry> entries;
        friend bool operator==(const Key&, const Key&) = default;
    };

    bool HasKey(std::string_view path) const { return FindKey(path) != nullptr; }
    // The key, created empty when missing.
    Key& CreateKey(std::string_view path);
    const Value* Find(std::string_view path, std::string_view name) const;
    void Set(std::string_view path, std::string_view name, Value value);

    const std::vector<Key>& Keys() const { return keys_; }
    bool Empty() const { return keys_.empty(); }

    friend bool operator==(const SettingsTree&, const SettingsTree&) = default;

  private:
    const Key* FindKey(std::string_view path) const;

    std::vector<Key> keys_;
};

}  // namespace vantrel::settings
