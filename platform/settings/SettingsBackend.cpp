#include "platform/settings/SettingsBackend.h"

#include <algorithm>

namespace vantrel::settings {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool IsValidKeyPath(std::string_view path) {
    if (path.empty() || path.front() == ' ' || path.front() == '\t' || path.back() == ' ' ||
        path.back() == '\t') {
        return false;
    }
    return std::none_of(path.begin(), path.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

Value Value::Dword(uint32_t v) {
    return Value{ValueType::Dword,
                 {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                  static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)}};
}

Value Value::Binary(std::span<const uint8_t> bytes) {
    return Value{ValueType::Binary, {bytes.begin(), bytes.end()}};
}

Value Value::String(std::string_view text) {
    return Value{ValueType::String, {text.begin(), text.end()}};
}

}  // namespace vantrel::settings
