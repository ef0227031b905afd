#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "signal/ALAudioBuffer.h"
#include "signal/ALGaussGen.h"
#include "signal/ALKernels.h"
#include "signal/ALSignalGen.h"
#include "signal/OWPins.h"

namespace vantrel::signal {
namespace {

using Samples = std::vector<int16_t>;

// Claims the pacing like an audio output, pulls blocks on request and keeps every block it
// receives (channel by channel).
class BlockCollector : public TOWComponent {
  public:
    BlockCollector()
        : TOWComponent("Collector"),
          input(this, "InputPin",
                TOWSinkPin::Handler(
                    [this](TOWSinkPin&, const TOWOperationPtr& op) { return Handle(op); })) {}

    void Pump() { input.NotifyUpstream(std::make_shared<TOWMasterPumpOperation>(this)); }

    size_t BlockCount() const {
        std::lock_guard lock(mutex_);
        return blocks_.size();
    }
    Samples Channel(size_t block, uint32_t channel) const {
        std::lock_guard lock(mutex_);
        auto access = blocks_.at(block)->AudioAccess();
        Samples samples(access->FrameCount());
        for (size_t k = 0; k < samples.size(); ++k) {
            samples[k] = static_cast<int16_t>(access->Sample(k, channel));
        }
        return samples;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        blocks_.clear();
    }

    TALOWAudioSinkPin input;
    int preFill = 2;

  private:
    bool Handle(const TOWOperationPtr& op) {
        if (auto* request = op->As<TOWPumpRequestOperation>()) {
            request->Pumper = this;
            request->ClaimLevel = TOWPumpRequestOperation::kClaimed;
        } else if (op->Is<TOWStartPumpOperation>()) {
            for (int i = 0; i < preFill; ++i) {
                Pump();
            }
        } else if (auto* supplied = op->As<TOWSuppliedBufferOperation>()) {
            std::lock_guard lock(mutex_);
            blocks_.push_back(TALAudioBuffer::CreateFrom(*supplied->Buffer));
        }
        return true;
    }

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<TALAudioBuffer>> blocks_;
};

Samples Head(const Samples& samples, size_t n) {
    return {samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(n)};
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

    // Blocks of channel 0 from one run of `blocks` blocks.
    std::vector<Samples> Run(int blocks) {
        out.Clear();
        out.preFill = blocks;
        gen.SetEnabled(true);
        gen.SetEnabled(false);
        std::vector<Samples> result;
        for (size_t b = 0; b < out.BlockCount(); ++b) {
            result.push_back(out.Channel(b, 0));
        }
        return result;
    }

    BlockCollector out;
    TALSignalGen gen{"ALSignalGen1"};
};

TEST_F(SignalGenTest, ProgramSettingsGiveTheKnownTriangleOnEveryChannel) {
    const auto blocks = Run(2);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(Head(blocks[0], 8), (Samples{20000, 16371, 12743, 9115, 5487, 1859, -1768, -5396}));
    EXPECT_EQ(Head(blocks[1], 4), (Samples{-15192, -18820, -17550, -13922}));
    EXPECT_EQ(out.Channel(0, 1), blocks[0]);
    EXPECT_EQ(out.Channel(1, 1), blocks[1]);
    EXPECT_EQ(blocks[0].size(), 1024u);
}

TEST_F(SignalGenTest, EveryRunRestartsFromPhase) {
    const auto first = Run(3);
    const auto second = Run(3);
    EXPECT_EQ(first, second);
    gen.SetPhase(1.5f);
    const auto shifted = Run(1);
    Samples expected(1024);
    float phase = 1.5f;
    TriangleBlock(expected.data(), 1024, 20000, static_cast<float>(500.0 / 11025.0), 0.0f, &phase);
    EXPECT_EQ(shifted.at(0), expected);
}

TEST_F(SignalGenTest, ZeroAmplitudeIsSilentForEveryType) {
    gen.SetAmplitude(0);
    for (auto type : {TALSignalType::atTone, TALSignalType::atTriangle, TALSignalType::atSquare}) {
        gen.SetSignalType(type);
        for (const auto& block : Run(2)) {
            EXPECT_EQ(block, Samples(1024, 0)) << static_cast<int>(type);
        }
    }
}

TEST_F(SignalGenTest, ChangesWhileRunningContinueTheWaveformWithoutAPhaseJump) {
    out.preFill = 1;
    gen.SetEnabled(true);
    gen.SetAmplitude(10000);
    gen.SetAsymmetry(1.0);
    out.Pump();
    gen.SetEnabled(false);
    ASSERT_EQ(out.BlockCount(), 2u);

    Samples expected(1024);
    float phase = 2.7640417f;  // where the first block left the waveform
    TriangleBlock(expected.data(), 1024, 10000, static_cast<float>(500.0 / 11025.0), 1.0f, &phase);
    EXPECT_EQ(out.Channel(1, 0), expected);
}

TEST_F(SignalGenTest, SquareSwitchedOnWhileRunningStaysInStepWithThePhase) {
    out.preFill = 1;
    gen.SetEnabled(true);
    gen.SetSignalType(TALSignalType::atSquare);
    out.Pump();
    gen.SetEnabled(false);
    ASSERT_EQ(out.BlockCount(), 2u);

    // High in the first half of each period, low in the second, from the running phase.
    const Samples block = out.Channel(1, 0);
    const double relFreq = static_cast<float>(500.0 / 11025.0);
    for (size_t k = 0; k < block.size(); ++k) {
        const double alpha =
            std::fmod(2.7640417 + kTwoPi * relFreq * static_cast<double>(k), kTwoPi);
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
        for (const auto& block : Run(2)) {
            EXPECT_EQ(block, Samples(1024, 0)) << static_cast<int>(type);
        }
        gen.SetFrequency(500.0);
        const auto blocks = Run(1);
        EXPECT_NE(blocks.at(0), Samples(1024, 0)) << static_cast<int>(type);
    }
}

TEST_F(SignalGenTest, PropertiesAreKeptInTheirRanges) {
    gen.SetAmplitude(-5);
    EXPECT_EQ(gen.Amplitude(), 0);
    gen.SetAmplitude(40000);
    EXPECT_EQ(gen.Amplitude(), 32767);
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
    const auto blocks = Run(1);
    EXPECT_EQ(blocks.at(0), Samples(1024, 32767));
}

TEST(GaussGen, SeedFiveHundredGivesTheKnownNoiseAndRestartsWithIt) {
    BlockCollector out;
    TALGaussGen gen("ALGaussGen1");
    gen.SetEnabled(false);
    gen.SetSeed(500);
    ASSERT_TRUE(gen.OutputPin().Connect(out.input));

    out.preFill = 1;
    gen.SetEnabled(true);
    EXPECT_EQ(gen.RandomState(), 1743943732u);
    out.Pump();
    out.Pump();
    gen.SetEnabled(false);
    ASSERT_EQ(out.BlockCount(), 3u);
    EXPECT_EQ(Head(out.Channel(0, 0), 4), (Samples{-7689, 2982, 3819, 5469}));
    EXPECT_EQ(out.Channel(0, 1), out.Channel(0, 0));
    EXPECT_EQ(Head(out.Channel(1, 0), 4), (Samples{3176, 22263, -11221, -3253}));

    gen.SetEnabled(true);
    out.Pump();
    out.Pump();
    gen.SetEnabled(false);
    ASSERT_EQ(out.BlockCount(), 6u);
    for (size_t b = 0; b < 3; ++b) {
        EXPECT_EQ(out.Channel(b + 3, 0), out.Channel(b, 0)) << b;
    }
}

TEST(GaussGen, ZeroDeviationGivesTheLow16BitsOfTheMean) {
    BlockCollector out;
    TALGaussGen gen;
    gen.SetEnabled(false);
    gen.SetStdDev(0);
    gen.SetMean(65536 + 1200);
    ASSERT_TRUE(gen.OutputPin().Connect(out.input));
    gen.SetEnabled(true);
    gen.SetEnabled(false);
    ASSERT_GE(out.BlockCount(), 1u);
    EXPECT_EQ(out.Channel(0, 0), Samples(1024, 1200));
}

// Setters on one thread, blocks pulled on another: every block comes from one parameter set.
TEST(GeneratorThreads, BlocksNeverMixTwoParameterSets) {
    BlockCollector signalOut, noiseOut;
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
        ASSERT_GE(out->BlockCount(), static_cast<size_t>(kPumps));
        for (size_t b = 0; b < out->BlockCount(); ++b) {
            const Samples block = out->Channel(b, 0);
            ASSERT_FALSE(block.empty());
            for (int16_t sample : block) {
                ASSERT_EQ(sample, block.front()) << "block " << b;
            }
        }
    }
}

}  // namespace
}  // namespace vantrel::signal
