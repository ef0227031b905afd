#include "trainer/InterferenceControls.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "tests/signal/CoreTestParts.h"

namespace vantrel {
namespace {

using audio::VirtualWaveSystem;
using signal::testing::WaitUntil;

class InterferenceControlsTest : public ::testing::Test {
  protected:
    // The left channel of what the stream of `out` played so far.
    std::vector<int16_t> LeftChannel(std::size_t stream) {
        std::vector<int16_t> all = system.PlayedSamples(stream);
        std::vector<int16_t> left;
        for (std::size_t i = 0; i < all.size(); i += 2) {
            left.push_back(all[i]);
            EXPECT_EQ(all[i + 1], all[i]) << "frame " << i / 2;
        }
        return left;
    }

    signal::TSLManualTimeSource time;
    signal::TSLClockService clocks{time};
    VirtualWaveSystem system{VirtualWaveSystem::Clock::Manual};
    InterferenceControls controls{system, clocks};
};

TEST_F(InterferenceControlsTest, TickingTheToneBoxPlaysTheTriangleOnItsOwnStream) {
    controls.CheckBox3Click(true);
    EXPECT_TRUE(controls.ALAudioOut1().Opened());
    EXPECT_FALSE(controls.ALAudioOut2().Opened());
    const std::size_t stream = system.StreamCount() - 1;
    system.Advance(2048);
    ASSERT_TRUE(WaitUntil([&] { return controls.ALAudioOut1().QueuedBuffers() == 2; }));

    const std::vector<int16_t> left = LeftChannel(stream);
    ASSERT_EQ(left.size(), 2048u);
    EXPECT_EQ(std::vector<int16_t>(left.begin(), left.begin() + 8),
              (std::vector<int16_t>{20000, 16371, 12743, 9115, 5487, 1859, -1768, -5396}));
    EXPECT_EQ(std::vector<int16_t>(left.begin() + 1024, left.begin() + 1028),
              (std::vector<int16_t>{-15192, -18820, -17550, -13922}));

    controls.CheckBox3Click(false);
    ASSERT_TRUE(WaitUntil([&] {
        system.Advance(256);
        return controls.ALAudioOut1().Idle();
    }));
    EXPECT_EQ(system.OpenStreams(), 0);
}

TEST_F(InterferenceControlsTest, TickingTheNoiseBoxPlaysTheSameNoiseEveryTime) {
    for (int run = 0; run < 2; ++run) {
        controls.CheckBox2Click(true);
        EXPECT_TRUE(controls.ALAudioOut2().Opened());
        EXPECT_FALSE(controls.ALAudioOut1().Opened());
        const std::size_t stream = system.StreamCount() - 1;
        system.Advance(2048);
        ASSERT_TRUE(WaitUntil([&] { return controls.ALAudioOut2().QueuedBuffers() == 2; }));
        const std::vector<int16_t> left = LeftChannel(stream);
        ASSERT_EQ(left.size(), 2048u);
        EXPECT_EQ(std::vector<int16_t>(left.begin(), left.begin() + 4),
                  (std::vector<int16_t>{-7689, 2982, 3819, 5469}))
            << "run " << run;
        EXPECT_EQ(std::vector<int16_t>(left.begin() + 1024, left.begin() + 1028),
                  (std::vector<int16_t>{3176, 22263, -11221, -3253}))
            << "run " << run;
        controls.CheckBox2Click(false);
        ASSERT_TRUE(WaitUntil([&] {
            system.Advance(256);
            return controls.ALAudioOut2().Idle();
        }));
    }
}

TEST_F(InterferenceControlsTest, TheScrollBarSetsBothLevelsOnlyOnceItMoves) {
    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 9000);
    EXPECT_EQ(controls.ALSignalGen1().Amplitude(), 20000);
    controls.ScrollBar1Change(1234);
    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 1234);
    EXPECT_EQ(controls.ALSignalGen1().Amplitude(), 1234);

    // Level 0 silences both sources without switching them off.
    controls.ScrollBar1Change(0);
    controls.CheckBox2Click(true);
    controls.CheckBox3Click(true);
    EXPECT_EQ(system.OpenStreams(), 2);
    system.Advance(1024);
    ASSERT_TRUE(WaitUntil([&] {
        return controls.ALAudioOut1().QueuedBuffers() == 2 &&
               controls.ALAudioOut2().QueuedBuffers() == 2;
    }));
    for (std::size_t stream = 0; stream < system.StreamCount(); ++stream) {
        for (int16_t sample : system.PlayedSamples(stream)) {
            ASSERT_EQ(sample, 0) << "stream " << stream;
        }
    }
}

}  // namespace
}  // namespace vantrel
