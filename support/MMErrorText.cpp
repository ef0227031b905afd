#include "support/MMErrorText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantrel {

namespace {

// Sorted by code.
constexpr std::array<std::pair<uint16_t, const char*>, 37> kTexts{{
    // General codes.
    {0, "no error"},
    {1, "unspecified error"},
    {2, "device ID out of range"},
    {3, "driver failed enable"},
    {4, "device already allocated"},
    {5, "device handle is invalid"},
    {6, "no device driver present"},
    {7, " memory allocation error"},
    {8, "function isn't supported"},
    {9, "error value out of range"},
    {10, "invalid flag passed"},
    {11, "invalid parameter passed"},
    // Wave output.
    {32, "unsupported wave format"},
    {33, "still something playing"},
    {34, "header not prepared"},
    {35, "device is synchronous"},
    // MIDI.
    {64, "header not prepared"},
    {65, "still something playing"},
    {66, "no current map"},
    {67, "hardware is still busy"},
    {68, "port no longer connected"},
    {69, "invalid setup"},
    // Timer.
    {97, "request not completed"},
    {129, "time struct size"},
    // Joystick.
    {165, "bad parameters"},
    {166, "request not completed"},
    {167, "joystick is unplugged"},
    // File input and output.
    {257, "file not found"},
    {258, "out of memory"},
    {259, "cannot open"},
    {260, "cannot close"},
    {261, "cannot read"},
    {262, "cannot write"},
    {263, "cannot seek"},
    {264, "cannot expand file"},
    {265, "chunk not found"},
    {266, "file is unbuffered"},
}};
static_assert(std::is_sorted(kTexts.begin(), kTexts.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

constexpr const char* kUnknownCode = "invalid parameter passed to error translation routine!";

}  // namespace

const char* MMErrorText(uint32_t code) {
    const auto low = static_cast<uint16_t>(code & 0xFFFF);
    auto it = std::lower_bound(kTexts.begin(), kTexts.end(), low,
                               [](const auto& entry, uint16_t c) { return entry.first < c; });
    return (it != kTexts.end() && it->first == low) ? it->second : kUnknownCode;
}

}  // namespace vantrel
