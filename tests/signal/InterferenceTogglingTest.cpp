// Extreme toggling of both noise boxes against a device that plays in real time: no toggle
// holds up the window, and once both boxes are cleared no stream and no descriptor is left.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <random>
#include <thread>

#include "platform/audio/VirtualWaveOut.h"
#include "tests/signal/OutputTestSupport.h"
#include "trainer/InterferenceControls.h"

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;

int OpenDescriptors() {
    std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

TEST(InterferenceTogglingTest, TwoThousandTogglesEndWithNothingOpenAndNoToggleBlocks) {
    audio::VirtualWaveSystem system(audio::VirtualWaveSystem::Clock::RealTime);
    const int descriptors = OpenDescriptors();
    Clock::duration longest{};
    {
        InterferenceControls controls(system, signal::TSLClockService::Instance(),
                                      InterferenceControls::Switching::Background);
        std::mt19937 random(2000);
        std::uniform_int_distribution<int> pauseUs(0, 400);
        bool noise = false;
        bool tone = false;
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
