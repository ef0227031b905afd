#include "support/Settings.h"

#include <cstring>

namespace vantrel {

using settings::Value;
using settings::ValueType;

namespace {

constexpr int kMinRestoredExtent = 40;

void PutInt32(uint8_t* out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(u >> (8 * i));
}

int32_t GetInt32(const uint8_t* in) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<uint32_t>(in[i]) << (8 * i);
    return static_cast<int32_t>(u);
}

void WriteValue(SettingsBackend& store, std::string_view key, std::string_view name,
                const Value& value) {
    if (std::unique_ptr<settings::SettingsKey> k = store.OpenForWrite(key)) {
        k->Set(name, value);
    }
}

WindowPosRecord ReadRecord(SettingsBackend& store, std::string_view key, std::string_view name) {
    std::array<uint8_t, WindowPosRecord::kSize> bytes{};
    ReadBinarySetting(store, key, name, bytes.data(), bytes.size());
    return WindowPosRecord::FromBytes(bytes);
}

}  // namespace

int32_t ReadIntSetting(SettingsBackend& store, std::string_view key, std::string_view name,
                       int32_t defaultValue) {
    std::unique_ptr<settings::SettingsKey> k = store.OpenForRead(key);
    if (!k)
        return defaultValue;
    std::optional<Value> v = k->Query(name);
    if (!v || v->type != ValueType::Dword || v->data.size() != 4)
        return defaultValue;
    return GetInt32(v->data.data());
}

void WriteIntSetting(SettingsBackend& store, std::string_view key, std::string_view name,
                     int32_t value) {
    WriteValue(store, key, name, Value::Dword(static_cast<uint32_t>(value)));
}

void ReadBinarySetting(SettingsBackend& store, std::string_view key, std::string_view name,
                       void* buffer, std::size_t size) {
    if (size == 0)
        return;
    std::memset(buffer, 0, size);
    std::unique_ptr<settings::SettingsKey> k = store.OpenForRead(key);
    if (!k)
        return;
    std::optional<Value> v = k->Query(name);
    if (v && v->data.size() <= size && !v->data.empty()) {
        std::memcpy(buffer, v->data.data(), v->data.size());
    }
}

void WriteBinarySetting(SettingsBackend& store, std::string_view key, std::string_view name,
                        const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    WriteValue(store, key, name, Value::Binary({bytes, size}));
}

std::array<uint8_t, WindowPosRecord::kSize> WindowPosRecord::ToBytes() const {
    std::array<uint8_t, kSize> out{};
    out[0] = state;
    std::memcpy(&out[1], padding.data(), padding.size());
    PutInt32(&out[4], top);
    PutInt32(&out[8], left);
    PutInt32(&out[12], width);
    PutInt32(&out[16], height);
    return out;
}

WindowPosRecord WindowPosRecord::FromBytes(std::span<const uint8_t, kSize> bytes) {
    WindowPosRecord r;
    r.state = bytes[0];
    std::memcpy(r.padding.data(), &bytes[1], r.padding.size());
    r.top = GetInt32(&bytes[4]);
    r.left = GetInt32(&bytes[8]);
    r.width = GetInt32(&bytes[12]);
    r.height = GetInt32(&bytes[16]);
    return r;
}

void LoadWindowPos(SettingsBackend& store, std::string_view key, std::string_view name,
                   WindowGeometry& window, bool restoreSize) {
    const WindowPosRecord r = ReadRecord(store, key, name);
    if (r.height <= kMinRestoredExtent)
        return;
    window.SetTop(r.top);
    if (window.ScreenWidth() > r.left)
        window.SetLeft(r.left);
    if (restoreSize) {
        if (r.width > kMinRestoredExtent)
            window.SetWidth(r.width);
        window.SetHeight(r.height);
    }
    window.ProcessPendingEvents();
    if (r.state == static_cast<uint8_t>(WindowState::Maximized))
        window.Maximize();
}

void SaveWindowPos(SettingsBackend& store, std::string_view key, std::string_view name,
                   WindowGeometry& window) {
    WindowPosRecord r = ReadRecord(store, key, name);
    r.state = static_cast<uint8_t>(window.State());
    if (window.State() == WindowState::Normal) {
        r.top = window.Top();
        r.left = window.Left();
        r.width = window.Width();
        r.height = window.Height();
    }
    const std::array<uint8_t, WindowPosRecord::kSize> bytes = r.ToBytes();
    WriteBinarySetting(store, key, name, bytes.data(), bytes.size());
}

}  // namespace vantrel
