#include "trainer/InterferenceControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "tests/signal/CoreTestParts.h"

namespace vantrel {
namespace {

using audio::VirtualWaveSystem;
using signal::testing::WaitUntil;
using Samples = std::vector<int16_t>;

class InterferenceControlsTest : public ::testing::Test {
  protected:
    // The left channel of what `stream` played so far; both channels carry the same.
    Samples LeftChannel(std::size_t stream) {
        Samples all = system.PlayedSamples(stream);
        Samples left;
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

// Each box plays its source on its own output (the noise the same at every tick), and clearing
// it closes that output.
TEST_F(InterferenceControlsTest, EachBoxPlaysItsSourceOnItsOwnStream) {
    for (int run = 0; run < 3; ++run) {  // the tone, then the noise twice
        SCOPED_TRACE(run);
        const bool tone = run == 0;
        tone ? controls.CheckBox3Click(true) : controls.CheckBox2Click(true);
        signal::TALAudioOut& out = tone ? controls.ALAudioOut1() : controls.ALAudioOut2();
        EXPECT_TRUE(out.Opened());
        EXPECT_EQ(system.OpenStreams(), 1);
        const std::size_t stream = system.StreamCount() - 1;
        system.Advance(2048);
        ASSERT_TRUE(WaitUntil([&] { return out.QueuedBuffers() == 2; }));
        const Samples left = LeftChannel(stream);
        ASSERT_EQ(left.size(), 2048u);
        // The first frames and those of the second buffer.
        Samples seen(left.begin(), left.begin() + 4);
        seen.insert(seen.end(), left.begin() + 1024, left.begin() + 1028);
        const Samples expected =
            tone ? Samples{20000, 16371, 12743, 9115, -15192, -18820, -17550, -13922}
                 : Samples{-7689, 2982, 3819, 5469, 3176, 22263, -11221, -3253};
        EXPECT_EQ(seen, expected);
        tone ? controls.CheckBox3Click(false) : controls.CheckBox2Click(false);
        ASSERT_TRUE(WaitUntil([&] {
            system.Advance(256);
            return out.Idle();
        }));
        EXPECT_EQ(system.OpenStreams(), 0);
    }
}

// The levels' defaults and that the bar sets both are the window suite's; level 0 silences both
// sources without switching them off.
TEST_F(InterferenceControlsTest, LevelZeroSilencesBothSourcesWithoutSwitchingThemOff) {
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
        const Samples played = system.PlayedSamples(stream);
        EXPECT_EQ(std::count(played.begin(), played.end(), 0), std::ssize(played)) << stream;
    }
}

int OpenDescriptors() {
    std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// Extreme toggling of both boxes against a device that plays in real time: no toggle holds up
// the window, and once both boxes are cleared no stream and no descriptor is left.
TEST(InterferenceTogglingTest, TwoThousandTogglesEndWithNothingOpenAndNoToggleBlocks) {
    using Clock = std::chrono::steady_clock;
    VirtualWaveSystem system(VirtualWaveSystem::Clock::RealTime);
    const int descriptors = OpenDescriptors();
    Clock::duration longest{};
    {
        InterferenceControls controls(system, signal::TSLClockService::Instance(),
                                      InterferenceControls::Switching::Background);
        std::mt19937 random(2000);
        std::uniform_int_distribution<int> pauseUs(0, 400);
        bool noise = false, tone = false;
        for (int i = 0; i < 2000; ++i) {
            const auto began = Clock::now();
            controls.CheckBox2Click(noise = !noise);
            controls.CheckBox3Click(tone = (random() % 3 == 0) ? tone : !tone);
            longest = std::max(longest, Clock::now() - began);
            std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
        }
        controls.CheckBox2Click(false);
        controls.CheckBox3Click(false);
        controls.Settle();
        EXPECT_FALSE(controls.ALGaussGen1().Running());
        EXPECT_FALSE(controls.ALSignalGen1().Running());
        EXPECT_TRUE(signal::testing::WaitUntil([&] {
            return controls.ALAudioOut1().Idle() && controls.ALAudioOut2().Idle() &&
                   system.OpenStreams() == 0;
        })) << "operations waiting: "
            << controls.ALAudioOut1().WaitingOperations() << ", "
            << controls.ALAudioOut2().WaitingOperations();
        EXPECT_GT(system.StreamCount(), 2u);  // the sources did play in between
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
    // A handler only notes the wish; even a busy machine answers it in a few milliseconds.
    EXPECT_LT(longest, std::chrono::milliseconds(50));
}

}  // namespace
}  // namespace vantrel
