#include "platform/files/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace vantrel::files {

namespace fs = std::filesystem;

namespace {

const char* AbsoluteVariable(const Environment& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr && *value == '/' ? value : nullptr;
}

// The folder the XDG variable `name` names, else `underHome` in the home folder.
fs::path XdgFolder(const Environment& environment, const char* name, const fs::path& underHome) {
    if (const char* folder = AbsoluteVariable(environment, name))
        return folder;
    const fs::path home = HomeFolder(environment);
    return home.empty() ? fs::path() : home / underHome;
}

}  // namespace

const char* ProcessEnvironment(const char* name) {
    return std::getenv(name);
}

fs::path HomeFolder(const Environment& environment) {
    if (const char* home = AbsoluteVariable(environment, "HOME"))
        return home;
    const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && *found->pw_dir != '\0') {
        return found->pw_dir;
    }
    return {};
}

fs::path ConfigHome(const Environment& environment) {
    return XdgFolder(environment, "XDG_CONFIG_HOME", ".config");
}

fs::path DataHome(const Environment& environment) {
    return XdgFolder(environment, "XDG_DATA_HOME", fs::path(".local") / "share");
}

}  // namespace vantrel::files
