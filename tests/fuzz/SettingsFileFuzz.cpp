// The settings file parser on any bytes: it reads the same fed whole or in two pieces, and what
// it keeps is written out and read back unchanged and understood.
#include <cstdint>
#include <cstdlib>

#include "platform/settings/SettingsFileFormat.h"

using namespace vantrel::settings;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SettingsTree whole = ParseSettingsFile(text);
    SettingsFileParser pieces;  // cut where the first byte says
    pieces.Feed(text.substr(0, size > 0 ? data[0] % size : 0));
    pieces.Feed(text.substr(size > 0 ? data[0] % size : 0));
    SettingsFileParser again;
    again.Feed(FormatSettingsFile(whole));
    if (!(pieces.Finish() == whole) || !(again.Finish() == whole) || !again.Understood()) {
        std::abort();
    }
    return 0;
}
