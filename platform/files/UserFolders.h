// The user's folders as the XDG base directories name them.
#pragma once

#include <filesystem>
#include <functional>

namespace vantrel::files {

// Looks up an environment variable: the process's own in the program, a table in tests.
using Environment = std::function<const char*(const char*)>;
const char* ProcessEnvironment(const char* name);

// $HOME when it is an absolute path, else the home folder of the user database's entry; empty
// when no home folder is known.
std::filesystem::path HomeFolder(const Environment& environment = ProcessEnvironment);

// $XDG_CONFIG_HOME when it is an absolute path, else "~/.config"; empty without a home folder.
std::filesystem::path ConfigHome(const Environment& environment = ProcessEnvironment);

// $XDG_DATA_HOME when it is an absolute path, else "~/.local/share"; empty without a home folder.
std::filesystem::path DataHome(const Environment& environment = ProcessEnvironment);

}  // namespace vantrel::files
