#include "platform/settings/SettingsBackend.h"
#include "platform/settings/XdgSettingsFile.h"

namespace vantrel::settings {

// A Windows build returns its registry store (under HKEY_CURRENT_USER) here instead.
std::unique_ptr<SettingsBackend> OpenUserSettings() {
    return std::make_unique<XdgSettingsFile>(XdgSettingsFile::DefaultPath());
}

std::string UserSettingsLocation() {
    return XdgSettingsFile::DefaultPath().string();
}

}  // namespace vantrel::settings
