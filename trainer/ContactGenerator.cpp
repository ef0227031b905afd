#include "trainer/ContactGenerator.h"

namespace vantrel {
namespace {

constexpr char kCyrillicA = '\xC0';
constexpr char kCyrillicYa = '\xDF';

// A uniformly chosen line; empty for an empty list (no number is drawn then).
const std::string& RandomLine(const TStringHolder& holder, Random& random) {
    static const std::string kNone;
    const auto& lines = holder.Strings();
    if (lines.empty()) {
        return kNone;
    }
    return lines[random(static_cast<uint32_t>(lines.size()))];
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

uint8_t Byte(char c) {
    return static_cast<uint8_t>(c);
}

}  // namespace

std::string_view CallSignPrefix(std::string_view prefixLine) {
    return prefixLine.substr(0, prefixLine.find(' '));
}

std::string BuildCallSign(const TStringHolder& prefixes, Random& random, CallSignSuffix suffix) {
    std::string call(CallSignPrefix(RandomLine(prefixes, random)));
    if (!call.empty() && (call[0] == 'K' || call[0] == 'N' || call[0] == 'W')) {
        const uint32_t r = random(5);
        if (r > 0) {
            call.insert(call.begin() + 1, static_cast<char>(0xC0 + r));  // Б, В, Г or Д
        }
    }
    if (call.empty() || !IsDigit(call.back())) {
        call += static_cast<char>(random.Char('0', '9'));
    }
    call += static_cast<char>(random.Char(Byte(kCyrillicA), Byte(kCyrillicYa)));
    call += static_cast<char>(random.Char(Byte(kCyrillicA), Byte(kCyrillicYa)));
    if (random(10) != 0) {
        call += static_cast<char>(random.Char(Byte(kCyrillicA), Byte(kCyrillicYa)));
    }
    switch (suffix) {
        case CallSignSuffix::None:
            break;
        case CallSignSuffix::Portable:
            if (random(20) == 0) {
                call += "/P";
            }
            break;
        case CallSignSuffix::PortableOrMobile:
            if (random(20) == 0) {
                call += "/P";
            } else if (random(40) == 0) {
                call += "/M";
            }
            break;
    }
    return call;
}

void ReplaceMarker(std::string& text, std::string_view marker, std::string_view replacement) {
    if (marker.empty()) {
        return;
    }
    std::size_t pos = 0;
    while ((pos = text.find(marker, pos)) != std::string::npos) {
        text.replace(pos, marker.size(), replacement);
        pos += replacement.size();
    }
}

std::string BuildContactText(const ContactTexts& texts, Random& random) {
    std::string text = RandomLine(texts.QSOs, random);
    const std::string& remark = RandomLine(texts.Chat, random);
    ReplaceMarker(text, "\\V", remark);
    ReplaceMarker(text, "\\A", BuildCallSign(texts.Prefixes, random, CallSignSuffix::Portable));
    ReplaceMarker(text, "\\B",
                  BuildCallSign(texts.Prefixes, random, CallSignSuffix::PortableOrMobile));
    ReplaceMarker(text, "\\C", BuildCallSign(texts.Prefixes, random, CallSignSuffix::None));
    return text;
}

}  // namespace vantrel
