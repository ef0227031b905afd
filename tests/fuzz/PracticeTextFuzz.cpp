// The bytes of a practice text file, whatever they are: decoded (UTF-8 or Windows-1251, with or
// without a byte-order mark) never longer, as upper-cased lines each ending in CR LF; and any
// Windows-1251 text comes back unchanged from its UTF-8 form.
#include <cstdint>
#include <cstdlib>

#include "support/Cp1251.h"
#include "trainer/PracticeTextBuilder.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = cp1251::FromTextFile({reinterpret_cast<const char*>(data), size});
    const std::string lines = UpperCasedLines(text);
    if (text.size() > size || UpperCasedLines(lines) != lines ||
        (text.find('\x98') == std::string::npos &&
         cp1251::FromTextFile(cp1251::ToUtf8(text)) != text)) {
        std::abort();
    }
    return 0;
}
