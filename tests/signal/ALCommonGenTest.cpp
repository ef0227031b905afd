#include "signal/ALCommonGen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "tests/signal/CoreTestParts.h"

namespace vantrel::signal {
namespace {

using namespace std::chrono_literals;
using testing::BuffersOf;
using testing::PumpMaster;
using testing::RampGen;
using testing::RecordingSink;
using Kinds = std::vector<std::string>;

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

    for (int i = 0; i < 5; ++i) {
        master.Pump();
    }
    EXPECT_EQ(master.Count("Buffer"), 9u);
    EXPECT_EQ(master.Count("Resume"), 1u);
}

TEST_F(ALCommonGenTest, EveryChannelReceivesTheMonoBlockAndBuffersFollowTheFormat) {
    PumpMaster master("Out", 1);
    StartInto(master);
    auto buffers = BuffersOf(master);
    ASSERT_EQ(buffers.size(), 1u);
    auto access = buffers[0]->AudioAccess();
    ASSERT_EQ(access->FrameCount(), 1024u);
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

TEST_F(ALCommonGenTest, DisablingEndsTheStreamAndReenablingStartsItAfresh) {
    PumpMaster master("Out");
    StartInto(master);
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

TEST_F(ALCommonGenTest, AnUnconnectedGeneratorNeverStartsEvenWhenASinkComesLater) {
    gen.SetEnabled(true);
    EXPECT_FALSE(gen.Running());

    PumpMaster master("Out");
    gen.OutputPin().Connect(master.input);
    EXPECT_TRUE(master.Kinds().empty());
    EXPECT_FALSE(gen.Running());

    gen.SetEnabled(false);
    gen.SetEnabled(true);
    EXPECT_TRUE(gen.Running());
    EXPECT_EQ(master.Count("StartWave"), 1u);
}

TEST_F(ALCommonGenTest, ASelfPacedStreamRunsOnTheClockUntilDisabled) {
    RecordingSink sink("Out");
    StartInto(sink);
    EXPECT_EQ(clocks.ClockCount(), 1u);
    EXPECT_EQ(sink.Kinds(), (Kinds{"PumpRequest", "PumpRequest", "StartWave"}));

    time.WaitForSleepers(1);
    AdvanceBy(92ms);
    EXPECT_EQ(sink.Count("Buffer"), 0u);
    AdvanceBy(1ms);
    EXPECT_EQ(sink.Count("Buffer"), 1u);
    AdvanceBy(3 * 93ms);  // a late clock catches up
    EXPECT_EQ(sink.Count("Buffer"), 4u);
    EXPECT_EQ(sink.Count("Resume"), 1u);
    EXPECT_EQ(sink.Kinds()[5], "Resume");  // right after the second block

    gen.SetEnabled(false);
    EXPECT_EQ(clocks.ClockCount(), 0u);
    EXPECT_EQ(sink.Kinds().back(), "EndStop");
    time.WaitForSleepers(0);  // the old clock thread has gone
    gen.SetEnabled(true);     // a new clock, a new run
    time.WaitForSleepers(1);
    AdvanceBy(93ms);
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
    EXPECT_EQ(sink.Count("Resume"), 1u);
}

TEST_F(ALCommonGenTest, AGeneratorClaimedWhileSelfPacedLeavesItsClock) {
    RecordingSink sink("Out");
    StartInto(sink);
    ASSERT_EQ(clocks.ClockCount(), 1u);

    PumpMaster master("Late", 0);
    gen.OutputPin().Connect(master.input);  // replays the start wave to the newcomer
    master.input.NotifyUpstream(std::make_shared<TOWStartSampleRateOperation>(1024, 11025.0));
    EXPECT_FALSE(gen.SelfPumping());
    EXPECT_EQ(clocks.ClockCount(), 0u);
    EXPECT_EQ(gen.SampleRate(), 11025.0f / 1024);
    master.Pump();
    EXPECT_EQ(master.Count("Buffer"), 1u);
}

TEST_F(ALCommonGenTest, TheClockPeriodFollowsTheFormat) {
    EXPECT_EQ(TALCommonGen::ClockPeriod(11025, 1024), 93ms);
    EXPECT_EQ(TALCommonGen::ClockPeriod(8000, 1024), 128ms);
    EXPECT_EQ(TALCommonGen::ClockPeriod(0, 1024), 60000ms);

    RecordingSink sink("Out");
    gen.AudioFormat().SetSampleRate(8000);
    StartInto(sink);
    time.WaitForSleepers(1);
    AdvanceBy(127ms);
    EXPECT_EQ(sink.Count("Buffer"), 0u);
    AdvanceBy(1ms);
    EXPECT_EQ(sink.Count("Buffer"), 1u);
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
            if (op->Is<TOWSuppliedBufferOperation>()) {
                ids->push_back(op->Id());
            }
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
    while (calls == 0) {
        std::this_thread::yield();
    }
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

}  // namespace
}  // namespace vantrel::signal
