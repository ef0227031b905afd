#include "progress/KochOrderCyrillic.h"

namespace vantrel::progress {

namespace {

// К М У Р Е С Н А П Т Л В И . Й З = Ф О Ы , Ж Г 5 / Щ 9 2 Х 3 8 Б ? 4 7 Ц 1 Д 6 0 Ь
// Ч Ш Э Ю Я
constexpr std::string_view kOrder =
    "\xCA\xCC\xD3\xD0\xC5\xD1\xCD\xC0\xCF\xD2\xCB\xC2\xC8.\xC9\xC7=\xD4\xCE\xDB,\xC6\xC3"
    "5/\xD9"
    "92\xD5"
    "38\xC1?47\xD6"
    "1\xC4"
    "60\xDC\xD7\xD8\xDD\xDE\xDF";

}  // namespace

std::string_view KochOrderCyrillic() {
    return kOrder;
}

}  // namespace vantrel::progress
