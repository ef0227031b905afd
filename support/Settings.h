// The program's settings: single typed values under one key of the per-user settings store,
// and the main window's position as a 20-byte record.
//
// None of these routines reports an error: a failed read gives the default (integers) or
// zeros (records), a failed write leaves the stored value as it was.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/settings/SettingsBackend.h"

namespace vantrel {

using settings::SettingsBackend;

// The stored dword as a signed integer, or `defaultValue` when the key or value is missing or
// the value is not a dword. Needs only read access to the key.
int32_t ReadIntSetting(SettingsBackend& store, std::string_view key, std::string_view name,
                       int32_t defaultValue);
// Stores `value` as a dword (-1 as 0xFFFFFFFF), creating the key when missing.
void WriteIntSetting(SettingsBackend& store, std::string_view key, std::string_view name,
                     int32_t value);

// Zeros `buffer`, then copies the stored bytes into it whatever the value's type. A value
// longer than the buffer leaves it all zeros; a shorter one fills its first bytes.
void ReadBinarySetting(SettingsBackend& store, std::string_view key, std::string_view name,
                       void* buffer, std::size_t size);
void WriteBinarySetting(SettingsBackend& store, std::string_view key, std::string_view name,
                        const void* buffer, std::size_t size);

enum class WindowState : uint8_t { Normal = 0, Minimized = 1, Maximized = 2 };

// The stored form of a window's state and normal bounds: 20 bytes, little-endian.
struct WindowPosRecord {
    static constexpr std::size_t kSize = 20;

    uint8_t state = 0;  // a WindowState; other values are kept as they are
    std::array<uint8_t, 3> padding{};
    int32_t top = 0;
    int32_t left = 0;
    int32_t width = 0;
    int32_t height = 0;

    std::array<uint8_t, kSize> ToBytes() const;
    static WindowPosRecord FromBytes(std::span<const uint8_t, kSize> bytes);

    friend bool operator==(const WindowPosRecord&, const WindowPosRecord&) = default;
};

// What LoadWindowPos and SaveWindowPos need of a window. Positions are of the outer frame in
// pixels; the window supplies an adapter.
class WindowGeometry {
  public:
    virtual ~WindowGeometry() = default;

    virtual int Top() const = 0;
    virtual int Left() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual WindowState State() const = 0;

    virtual void SetTop(int top) = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual void Maximize() = 0;

    // Width of the primary screen in pixels.
    virtual int ScreenWidth() const = 0;
    // Lets the window system handle the events that the setters above have caused.
    virtual void ProcessPendingEvents() = 0;
};

// Applies a stored record: nothing when its height is 40 or less (no record); else the top
// edge, the left edge when it lies on the screen, the size when `restoreSize` is set, then
// maximizes for a maximized state.
void LoadWindowPos(SettingsBackend& store, std::string_view key, std::string_view name,
                   WindowGeometry& window, bool restoreSize);
// Stores the window's state; the bounds only when it is in its normal state, so that a
// minimized or maximized window keeps the last normal bounds stored.
void SaveWindowPos(SettingsBackend& store, std::string_view key, std::string_view name,
                   WindowGeometry& window);

}  // namespace vantrel
