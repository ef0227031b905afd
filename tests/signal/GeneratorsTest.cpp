#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "signal/ALGaussGen.h"
#include "signal/ALKernels.h"
#include "signal/ALSignalGen.h"
#include "tests/signal/CoreTestParts.h"

namespace vantrel::signal {
namespace {

using Samples = std::vector<int16_t>;
using testing::ChannelOf;
using testing::PumpMaster;
const float kRelFreq = static_cast<float>(500.0 / 11025.0);

// Blocks of channel 0 from one run of `blocks` blocks of `gen` into `out`.
std::vector<Samples> RunOf(TALCommonGen& gen, PumpMaster& out, int blocks) {
    out.Clear();
    out.preFill = blocks;
    gen.SetEnabled(true);
    gen.SetEnabled(false);
    return ChannelOf(out, 0);
}

Samples Triangle(int16_t magnitude, float asymmetry, float phase) {
    Samples block(1024);
    TriangleBlock(block.data(), 1024, magnitude, kRelFreq, asymmetry, &phase);
    return block;
}

// The interfering tone as the program sets it up.
class SignalGenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gen.SetEnabled(false);
        gen.SetSignalType(TALSignalType::atTriangle);
        gen.SetAmplitude(20000);
        gen.SetFrequency(500.0);
        ASSERT_TRUE(gen.OutputPin().Connect(out.input));
    }
    std::vector<Samples> Run(int blocks) { return RunOf(gen, out, blocks); }
    // The second block of a run, after `change` was made during the first.
    Samples SecondBlockAfter(const std::function<void()>& change) {
        out.preFill = 1;
        gen.SetEnabled(true);
        change();
        out.Pump();
        gen.SetEnabled(false);
        const std::vector<Samples> blocks = ChannelOf(out, 0);
        EXPECT_EQ(blocks.size(), 2u);
        return blocks.back();
    }

    PumpMaster out{"Out", 2};
    TALSignalGen gen{"ALSignalGen1"};
};

TEST_F(SignalGenTest, EveryRunRestartsFromPhase) {
    EXPECT_EQ(Run(3), Run(3));
    gen.SetPhase(1.5f);
    EXPECT_EQ(Run(1).at(0), Triangle(20000, 0.0f, 1.5f));
}

TEST_F(SignalGenTest, ChangesWhileRunningContinueTheWaveformWithoutAPhaseJump) {
    const Samples second = SecondBlockAfter([this] {
        gen.SetAmplitude(10000);
        gen.SetAsymmetry(1.0);
    });
    // 2.7640417 is where the first block left the waveform.
    EXPECT_EQ(second, Triangle(10000, 1.0f, 2.7640417f));
}

TEST_F(SignalGenTest, SquareSwitchedOnWhileRunningStaysInStepWithThePhase) {
    const Samples block = SecondBlockAfter([this] { gen.SetSignalType(TALSignalType::atSquare); });
    // High in the first half of each period, low in the second, from the running phase.
    for (size_t k = 0; k < block.size(); ++k) {
        const double alpha =
            std::fmod(2.7640417 + kTwoPi * kRelFreq * static_cast<double>(k), kTwoPi);
        if (alpha > 0.1 && alpha < 3.0) {
            ASSERT_EQ(block[k], 20000) << k;
        } else if (alpha > 3.3 && alpha < 6.2) {
            ASSERT_EQ(block[k], -20000) << k;
        }
    }
}

TEST_F(SignalGenTest, UnplayableFrequencyGivesSilenceAndRecovers) {
    for (auto type : {TALSignalType::atTone, TALSignalType::atTriangle, TALSignalType::atSquare}) {
        gen.SetSignalType(type);
        gen.SetFrequency(6000.0);  // above half of 11025
        EXPECT_EQ(Run(2), std::vector<Samples>(2, Samples(1024, 0))) << static_cast<int>(type);
        gen.SetFrequency(500.0);
        EXPECT_NE(Run(1).at(0), Samples(1024, 0)) << static_cast<int>(type);
    }
}

TEST_F(SignalGenTest, PropertiesAreKeptInTheirRanges) {
    gen.SetAmplitude(-5);
    EXPECT_EQ(gen.Amplitude(), 0);
    gen.SetFrequency(-100.0);
    EXPECT_EQ(gen.Frequency(), 0.0);
    EXPECT_EQ(gen.FrequencyPin().Value(), 0.0f);
    gen.SetAsymmetry(10.0);
    EXPECT_EQ(gen.Asymmetry(), TALSignalGen::kHalfPeriod);
    gen.SetAsymmetry(-10.0);
    EXPECT_EQ(gen.Asymmetry(), -TALSignalGen::kHalfPeriod);

    // A clamped amplitude plays at full scale rather than wrapping; frequency 0 holds +M at
    // phase 0, and the extreme asymmetry is still accepted by the triangle.
    gen.SetAmplitude(40000);
    EXPECT_EQ(gen.Amplitude(), 32767);
    EXPECT_EQ(Run(1).at(0), Samples(1024, 32767));
}

TEST(GaussGen, ZeroDeviationGivesTheLow16BitsOfTheMean) {
    PumpMaster out("Out");
    TALGaussGen gen;
    gen.SetEnabled(false);
    gen.SetStdDev(0);
    gen.SetMean(65536 + 1200);
    ASSERT_TRUE(gen.OutputPin().Connect(out.input));
    EXPECT_EQ(RunOf(gen, out, 1).at(0), Samples(1024, 1200));
}

// Setters on one thread, blocks pulled on another: every block comes from one parameter set.
TEST(GeneratorThreads, BlocksNeverMixTwoParameterSets) {
    PumpMaster signalOut("Tone", 2), noiseOut("Noise", 2);
    TALSignalGen tone;
    TALGaussGen noise;
    tone.SetEnabled(false);
    noise.SetEnabled(false);
    tone.SetSignalType(TALSignalType::atTriangle);
    tone.SetFrequency(0.0);  // a constant block of +Amplitude
    noise.SetStdDev(0);      // a constant block of Mean
    ASSERT_TRUE(tone.OutputPin().Connect(signalOut.input));
    ASSERT_TRUE(noise.OutputPin().Connect(noiseOut.input));
    tone.SetEnabled(true);
    noise.SetEnabled(true);

    constexpr int kPumps = 300;
    std::atomic<bool> done{false};
    std::thread pumper([&] {
        for (int i = 0; i < kPumps; ++i) {
            signalOut.Pump();
            noiseOut.Pump();
        }
        done.store(true);
    });
    for (int i = 0; !done.load(); ++i) {
        tone.SetAmplitude(i % 2 == 0 ? 1000 : 2000);
        noise.SetMean(i % 2 == 0 ? 100 : 200);
        if (i % 50 == 0) {
            tone.AudioFormat().SetBufferSize(i % 100 == 0 ? 256 : 1024);
        }
    }
    pumper.join();
    tone.SetEnabled(false);
    noise.SetEnabled(false);

    for (auto* out : {&signalOut, &noiseOut}) {
        const std::vector<Samples> blocks = ChannelOf(*out, 0);
        ASSERT_GE(blocks.size(), static_cast<size_t>(kPumps));
        for (size_t b = 0; b < blocks.size(); ++b) {
            ASSERT_FALSE(blocks[b].empty());
            ASSERT_EQ(blocks[b], Samples(blocks[b].size(), blocks[b].front())) << "block " << b;
        }
    }
}

}  // namespace
}  // namespace vantrel::signal
