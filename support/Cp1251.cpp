#include "support/Cp1251.h"

#include <array>

namespace vantrel::cp1251 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kUndefined = 0xFFFD;

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F, below 0x80 is ASCII.
constexpr std::array<char32_t, 64> kHighHalf = {
    0x0402,     0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC,     0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452,     0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kUndefined, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0,     0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401,     0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0,     0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451,     0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

constexpr char32_t kCyrillicA = 0x0410;        // А, byte 0xC0
constexpr char32_t kCyrillicYaSmall = 0x044F;  // я, byte 0xFF

constexpr char32_t CodePoint(uint8_t b) {
    if (b < 0x80) {
        return b;
    }
    if (b >= 0xC0) {
        return kCyrillicA + (b - 0xC0);
    }
    return kHighHalf[b - 0x80];
}

char FromCodePoint(char32_t cp) {
    if (cp < 0x80) {
        return static_cast<char>(cp);
    }
    if (cp >= kCyrillicA && cp <= kCyrillicYaSmall) {
        return static_cast<char>(0xC0 + (cp - kCyrillicA));
    }
    if (cp != kUndefined) {
        for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
            if (kHighHalf[i] == cp) {
                return static_cast<char>(0x80 + i);
            }
        }
    }
    return '?';
}

// Small letter to capital, by the code page's case pairs.
constexpr std::array<uint8_t, 256> MakeUpperTable() {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        t[b] = static_cast<uint8_t>(b);
    }
    for (int b = 'a'; b <= 'z'; ++b) {
        t[b] = static_cast<uint8_t>(b - 'a' + 'A');
    }
    for (int b = 0xE0; b <= 0xFF; ++b) {
        t[b] = static_cast<uint8_t>(b - 0x20);
    }
    constexpr std::array<std::array<uint8_t, 2>, 15> pairs = {{
        {0x90, 0x80},  // ђ Ђ
        {0x83, 0x81},  // ѓ Ѓ
        {0x9A, 0x8A},  // љ Љ
        {0x9C, 0x8C},  // њ Њ
        {0x9D, 0x8D},  // ќ Ќ
        {0x9E, 0x8E},  // ћ Ћ
        {0x9F, 0x8F},  // џ Џ
        {0xA2, 0xA1},  // ў Ў
        {0xBC, 0xA3},  // ј Ј
        {0xB4, 0xA5},  // ґ Ґ
        {0xB8, 0xA8},  // ё Ё
        {0xBA, 0xAA},  // є Є
        {0xBF, 0xAF},  // ї Ї
        {0xB3, 0xB2},  // і І
        {0xBE, 0xBD},  // ѕ Ѕ
    }};
    for (const auto& [small, capital] : pairs) {
        t[small] = capital;
    }
    return t;
}

constexpr std::array<uint8_t, 256> kUpper = MakeUpperTable();

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsContinuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// Decodes one character at `pos` and advances past it. An ill-formed sequence (stray
// continuation byte, truncated, overlong, surrogate, beyond U+10FFFF) gives kReplacement,
// clears `wellFormed` and advances past its maximal ill-formed prefix.
char32_t DecodeUtf8(std::string_view s, std::size_t& pos, bool& wellFormed) {
    wellFormed = false;
    const auto lead = static_cast<uint8_t>(s[pos++]);
    if (lead < 0x80) {
        wellFormed = true;
        return lead;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        min = 0x10000;
    } else {
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        if (pos >= s.size() || !IsContinuation(static_cast<uint8_t>(s[pos]))) {
            return kReplacement;
        }
        cp = (cp << 6) | (static_cast<uint8_t>(s[pos++]) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return kReplacement;
    }
    wellFormed = true;
    return cp;
}

// Well-formed UTF-8 holding at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view s) {
    bool beyondAscii = false;
    bool wellFormed = true;
    for (std::size_t pos = 0; pos < s.size() && wellFormed;) {
        beyondAscii |= static_cast<uint8_t>(s[pos]) >= 0x80;
        DecodeUtf8(s, pos, wellFormed);
    }
    return wellFormed && beyondAscii;
}

}  // namespace

std::string FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    bool wellFormed = true;
    while (pos < utf8.size()) {
        out += FromCodePoint(DecodeUtf8(utf8, pos, wellFormed));
    }
    return out;
}

std::string FromTextFile(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    return IsUtf8BeyondAscii(bytes) ? FromUtf8(bytes) : std::string(bytes);
}

std::string ToUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char c : cp1251) {
        AppendUtf8(out, CodePoint(static_cast<uint8_t>(c)));
    }
    return out;
}

uint8_t ToUpper(uint8_t c) {
    return kUpper[c];
}

std::string ToUpper(std::string_view cp1251) {
    std::string out(cp1251);
    for (char& c : out) {
        c = static_cast<char>(kUpper[static_cast<uint8_t>(c)]);
    }
    return out;
}

}  // namespace vantrel::cp1251
