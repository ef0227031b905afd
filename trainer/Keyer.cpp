#include "trainer/Keyer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "trainer/Limits.h"

namespace vantrel {
namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 223;

// Patterns used by more than one character are named once, so those characters share them.
constexpr std::string_view kDotDash = ".-";              // A, А
constexpr std::string_view kDashDotDotDot = "-...";      // B, Б
constexpr std::string_view kDotDashDash = ".--";         // W, В
constexpr std::string_view kDashDashDot = "--.";         // G, Г
constexpr std::string_view kDashDotDot = "-..";          // D, Д
constexpr std::string_view kDot = ".";                   // E, Е
constexpr std::string_view kDotDotDotDash = "...-";      // V, Ж
constexpr std::string_view kDashDashDotDot = "--..";     // Z, З
constexpr std::string_view kDotDot = "..";               // I, И
constexpr std::string_view kDotDashDashDash = ".---";    // J, Й
constexpr std::string_view kDashDotDash = "-.-";         // K, К
constexpr std::string_view kDotDashDotDot = ".-..";      // L, Л
constexpr std::string_view kDashDash = "--";             // M, М
constexpr std::string_view kDashDot = "-.";              // N, Н
constexpr std::string_view kDashDashDash = "---";        // O, О
constexpr std::string_view kDotDashDashDot = ".--.";     // P, П
constexpr std::string_view kDotDashDot = ".-.";          // R, Р
constexpr std::string_view kDotDotDot = "...";           // S, С
constexpr std::string_view kDash = "-";                  // T, Т
constexpr std::string_view kDotDotDash = "..-";          // U, У
constexpr std::string_view kDotDotDashDot = "..-.";      // F, Ф
constexpr std::string_view kDotDotDotDot = "....";       // H, Х
constexpr std::string_view kDashDotDashDot = "-.-.";     // C, Ц
constexpr std::string_view kDashDashDashDot = "---.";    // Ч
constexpr std::string_view kDashDashDashDash = "----";   // Ш
constexpr std::string_view kDashDashDotDash = "--.-";    // Q, Щ
constexpr std::string_view kDashDotDashDash = "-.--";    // Y, Ы
constexpr std::string_view kDashDotDotDash = "-..-";     // X, Ь
constexpr std::string_view kDotDotDashDotDot = "..-..";  // Э
constexpr std::string_view kDotDotDashDash = "..--";     // Ю
constexpr std::string_view kDotDashDotDash = ".-.-";     // Я, @
constexpr std::string_view kEndOfWork = "...-.-";        // $, *
constexpr std::string_view kUnderstood = "...-.";        // %
constexpr std::string_view kWait = ".-...";              // !
constexpr std::string_view kStartingSignal = "-.-.-";    // &
constexpr std::string_view kOpeningBracket = "-.--.";    // #

struct CodeTable {
    std::array<std::string_view, 256> patterns{};
    std::array<int, 256> dots{};
};

constexpr CodeTable MakeCodeTable() {
    CodeTable t;
    auto& p = t.patterns;
    p['!'] = kWait;
    p['#'] = kOpeningBracket;
    p['$'] = kEndOfWork;
    p['%'] = kUnderstood;
    p['&'] = kStartingSignal;
    p['*'] = kEndOfWork;
    p['+'] = ".-.-.";
    p[','] = "--..--";
    p['-'] = "-....-";
    p['.'] = ".-.-.-";
    p['/'] = "-..-.";
    p['0'] = "-----";
    p['1'] = ".----";
    p['2'] = "..---";
    p['3'] = "...--";
    p['4'] = "....-";
    p['5'] = ".....";
    p['6'] = "-....";
    p['7'] = "--...";
    p['8'] = "---..";
    p['9'] = "----.";
    p['='] = "-...-";
    p['?'] = "..--..";
    p['@'] = kDotDashDotDash;
    p['A'] = kDotDash;
    p['B'] = kDashDotDotDot;
    p['C'] = kDashDotDashDot;
    p['D'] = kDashDotDot;
    p['E'] = kDot;
    p['F'] = kDotDotDashDot;
    p['G'] = kDashDashDot;
    p['H'] = kDotDotDotDot;
    p['I'] = kDotDot;
    p['J'] = kDotDashDashDash;
    p['K'] = kDashDotDash;
    p['L'] = kDotDashDotDot;
    p['M'] = kDashDash;
    p['N'] = kDashDot;
    p['O'] = kDashDashDash;
    p['P'] = kDotDashDashDot;
    p['Q'] = kDashDashDotDash;
    p['R'] = kDotDashDot;
    p['S'] = kDotDotDot;
    p['T'] = kDash;
    p['U'] = kDotDotDash;
    p['V'] = kDotDotDotDash;
    p['W'] = kDotDashDash;
    p['X'] = kDashDotDotDash;
    p['Y'] = kDashDotDashDash;
    p['Z'] = kDashDashDotDot;
    // Cyrillic capitals in the Russian Morse alphabet; Ъ (0xDA) has none.
    p[0xC0] = kDotDash;           // А
    p[0xC1] = kDashDotDotDot;     // Б
    p[0xC2] = kDotDashDash;       // В
    p[0xC3] = kDashDashDot;       // Г
    p[0xC4] = kDashDotDot;        // Д
    p[0xC5] = kDot;               // Е
    p[0xC6] = kDotDotDotDash;     // Ж
    p[0xC7] = kDashDashDotDot;    // З
    p[0xC8] = kDotDot;            // И
    p[0xC9] = kDotDashDashDash;   // Й
    p[0xCA] = kDashDotDash;       // К
    p[0xCB] = kDotDashDotDot;     // Л
    p[0xCC] = kDashDash;          // М
    p[0xCD] = kDashDot;           // Н
    p[0xCE] = kDashDashDash;      // О
    p[0xCF] = kDotDashDashDot;    // П
    p[0xD0] = kDotDashDot;        // Р
    p[0xD1] = kDotDotDot;         // С
    p[0xD2] = kDash;              // Т
    p[0xD3] = kDotDotDash;        // У
    p[0xD4] = kDotDotDashDot;     // Ф
    p[0xD5] = kDotDotDotDot;      // Х
    p[0xD6] = kDashDotDashDot;    // Ц
    p[0xD7] = kDashDashDashDot;   // Ч
    p[0xD8] = kDashDashDashDash;  // Ш
    p[0xD9] = kDashDashDotDash;   // Щ
    p[0xDB] = kDashDotDashDash;   // Ы
    p[0xDC] = kDashDotDotDash;    // Ь
    p[0xDD] = kDotDotDashDotDot;  // Э
    p[0xDE] = kDotDotDashDash;    // Ю
    p[0xDF] = kDotDashDotDash;    // Я
    for (std::size_t c = 0; c < p.size(); ++c) {
        int dots = 0;
        for (char symbol : p[c]) {
            dots += symbol == '-' ? 4 : 2;
        }
        t.dots[c] = dots;
    }
    return t;
}

constexpr CodeTable kCodeTable = MakeCodeTable();

// One step of the envelope: 8/9 in 32-bit arithmetic, truncating toward zero.
inline int32_t Attenuate(int32_t s, int steps) {
    for (int k = 0; k < steps; ++k) {
        s = s * 8 / 9;
    }
    return s;
}

uint32_t PhaseAfter(int64_t samples, int32_t increment) {
    return static_cast<uint32_t>(
        (static_cast<uint64_t>(samples) * static_cast<uint32_t>(increment)) &
        static_cast<uint64_t>(Keyer::kPhaseMask));
}

}  // namespace

std::string_view MorseCode(uint8_t c) {
    if (c < kFirstCode || c > kLastCode) {
        return {};
    }
    return kCodeTable.patterns[c];
}

int MorseDots(uint8_t c) {
    return MorseCode(c).empty() ? 0 : kCodeTable.dots[c];
}

Keyer::Keyer() {
    BuildSineTable();
}

void Keyer::SetSpeed(int groupsPerMinute, SpeedRange range) {
    int speed = std::clamp(groupsPerMinute, limits::kSpeedMin, limits::kSpeedMax);
    if (range == SpeedRange::CharacterDrill) {
        speed = std::clamp(groupsPerMinute, limits::kCharacterDrillSpeedMin,
                           limits::kCharacterDrillSpeedMax);
    } else if (range == SpeedRange::Sprint) {
        speed = std::clamp(groupsPerMinute, limits::kSprintSpeedMin, limits::kSprintSpeedMax);
    }
    dotLength_ = 9600 / speed;
}

void Keyer::SetSpacing(int spacing) {
    spacing_ = std::clamp(spacing, limits::kSpacingMin, limits::kSpacingMax);
}

void Keyer::SetPitchPosition(int position) {
    toneFrequency_ = 100.0L * std::clamp(position, limits::kPitchMin, limits::kPitchMax);
    UpdateTone();
}

void Keyer::SetVolumePosition(int position) {
    volumeLevel_ =
        limits::kVolumeMax - std::clamp(position, limits::kVolumeMin, limits::kVolumeMax);
    BuildSineTable();
}

void Keyer::BuildSineTable() {
    const long double amplitude = static_cast<long double>(volumeLevel_) / 8.0L * 32767.0L;
    const long double twoPi = 2.0L * std::numbers::pi_v<long double>;
    for (int i = 0; i < kSineTableSize; ++i) {
        const long double x = std::sin(twoPi * i / kSineTableSize) * amplitude;
        // The default rounding mode rounds ties to even.
        sineTable_[i] = static_cast<int16_t>(std::llrint(x));
    }
    UpdateTone();
}

void Keyer::UpdateTone() {
    phaseIncrement_ = static_cast<int32_t>(
        std::llrint(toneFrequency_ * 1073741824.0L / limits::kKeyedSampleRate));
    for (int i = 1; i <= kEnvelopeSamples; ++i) {
        rise_[i - 1] = static_cast<int16_t>(
            Attenuate(TableSample(PhaseAfter(i - 1, phaseIncrement_)), 33 - i));
    }
}

std::size_t Keyer::CharacterSamples(uint8_t c) const {
    return static_cast<std::size_t>(MorseDots(c) + spacing_ + 2) *
           static_cast<std::size_t>(dotLength_);
}

int Keyer::RenderCharacter(int16_t* buffer, std::size_t capacitySamples, uint8_t c) {
    std::size_t position = 0;
    const int64_t dot = dotLength_;
    for (char symbol : MorseCode(c)) {
        RenderTone(buffer, capacitySamples, position, symbol == '-' ? 3 * dot : dot);
        RenderSilence(buffer, capacitySamples, position, dot);
    }
    RenderSilence(buffer, capacitySamples, position, (spacing_ + 2) * dot);
    return static_cast<int>(2 * position);
}

void Keyer::RenderSilence(int16_t* buffer, std::size_t capacity, std::size_t& position,
                          int64_t count) {
    if (count <= 0 || position >= capacity) {
        return;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(count), capacity - position);
    std::fill_n(buffer + position, n, int16_t{0});
    position += n;
}

// Sample i (1-based) of an n-sample tone is SineTable[phase >> 15] with the rise applied
// 33 - i times for i < 32 and the fall applied i - n + 33 times for i > n - 32.
void Keyer::RenderTone(int16_t* buffer, std::size_t capacity, std::size_t& position,
                       int64_t count) {
    TonePhase = 0;
    if (count <= 0 || position >= capacity) {
        return;
    }
    const int64_t n = count;
    const int64_t written = std::min<int64_t>(n, static_cast<int64_t>(capacity - position));
    int16_t* out = buffer + position;
    position += static_cast<std::size_t>(written);

    if (n < 2 * kEnvelopeSamples + 1) {
        RenderShortTone(out, n, written);
        return;
    }

    const uint32_t d = static_cast<uint32_t>(phaseIncrement_);
    const int64_t riseEnd = std::min<int64_t>(kEnvelopeSamples, written);
    std::copy_n(rise_.begin(), riseEnd, out);

    const int64_t fallStart = n - kEnvelopeSamples;  // first sample (1-based) of the fall
    uint32_t phase = PhaseAfter(riseEnd, phaseIncrement_);
    const int64_t steadyEnd = std::min(fallStart - 1, written);
    for (int64_t i = riseEnd + 1; i <= steadyEnd; ++i) {
        out[i - 1] = TableSample(phase);
        phase = (phase + d) & kPhaseMask;
    }
    for (int64_t i = std::max(fallStart, riseEnd + 1); i <= written; ++i) {
        out[i - 1] =
            static_cast<int16_t>(Attenuate(TableSample(phase), static_cast<int>(i - n + 33)));
        phase = (phase + d) & kPhaseMask;
    }
    TonePhase = static_cast<int32_t>(phase);
}

// A tone shorter than 63 samples, where rise and fall overlap: both apply.
void Keyer::RenderShortTone(int16_t* out, int64_t n, int64_t written) {
    const uint32_t d = static_cast<uint32_t>(phaseIncrement_);
    uint32_t phase = 0;
    for (int64_t i = 1; i <= written; ++i) {
        int32_t s = TableSample(phase);
        if (i < 32) {
            s = Attenuate(s, static_cast<int>(33 - i));
        }
        if (i > n - 32) {
            s = Attenuate(s, static_cast<int>(i - n + 33));
        }
        out[i - 1] = static_cast<int16_t>(s);
        phase = (phase + d) & kPhaseMask;
    }
    TonePhase = static_cast<int32_t>(phase);
}

}  // namespace vantrel
