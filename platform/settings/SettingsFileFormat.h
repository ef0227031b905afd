// The text form of a settings file, modelled on registry export files:
//
//   ; comment
//   [Software\Quorbit\Vantrel]
//   "Speed"=dword:0000000c
//   "WindowPos"=hex:00,00,00,00,95,00,00,00,eb,00,00,00,2c,03,00,00,1f,02,00,00
//   "Title"="text with \"quotes\", \\ and \x07"
//
// Parsing never fails: blank lines, comments, unknown or malformed lines, values outside any
// key and a last line without its line break (a cut-off file) are skipped, and the good lines
// around them still count. A name given twice keeps its last value.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/settings/SettingsTree.h"

namespace vantrel::settings {

std::string FormatSettingsFile(const SettingsTree& tree);
SettingsTree ParseSettingsFile(std::string_view text);

// Parses a file of any size piece by piece, keeping what it understands, and tells whether it
// understood all of it.
class SettingsFileParser {
  public:
    // Longer lines are skipped unread, and so are values that would be written on a longer one.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;
    // Keys and values kept at most; later new ones are skipped (earlier ones still change).
    static constexpr std::size_t kMaxEntries = 512;

    // The next bytes of the file, split anywhere.
    void Feed(std::string_view bytes);
    // What the file held. A last line without its line break is skipped.
    SettingsTree Finish();
    // Every line so far was blank, a comment, a key or a value under a key, and (after Finish)
    // the file ended with a line break.
    bool Understood() const { return understood_; }

  private:
    void Line(std::string_view text);
    bool Admit(std::string_view keyPath, std::string_view name);

    SettingsTree tree_;
    std::optional<std::string> key_;
    std::string partial_;    // the line read so far
    bool overlong_ = false;  // the line read so far is being skipped
    bool understood_ = true;
    std::unordered_set<std::string> seen_;  // keys and values kept, in lower case
};

}  // namespace vantrel::settings
