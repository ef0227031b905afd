#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <thread>

#include "platform/audio/VirtualWaveOut.h"
#include "signal/ALAudioOut.h"
#include "tests/signal/CoreTestParts.h"

namespace vantrel::signal {
namespace {

using audio::VirtualWaveSystem;
using testing::RampGen;
using testing::WaitUntil;

// A chain whose blocks last well under a millisecond, so that a few seconds of real-time
// playing give thousands of finished blocks to race against.
struct FastChain {
    FastChain(VirtualWaveSystem& system, TSLClockService& clocks, const char* name)
        : out(system, name), gen(clocks, name) {
        gen.AudioFormat().SetSampleRate(96000);
        gen.AudioFormat().SetBufferSize(48);
        gen.OutputPin().Connect(out.InputPin());
    }
    TALAudioOut out;
    RampGen gen;
};

void Toggle(FastChain& chain, std::mt19937& random, int times) {
    std::uniform_int_distribution<int> pauseUs(0, 1500);
    for (int i = 0; i < times; ++i) {
        chain.gen.SetEnabled(true);
        std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
        chain.gen.SetEnabled(false);
        if (i % 3 == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
        }
    }
}

// Once everything is off: every device closed, nothing queued, and a fresh start plays again.
void ExpectSettledAndPlayable(FastChain& chain) {
    ASSERT_TRUE(WaitUntil([&] { return chain.out.Idle(); }));
    EXPECT_EQ(chain.out.QueuedBuffers(), 0u);
    chain.gen.SetEnabled(true);
    const int pumps = chain.gen.MasterPumps();
    EXPECT_TRUE(WaitUntil([&] { return chain.gen.MasterPumps() > pumps + 50; }));
    chain.gen.SetEnabled(false);
    ASSERT_TRUE(WaitUntil([&] { return chain.out.Idle(); }));
}

class ALAudioOutStressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const unsigned seed = std::random_device{}();
        random.seed(seed);
        RecordProperty("seed", static_cast<int>(seed));
        std::printf("seed %u\n", seed);
    }

    std::mt19937 random;
    TSLManualTimeSource time;
    TSLClockService clocks{time};
    VirtualWaveSystem system{VirtualWaveSystem::Clock::RealTime};
};

TEST_F(ALAudioOutStressTest, TwoSourcesToggledAtOnceWhileAThirdPlaysStayIndependent) {
    FastChain steady(system, clocks, "steady");
    FastChain tone(system, clocks, "tone");
    FastChain noise(system, clocks, "noise");
    steady.gen.SetEnabled(true);

    std::mt19937 otherRandom(random());
    std::thread other([&] { Toggle(noise, otherRandom, 200); });
    Toggle(tone, random, 200);
    other.join();

    // The steady stream kept being pulled all along and plays without a gap.
    const int pumps = steady.gen.MasterPumps();
    EXPECT_TRUE(WaitUntil([&] { return steady.gen.MasterPumps() > pumps + 50; }));
    EXPECT_TRUE(steady.out.Opened());
    steady.gen.SetEnabled(false);
    ExpectSettledAndPlayable(tone);
    ExpectSettledAndPlayable(noise);
    ASSERT_TRUE(WaitUntil([&] { return steady.out.Idle(); }));
    EXPECT_EQ(system.OpenStreams(), 0);
    EXPECT_EQ(system.QueuedHeaders(), 0);
}

TEST_F(ALAudioOutStressTest, DestroyingAPlayingOutputClosesItsDevice) {
    for (int i = 0; i < 50; ++i) {
        FastChain chain(system, clocks, "tone");
        chain.gen.SetEnabled(true);
        std::this_thread::sleep_for(std::chrono::microseconds(i * 40));
        if (i % 2 == 0) {
            chain.gen.SetEnabled(false);  // sometimes with its close still under way
        }
    }
    EXPECT_TRUE(WaitUntil([&] { return system.OpenStreams() == 0; }));
    EXPECT_EQ(system.QueuedHeaders(), 0);
}

}  // namespace
}  // namespace vantrel::signal
