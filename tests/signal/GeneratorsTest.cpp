// The generators: the frame every generator shares (pacing, start and stop, blocks, the clock
// service), and the interfering tone and noise.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "signal/ALCommonGen.h"
#include "signal/ALGaussGen.h"
#include "signal/ALKernels.h"
#include "signal/ALSignalGen.h"
#include "tests/signal/CoreTestParts.h"

namespace vantrel::signal {
namespace {

using namespace std::chrono_literals;
using namespace testing;
using Kinds = std::vector<std::string>;
using Samples = std::vector<int16_t>;

const Kinds kPumpedStart = {"PumpRequest", "PumpRequest", "StartWave", "StartPump", "Buffer",
                            "Buffer",      "Resume",      "Buffer",    "Buffer"};

class ALCommonGenTest : public ::testing::Test {
  protected:
    // Connects `sink` to the generator and starts a stream.
    void StartInto(RecordingSink& sink) {
        gen.OutputPin().Connect(sink.input);
        gen.SetEnabled(true);
    }
    // Advances the clock by whole periods and waits until `threads` clock threads are idle.
    void AdvanceBy(std::chrono::milliseconds step, size_t threads = 1) {
        time.Advance(step);
        time.WaitForSleepers(threads);
    }

    TSLManualTimeSource time;
    TSLClockService clocks{time};
    RampGen gen{clocks, "Gen"};
};

TEST_F(ALCommonGenTest, APumpedStreamStartsPrefillsAndResumesOnceAfterTheSecondBlock) {
    PumpMaster master("Out");
    StartInto(master);
    EXPECT_EQ(master.Kinds(), kPumpedStart);
    EXPECT_EQ(clocks.ClockCount(), 0u);
    EXPECT_EQ(gen.StartHooks(), 1);
    EXPECT_EQ(gen.SampleRate(), 11025.0);

    const auto* wave = master.Operations()[2]->As<TOWStartWaveOperation>();
    EXPECT_EQ(wave->BlockSize(), 1024);
    EXPECT_EQ(wave->Value(), 10.0);  // 11025 div 1024
    EXPECT_EQ(wave->Format, TALWaveFormat::Pcm(2, 11025, 16));

    for (int i = 0; i < 5; ++i)
        master.Pump();
    EXPECT_EQ(master.Count("Buffer"), 9u);
    EXPECT_EQ(master.Count("Resume"), 1u);
}

TEST_F(ALCommonGenTest, EveryChannelReceivesTheMonoBlockAndBuffersFollowTheFormat) {
    PumpMaster master("Out", 1);
    StartInto(master);
    auto access = BuffersOf(master).at(0)->AudioAccess();
    for (size_t frame : {size_t{0}, size_t{1}, size_t{1023}}) {
        EXPECT_TRUE(access->Sample(frame, 0) == static_cast<int16_t>(frame) &&
                    access->Sample(frame, 1) == static_cast<int16_t>(frame))
            << frame;
    }

    // A format change while running applies to the next block.
    gen.AudioFormat().SetBufferSize(300);
    gen.AudioFormat().SetChannels(3);
    master.Clear();
    master.Pump();
    access = BuffersOf(master).at(0)->AudioAccess();
    EXPECT_EQ(access->Channels(), 3u);
    ASSERT_EQ(access->FrameCount(), 300u);
    EXPECT_EQ(access->Sample(299, 2), 1024 + 299);

    // 8-bit formats receive the low byte of each sample.
    gen.AudioFormat().SetBits(8);
    master.Clear();
    master.Pump();
    access = BuffersOf(master).at(0)->AudioAccess();
    EXPECT_EQ(access->Sample(1, 0), (1324 + 1) & 0xff);
}

TEST_F(ALCommonGenTest, ARepeatedPumpIdIsIgnoredExceptAsTheFirstAfterAStart) {
    PumpMaster master("Out", 0);
    StartInto(master);
    const auto pump = std::make_shared<TOWMasterPumpOperation>(&master);

    // A pump from a component that is not the pump master is ignored.
    RecordingSink stranger("Stranger");
    master.input.NotifyUpstream(std::make_shared<TOWMasterPumpOperation>(&stranger));
    EXPECT_EQ(master.Count("Buffer"), 0u);

    master.input.NotifyUpstream(pump);
    master.input.NotifyUpstream(pump);
    EXPECT_EQ(master.Count("Buffer"), 1u);

    gen.SetEnabled(false);
    gen.SetEnabled(true);
    master.input.NotifyUpstream(pump);  // the same id, but the first after a start
    master.input.NotifyUpstream(pump);
    EXPECT_EQ(master.Count("Buffer"), 2u);
}

// A generator enabled while unconnected never starts, not even when a sink comes later; once
// connected, disabling ends its stream and enabling starts a fresh one.
TEST_F(ALCommonGenTest, OnlyAConnectedGeneratorStartsAndDisablingEndsItsStream) {
    gen.SetEnabled(true);
    PumpMaster master("Out");
    gen.OutputPin().Connect(master.input);
    EXPECT_TRUE(master.Kinds().empty());
    EXPECT_FALSE(gen.Running());

    gen.SetEnabled(false);
    master.Clear();
    gen.SetEnabled(true);
    EXPECT_EQ(gen.StartHooks(), 1);
    master.Clear();
    gen.SetEnabled(false);
    EXPECT_EQ(master.Kinds(), Kinds{"EndStop"});
    EXPECT_FALSE(gen.Running());
    EXPECT_FALSE(gen.EnablePin().Value());
    master.Pump();
    EXPECT_EQ(master.Count("Buffer"), 0u);

    master.Clear();
    gen.SetEnabled(true);
    EXPECT_EQ(master.Kinds(), kPumpedStart);
    EXPECT_EQ(gen.StartHooks(), 2);
    // A stop sent upstream by a sink also ends the stream.
    master.input.NotifyUpstream(std::make_shared<TOWEndStopOperation>());
    EXPECT_FALSE(gen.Running());
}

TEST_F(ALCommonGenTest, ASelfPacedStreamRunsOnAClockOfItsFormatsPeriodUntilDisabled) {
    EXPECT_EQ(TALCommonGen::ClockPeriod(11025, 1024), 93ms);
    EXPECT_EQ(TALCommonGen::ClockPeriod(8000, 1024), 128ms);
    EXPECT_EQ(TALCommonGen::ClockPeriod(0, 1024), 60000ms);

    RecordingSink sink("Out");
    gen.AudioFormat().SetSampleRate(8000);
    StartInto(sink);
    EXPECT_EQ(clocks.ClockCount(), 1u);
    EXPECT_EQ(sink.Kinds(), (Kinds{"PumpRequest", "PumpRequest", "StartWave"}));

    time.WaitForSleepers(1);
    AdvanceBy(127ms);
    EXPECT_EQ(sink.Count("Buffer"), 0u);
    AdvanceBy(1ms);
    EXPECT_EQ(sink.Count("Buffer"), 1u);
    AdvanceBy(3 * 128ms);  // a late clock catches up
    EXPECT_EQ(sink.Count("Buffer"), 4u);
    EXPECT_EQ(sink.Count("Resume"), 1u);
    EXPECT_EQ(sink.Kinds()[5], "Resume");  // right after the second block

    gen.SetEnabled(false);
    EXPECT_EQ(clocks.ClockCount(), 0u);
    time.WaitForSleepers(0);  // the old clock thread has gone
    gen.SetEnabled(true);     // a new clock, a new run
    time.WaitForSleepers(1);
    AdvanceBy(128ms);
    EXPECT_EQ(sink.Count("Buffer"), 5u);
}

TEST_F(ALCommonGenTest, AnExternallyClockedGeneratorTicksOnItsClockPinOnly) {
    RecordingSink sink("Out");
    TOWSourcePin clock(nullptr, "Clock");
    clock.Connect(gen.ClockPin());
    gen.SetClockSource(TSLClockSource::csExternal);
    StartInto(sink);
    EXPECT_EQ(sink.Kinds(), Kinds{"StartWave"});  // no pacing to negotiate
    EXPECT_EQ(clocks.ClockCount(), 0u);

    clock.Notify(std::make_shared<TOWClockOperation>());
    clock.Notify(std::make_shared<TOWClockOperation>());
    EXPECT_EQ(sink.Count("Buffer"), 2u);
}

TEST_F(ALCommonGenTest, AGeneratorClaimedWhileSelfPacedLeavesItsClock) {
    RecordingSink sink("Out");
    StartInto(sink);
    PumpMaster master("Late", 0);
    gen.OutputPin().Connect(master.input);  // replays the start wave to the newcomer
    master.input.NotifyUpstream(std::make_shared<TOWStartSampleRateOperation>(1024, 11025.0));
    EXPECT_EQ(clocks.ClockCount(), 0u);
    EXPECT_EQ(gen.SampleRate(), 11025.0f / 1024);
    master.Pump();
    EXPECT_EQ(master.Count("Buffer"), 1u);
}

TEST_F(ALCommonGenTest, GeneratorsOfOnePeriodTickOnOneClockInRegistrationOrder) {
    RampGen later(clocks, "Later");
    RecordingSink first("First"), second("Second");
    StartInto(first);
    later.OutputPin().Connect(second.input);
    later.SetEnabled(true);
    EXPECT_EQ(clocks.ClockCount(), 1u);

    time.WaitForSleepers(1);
    AdvanceBy(2 * 93ms);
    // Operation ids grow with time: the blocks alternate, the first registered first.
    std::vector<uint64_t> ofFirst, ofSecond;
    for (auto [sink, ids] : {std::pair{&first, &ofFirst}, {&second, &ofSecond}}) {
        for (const auto& op : sink->Operations()) {
            if (op->Is<TOWSuppliedBufferOperation>())
                ids->push_back(op->Id());
        }
    }
    ASSERT_TRUE(ofFirst.size() == 2 && ofSecond.size() == 2);
    EXPECT_TRUE(ofFirst[0] < ofSecond[0] && ofSecond[0] < ofFirst[1] && ofFirst[1] < ofSecond[1]);
}

TEST_F(ALCommonGenTest, AClockStopsWhenItsLastRegistrationGoesEvenFromItsOwnThread) {
    TOWObject owner;
    std::atomic<int> calls{0};
    TSLClockService::Registration item = nullptr;
    item = clocks.Register(10ms, owner, [&] {
        clocks.Unregister(item, owner);
        ++calls;
    });
    EXPECT_EQ(clocks.ClockCount(), 1u);
    time.WaitForSleepers(1);
    time.Advance(50ms);
    while (calls == 0)
        std::this_thread::yield();
    EXPECT_EQ(clocks.ClockCount(), 0u);
    time.WaitForSleepers(0);
    EXPECT_EQ(calls, 1);
}

TEST(SteadyClockTest, TicksOnTheSteadyClockAndNeverAfterUnregistering) {
    TSLSteadyTimeSource steady;
    auto service = std::make_unique<TSLClockService>(steady);
    TOWObject owner;
    std::atomic<int> calls{0};
    auto item = service->Register(1ms, owner, [&] { ++calls; });
    ASSERT_TRUE(testing::WaitUntil([&] { return calls >= 3; }));
    service->Unregister(item, owner);
    const int atUnregister = calls;
    service.reset();  // joins the clock thread: a late tick would show now
    EXPECT_EQ(calls, atUnregister);
}

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
    Run(1);  // leaves a block of the tone in the work buffer
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
    tone.SetSignalType(TALSignalType::atTriangle);
    tone.SetFrequency(0.0);  // a constant block of +Amplitude
    noise.SetStdDev(0);      // a constant block of Mean
    ASSERT_TRUE(tone.OutputPin().Connect(signalOut.input));
    ASSERT_TRUE(noise.OutputPin().Connect(noiseOut.input));
    for (TALCommonGen* gen : std::initializer_list<TALCommonGen*>{&tone, &noise}) {
        gen->SetEnabled(false);  // enabled before it was connected: never started
        gen->SetEnabled(true);
    }

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
        if (i % 50 == 0)
            tone.AudioFormat().SetBufferSize(i % 100 == 0 ? 256 : 1024);
    }
    pumper.join();

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
