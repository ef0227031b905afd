#include "trainer/Keyer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace vantrel {
namespace {

constexpr int kLoudest = 0;  // VolTrackBar position of level 8

// Renders `c` into a buffer of exactly its length, checking the returned byte count.
std::vector<int16_t> Render(Keyer& keyer, uint8_t c) {
    std::vector<int16_t> samples(Keyer::kMaxCharacterSamples, 12345);
    const int bytes = keyer.RenderCharacter(samples.data(), samples.size(), c);
    EXPECT_EQ(static_cast<std::size_t>(bytes), 2 * keyer.CharacterSamples(c)) << int(c);
    samples.resize(bytes / 2);
    return samples;
}

// The tone algorithm sample by sample, straight from its description: both envelope steps
// wherever they apply, the phase starting at zero for every element.
void ReferenceTone(const Keyer& keyer, std::vector<int16_t>& out, int64_t n) {
    uint32_t phase = 0;
    for (int64_t i = 1; i <= n; ++i) {
        int32_t s = keyer.SineTable()[phase >> 15];
        for (int64_t k = 0; i < 32 && k < 33 - i; ++k) {
            s = s * 8 / 9;
        }
        for (int64_t k = 0; i > n - 32 && k < i - n + 33; ++k) {
            s = s * 8 / 9;
        }
        out.push_back(static_cast<int16_t>(s));
        phase = (phase + static_cast<uint32_t>(keyer.PhaseIncrement())) & Keyer::kPhaseMask;
    }
}

std::vector<int16_t> ReferenceCharacter(const Keyer& keyer, uint8_t c) {
    std::vector<int16_t> out;
    const int64_t dot = keyer.DotLength();
    for (char symbol : MorseCode(c)) {
        ReferenceTone(keyer, out, symbol == '-' ? 3 * dot : dot);
        out.insert(out.end(), dot, 0);
    }
    out.insert(out.end(), (keyer.Spacing() + 2) * dot, 0);
    return out;
}

Keyer MakeKeyer(int speed, int spacing, int pitchPosition, int volumePosition) {
    Keyer keyer;
    keyer.SetSpeed(speed);
    keyer.SetSpacing(spacing);
    keyer.SetPitchPosition(pitchPosition);
    keyer.SetVolumePosition(volumePosition);
    return keyer;
}

TEST(MorseCodeTest, TableHoldsEightyOneCodesWithSharedPatterns) {
    std::string table;
    int dots = 0;
    for (int c = 0; c < 256; ++c) {
        const auto code = static_cast<uint8_t>(c);
        if (!MorseCode(code).empty()) {
            table += (c < 128 ? std::string(1, static_cast<char>(c)) : "") +
                     std::string(MorseCode(code)) + " ";
            dots += MorseDots(code);
            EXPECT_TRUE(c >= 33 && c <= 223 && c != 0xDA) << c;
        }
    }
    EXPECT_EQ(table,
              "!.-... #-.--. $...-.- %...-. &-.-.- *...-.- +.-.-. ,--..-- --....- ..-.-.- /-..-. "
              "0----- 1.---- 2..--- 3...-- 4....- 5..... 6-.... 7--... 8---.. 9----. =-...- "
              "?..--.. @.-.- A.- B-... C-.-. D-.. E. F..-. G--. H.... I.. J.--- K-.- L.-.. M-- "
              "N-. O--- P.--. Q--.- R.-. S... T- U..- V...- W.-- X-..- Y-.-- Z--.. "
              // А to Я without Ъ
              ".- -... .-- --. -.. . ...- --.. .. .--- -.- .-.. -- -. --- .--. .-. ... - ..- ..-. "
              ".... -.-. ---. ---- --.- -.-- -..- ..-.. ..-- .-.- ");
    EXPECT_EQ(dots, 908);
    // Characters with one pattern share one string.
    EXPECT_EQ(MorseCode('$').data(), MorseCode('*').data());
    EXPECT_EQ(MorseCode('A').data(), MorseCode(0xC0).data());
    EXPECT_EQ(MorseCode('@').data(), MorseCode(0xDF).data());
}

TEST(KeyerTest, SineTablePeakGrowsByOneEighthOfFullScalePerLevel) {
    const int expected[9] = {0, 4096, 8192, 12288, 16384, 20479, 24575, 28671, 32767};
    Keyer keyer;
    for (int level = 0; level <= 8; ++level) {
        keyer.SetVolumePosition(8 - level);
        EXPECT_EQ(keyer.VolumeLevel(), level);
        EXPECT_EQ(keyer.SineTable()[8192], expected[level]) << level;
        EXPECT_EQ(keyer.SineTable()[24576], -expected[level]) << level;
    }
    keyer.SetVolumePosition(8);
    EXPECT_EQ(std::count(keyer.SineTable().begin(), keyer.SineTable().end(), 0),
              std::ssize(keyer.SineTable()));
    keyer.SetVolumePosition(kLoudest);
    std::vector<int16_t> raw;
    for (int k = 0; k < 8; ++k) {
        raw.push_back(keyer.SineTable()[k * 4096]);
    }
    EXPECT_EQ(raw, (std::vector<int16_t>{0, 23170, 32767, 23170, 0, -23170, -32767, -23170}));
}

TEST(KeyerTest, PhaseIncrementRoundsToNearestEven) {
    Keyer keyer;
    EXPECT_EQ(keyer.ToneFrequency(), 1000.0L);
    const std::pair<int, int32_t> cases[] = {{4, 53687091},   {5, 67108864},   {8, 107374182},
                                             {10, 134217728}, {15, 201326592}, {16, 214748365}};
    for (const auto& [position, increment] : cases) {
        keyer.SetPitchPosition(position);
        EXPECT_EQ(keyer.ToneFrequency(), 100.0L * position);
        EXPECT_EQ(keyer.PhaseIncrement(), increment) << position;
    }
}

TEST(KeyerTest, DotAtTwelveGroupsPerMinuteMatchesReferenceSamples) {
    Keyer keyer = MakeKeyer(12, 0, 10, kLoudest);
    const std::vector<int16_t> e = Render(keyer, 'E');
    ASSERT_EQ(e.size(), 3200u);
    using Samples = std::vector<int16_t>;
    EXPECT_EQ(Samples(e.begin(), e.begin() + 8),
              (Samples{0, 598, 952, 758, 0, -960, -1528, -1216}));
    EXPECT_EQ(e[30], -25889);   // sample 31: two steps
    EXPECT_EQ(e[31], -23170);   // sample 32: full amplitude
    EXPECT_EQ(e[767], -23170);  // sample n - 32: untouched by the fall
    EXPECT_EQ(Samples(e.begin() + 796, e.begin() + 800), (Samples{0, -598, -752, -472}));
    EXPECT_EQ(Samples(e.begin() + 800, e.end()), Samples(2400, 0));
}

// Every character agrees with the reference model, which fixes the plan (element order and
// lengths, gaps) and every sample value. Parameters: speed, spacing.
class KeyerPlanTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(KeyerPlanTest, EveryCharacterMatchesTheReferenceModel) {
    const auto [speed, spacing] = GetParam();
    Keyer keyer = MakeKeyer(speed, spacing, 4 + speed % 13, speed % 3);
    for (int c = 0; c < 256; ++c) {
        const auto code = static_cast<uint8_t>(c);
        const std::vector<int16_t> samples = Render(keyer, code);
        ASSERT_EQ(samples.size(),
                  static_cast<std::size_t>(MorseDots(code) + spacing + 2) * keyer.DotLength());
        ASSERT_TRUE(samples == ReferenceCharacter(keyer, code)) << "character " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(SpeedsAndSpacings, KeyerPlanTest,
                         ::testing::Values(std::pair{7, 7}, std::pair{13, 0}));

TEST(KeyerTest, DotLengthIsNineThousandSixHundredDivSpeedAtEverySpeed) {
    Keyer keyer;
    for (int speed = 3; speed <= 30; ++speed) {
        keyer.SetSpeed(speed);
        EXPECT_EQ(keyer.DotLength(), 9600 / speed) << speed;
    }
    // Settings outside their ranges are brought to the nearest end.
    keyer = MakeKeyer(0, 9, 100, -3);  // volume -3 would overflow the 16-bit table
    EXPECT_EQ(keyer.DotLength(), 3200);
    EXPECT_EQ(keyer.Spacing(), 7);
    EXPECT_EQ(keyer.ToneFrequency(), 1600.0L);
    EXPECT_EQ(keyer.SineTable()[8192], 32767);
    keyer.SetSpeed(50);
    keyer.SetSpacing(-1);
    EXPECT_EQ(keyer.DotLength(), 320);
    EXPECT_EQ(keyer.Spacing(), 0);
    // The drills key at their own ranges, 10..60 and 10..100 groups per minute.
    using enum SpeedRange;
    const std::tuple<SpeedRange, int, int> cases[] = {{CharacterDrill, 9, 960},
                                                      {CharacterDrill, 61, 160},
                                                      {Sprint, 9, 960},
                                                      {Sprint, 101, 96},
                                                      {Run, 100, 320}};
    for (auto [range, speed, dot] : cases) {
        keyer.SetSpeed(speed, range);
        EXPECT_EQ(keyer.DotLength(), dot) << speed;
    }
    keyer.SetSpeed(100, Sprint);  // E: a dot, its gap and the two-dot character gap
    EXPECT_EQ(Render(keyer, 'E'), ReferenceCharacter(keyer, 'E'));
    EXPECT_EQ(Render(keyer, 'E').size(), 4u * 96);
}

TEST(KeyerTest, LongestCharacterFitsTheMaximumAndCapacityCutsLongerRenders) {
    Keyer keyer = MakeKeyer(3, 7, 16, kLoudest);
    std::size_t longest = 0;
    for (int c = 0; c < 256; ++c) {
        longest = std::max(longest, keyer.CharacterSamples(static_cast<uint8_t>(c)));
    }
    EXPECT_EQ(longest, Keyer::kMaxCharacterSamples);
    EXPECT_EQ(keyer.CharacterSamples('0'), 92800u);
    EXPECT_EQ(keyer.CharacterSamples(','), 92800u);

    const std::vector<int16_t> full = Render(keyer, '0');
    // Cuts inside the rise, inside a steady tone, inside the fall and inside a gap.
    for (std::size_t capacity : {0u, 10u, 5000u, 9575u, 9600u + 1000u, 50000u}) {
        std::vector<int16_t> buffer(capacity + 64, 777);
        const int bytes = keyer.RenderCharacter(buffer.data(), capacity, '0');
        EXPECT_EQ(bytes, static_cast<int>(2 * capacity));
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + capacity, full.begin()))
            << capacity;
        EXPECT_EQ(std::count(buffer.begin() + capacity, buffer.end(), 777), 64) << capacity;
    }
}

}  // namespace
}  // namespace vantrel
