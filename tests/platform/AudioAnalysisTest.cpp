#include "tests/platform/AudioAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace vantrel::audio::test {
namespace {

constexpr double kRate = 22050.0;

// Keys `pattern` (".", "-", " " = one dot of silence) as a sine of `hz` with a dot of `dotMs`,
// plus a little reproducible noise.
std::vector<int16_t> Key(const std::string& pattern, double hz, double dotMs, unsigned seed = 7) {
    const auto dot = static_cast<std::size_t>(kRate * dotMs / 1000.0);
    std::vector<int16_t> out(dot * 4, 0);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 200.0);
    double phase = 0.0;
    auto emit = [&](std::size_t n, bool on) {
        for (std::size_t i = 0; i < n; ++i) {
            phase += 2 * std::numbers::pi * hz / kRate;
            out.push_back(
                static_cast<int16_t>((on ? 12000.0 * std::sin(phase) : 0.0) + noise(random)));
        }
    };
    for (char c : pattern) {
        if (c == ' ') {
            emit(dot, false);
        } else {
            emit(c == '.' ? dot : 3 * dot, true);
            emit(dot, false);
        }
    }
    out.insert(out.end(), dot * 4, 0);
    return out;
}

// "PARIS 73": a character gap is 3 dots, a word gap 5.
const std::string kParis73 = ".--.  .-  .-.  ..  ...    --...  ...--";

TEST(AudioAnalysisTest, LevelAndPitchOfASteadySineAreExact) {
    std::vector<int16_t> sine(22050);
    for (std::size_t i = 0; i < sine.size(); ++i) {
        sine[i] = static_cast<int16_t>(10000 * std::sin(2 * std::numbers::pi * 812.5 * i / kRate));
    }
    EXPECT_NEAR(Rms(sine), 10000 / std::sqrt(2.0), 5.0);
    EXPECT_NEAR(FundamentalHz(sine, kRate), 812.5, 0.05);
    EXPECT_EQ(Rms({}), 0.0);
    EXPECT_EQ(FundamentalHz(std::vector<int16_t>(100, 0), kRate), 0.0);
}

TEST(AudioAnalysisTest, KeyedTextDecodesBackWithItsPitchAtEverySpeed) {
    for (double dotMs : {40.0, 60.0, 120.0}) {
        const auto signal = Key(kParis73, 800.0, dotMs);
        const auto segments = SegmentOnOff(signal, kRate);
        EXPECT_EQ(DecodeMorse(segments), "PARIS 73") << "dot " << dotMs << " ms";
        EXPECT_NEAR(ToneFrequencyHz(signal, segments, kRate, 40), 800.0, 1.0);
    }
}

TEST(AudioAnalysisTest, AGapInsideATonesBreaksItIntoTwoElements) {
    auto signal = Key("-", 800.0, 60.0);
    const std::size_t dot = static_cast<std::size_t>(kRate * 0.06);
    const std::size_t middle = dot * 4 + dot * 3 / 2;
    std::fill(signal.begin() + middle, signal.begin() + middle + 200, 0);  // 9 ms dropout
    const auto segments = SegmentOnOff(signal, kRate);
    EXPECT_EQ(std::count_if(segments.begin(), segments.end(), [](auto& s) { return s.on; }), 2);
    EXPECT_NE(DecodeMorse(segments), "T");
}

TEST(AudioAnalysisTest, SilenceHasNoSegmentsOfToneAndDecodesToNothing) {
    const std::vector<int16_t> silence(5000, 0);
    const auto segments = SegmentOnOff(silence, kRate);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_FALSE(segments[0].on);
    EXPECT_EQ(DecodeMorse(segments), "");
}

}  // namespace
}  // namespace vantrel::audio::test
