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

#include <string>
#include <string_view>

#include "platform/settings/SettingsTree.h"

namespace vantrel::settings {

std::string FormatSettingsFile(const SettingsTree& tree);
SettingsTree ParseSettingsFile(std::string_view text);

}  // namespace vantrel::settings
