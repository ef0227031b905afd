#include "signal/ALAudioOut.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "tests/signal/CoreTestParts.h"

namespace vantrel::signal {
namespace {

using audio::VirtualWaveSystem;
using testing::RampGen;
using testing::WaitUntil;

constexpr uint64_t kBlockFrames = 1024;

// A generator feeding one output on a hand-driven device and a clock that never ticks by
// itself.
class ALAudioOutTest : public ::testing::Test {
  protected:
    ALAudioOutTest() { gen.OutputPin().Connect(out.InputPin()); }

    // Plays one block on the device and waits until the output has pulled the next one and
    // handed the oldest waiting block to the device.
    void PlayOneBlock() {
        const int pumps = gen.MasterPumps();
        const std::size_t stream = system.StreamCount() - 1;
        const uint64_t written = system.Log(stream).headersWritten;
        system.Advance(kBlockFrames);
        ASSERT_TRUE(WaitUntil([&] {
            return gen.MasterPumps() == pumps + 1 &&
                   system.Log(stream).headersWritten == written + 1;
        }));
    }

    // The stream's frames carry the ramp in both channels, from 0, without gap or repeat.
    void ExpectRampPlayed(std::size_t stream, std::size_t frames) {
        const std::vector<int16_t> samples = system.PlayedSamples(stream);
        ASSERT_EQ(samples.size(), frames * 2);
        for (std::size_t i = 0; i < frames; ++i) {
            ASSERT_EQ(static_cast<uint16_t>(samples[2 * i]), static_cast<uint16_t>(i)) << i;
            ASSERT_EQ(samples[2 * i + 1], samples[2 * i]) << i;
        }
    }

    TSLManualTimeSource time;
    TSLClockService clocks{time};
    VirtualWaveSystem system{VirtualWaveSystem::Clock::Manual};
    TALAudioOut out{system, "ALAudioOut1"};
    RampGen gen{clocks};
};

TEST_F(ALAudioOutTest, AStreamClaimsOpensPausedPrefillsPlaysAndClosesOnItsEndStop) {
    gen.SetEnabled(true);

    EXPECT_TRUE(out.PumpMaster());
    // The start's two pump requests each probe the device; the stream is opened last.
    ASSERT_EQ(system.StreamCount(), 3u);
    const audio::VirtualStreamLog probe = system.Log(0), stream = system.Log(2);
    EXPECT_EQ(probe.format.channels, 1);
    EXPECT_EQ(probe.format.samplesPerSec, 11025u);
    EXPECT_TRUE(probe.closed && system.Log(1).closed);
    EXPECT_EQ(stream.deviceId, audio::WAVE_MAPPER);
    EXPECT_EQ(stream.format.channels, 2);
    EXPECT_EQ(stream.format.samplesPerSec, 11025u);
    EXPECT_FALSE(stream.paused);  // resumed after the second block

    // Four pumps: two blocks queued at the device, two waiting.
    EXPECT_EQ(gen.MasterPumps(), 4);
    EXPECT_TRUE(out.Resumed());
    EXPECT_EQ(out.QueuedBuffers(), 2u);
    EXPECT_EQ(out.WaitingOperations(), 2);

    for (int i = 0; i < 6; ++i) {
        PlayOneBlock();
        EXPECT_EQ(out.WaitingOperations(), 2);
    }
    EXPECT_EQ(gen.MasterPumps(), 10);
    ExpectRampPlayed(2, 6 * kBlockFrames);

    // The end stop waits behind the two blocks; each finished block lets one through.
    gen.SetEnabled(false);
    EXPECT_EQ(out.WaitingOperations(), 3);
    for (int i = 0; i < 3; ++i) {
        system.Advance(kBlockFrames);
        ASSERT_TRUE(WaitUntil([&] { return out.WaitingOperations() == 2 - i || !out.Opened(); }));
    }
    ASSERT_TRUE(WaitUntil([&] { return out.Idle(); }));
    EXPECT_FALSE(out.PumpMaster());
    EXPECT_TRUE(system.Log(2).closed);
    EXPECT_EQ(system.OpenStreams(), 0);
    EXPECT_EQ(out.QueuedBuffers(), 0u);
    // Blocks 7 to 9 played; the close discarded block 10, still queued, unplayed.
    ExpectRampPlayed(2, 9 * kBlockFrames);
}

TEST_F(ALAudioOutTest, WithoutPrefillAStartPumpPullsOneBlock) {
    out.SetPreFillEnabled(false);
    gen.SetEnabled(true);
    EXPECT_EQ(gen.MasterPumps(), 1);
    EXPECT_FALSE(out.Resumed());
    EXPECT_EQ(out.QueuedBuffers(), 1u);
    EXPECT_EQ(system.Log(system.StreamCount() - 1).headersWritten, 1u);

    // An operation of a class the output does not handle is taken off the list to no effect.
    gen.OutputPin().Notify(std::make_shared<TOWClockOperation>());
    EXPECT_EQ(out.WaitingOperations(), 0);
    EXPECT_EQ(out.QueuedBuffers(), 1u);
}

TEST_F(ALAudioOutTest, AStartPumpAfterTheResumePullsThreeBlocks) {
    gen.SetEnabled(true);
    ASSERT_TRUE(out.Resumed());
    out.HandleOperation(std::make_shared<TOWStartPumpOperation>());
    EXPECT_EQ(gen.MasterPumps(), 7);
    EXPECT_EQ(out.WaitingOperations(), 5);
    PlayOneBlock();
    PlayOneBlock();
    EXPECT_EQ(out.WaitingOperations(), 5);
    ExpectRampPlayed(system.StreamCount() - 1, 2 * kBlockFrames);
}

TEST_F(ALAudioOutTest, ADisabledOutputDropsSuppliedBlocksWithoutQueueingThem) {
    out.SetEnabled(false);
    gen.SetEnabled(true);
    EXPECT_EQ(gen.MasterPumps(), 4);
    EXPECT_EQ(out.QueuedBuffers(), 0u);
    EXPECT_EQ(out.WaitingOperations(), 0);
    EXPECT_EQ(system.Log(system.StreamCount() - 1).headersWritten, 0u);

    // Switched on again through its enable pin, it plays the next blocks that arrive.
    TOWBoolStatePin control(nullptr, "control", {}, true);
    ASSERT_TRUE(control.Connect(out.EnablePin()));
    control.SetValue(false);
    control.SetValue(true);
    EXPECT_TRUE(out.Enabled());
    gen.OutputPin().Notify(std::make_shared<TOWStartPumpOperation>());
    EXPECT_EQ(out.QueuedBuffers(), 2u);
}

TEST_F(ALAudioOutTest, WithoutMasterPumpingTheSourcePacesItselfAndIsStillPlayed) {
    out.SetEnableMasterPumping(false);
    gen.SetEnabled(true);
    EXPECT_FALSE(out.PumpMaster());
    EXPECT_TRUE(gen.SelfPumping());
    EXPECT_EQ(system.StreamCount(), 1u);  // no probe
    gen.OutputPin().Notify(std::make_shared<TOWStartPumpOperation>());
    EXPECT_EQ(gen.MasterPumps(), 0);

    for (int i = 0; i < 4; ++i) {
        gen.Tick();  // the clock's ticks
    }
    EXPECT_EQ(out.QueuedBuffers(), 2u);
    EXPECT_EQ(out.WaitingOperations(), 2);
    system.Advance(kBlockFrames);
    ASSERT_TRUE(WaitUntil([&] { return out.WaitingOperations() == 1; }));
    EXPECT_EQ(gen.MasterPumps(), 0);
    EXPECT_EQ(out.QueuedBuffers(), 2u);
}

TEST_F(ALAudioOutTest, AFailedStreamOpenDropsBlocksLetsTheEndStopThroughAndRecovers) {
    system.FailOpens(audio::MMSYSERR_ALLOCATED);
    gen.SetEnabled(true);
    EXPECT_FALSE(out.PumpMaster());  // the probe failed too: the source paces itself
    EXPECT_TRUE(out.Opened());
    EXPECT_TRUE(out.DeviceFailed());
    for (int i = 0; i < 50; ++i) {
        gen.Tick();
    }
    EXPECT_EQ(out.WaitingOperations(), 0);
    EXPECT_EQ(out.QueuedBuffers(), 0u);
    gen.SetEnabled(false);
    ASSERT_TRUE(WaitUntil([&] { return out.Idle(); }));

    system.FailOpens(audio::MMSYSERR_NOERROR);
    gen.SetEnabled(true);
    EXPECT_TRUE(out.PumpMaster());
    EXPECT_FALSE(out.DeviceFailed());
    EXPECT_EQ(out.QueuedBuffers(), 2u);
    PlayOneBlock();
    ExpectRampPlayed(system.StreamCount() - 1, kBlockFrames);
}

TEST_F(ALAudioOutTest, AStreamRestartedWhileTheLastOneDrainsPlaysOnceTheCloseHasRun) {
    gen.SetEnabled(true);
    PlayOneBlock();
    const std::size_t oldStream = system.StreamCount() - 1;
    gen.SetEnabled(false);
    gen.SetEnabled(true);  // the new start waits behind the old end stop
    EXPECT_TRUE(out.PumpMaster());
    EXPECT_FALSE(gen.SelfPumping());
    const std::size_t newStream = oldStream + 3;  // after the new start's two probes

    ASSERT_TRUE(WaitUntil([&] {
        system.Advance(kBlockFrames / 4);
        return system.StreamCount() == newStream + 1 && out.Opened() && out.QueuedBuffers() == 2;
    }));
    EXPECT_TRUE(system.Log(oldStream).closed);
    // The new stream keeps being pulled, block after block, and plays the new run from its
    // first block on, including those pulled while the old stream drained.
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(WaitUntil([&] {
            const audio::VirtualStreamLog log = system.Log(newStream);
            return !log.paused && log.headersWritten - log.headersDone == 2;
        }));
        const uint64_t done = system.Log(newStream).headersDone;
        system.Advance(kBlockFrames);
        ASSERT_TRUE(WaitUntil([&] { return system.Log(newStream).headersDone > done; }));
    }
    const std::size_t frames = system.PlayedSamples(newStream).size() / 2;
    EXPECT_GE(frames, 6 * kBlockFrames);
    ExpectRampPlayed(newStream, frames);
}

// Sends pump requests straight through a source pin, as a generator's start does.
class PumpRequester : public TOWComponent {
  public:
    TALOWAudioSourcePin pin{this, "OutputPin"};
    TOWComponent* Request(int32_t priority) {
        auto request = std::make_shared<TOWPumpRequestOperation>(this, 1.0f, priority);
        pin.Notify(request);
        return request->Pumper;
    }
};

TEST(ALAudioOutClaimTest, TheHigherPriorityOutputWinsAndTheEarlierClaimStandsOnATie) {
    VirtualWaveSystem system;
    TALAudioOut first(system, "first");
    TALAudioOut second(system, "second");
    PumpRequester source;
    source.pin.Connect(first.InputPin());
    source.pin.Connect(second.InputPin());

    EXPECT_EQ(source.Request(0), &first);  // equal priorities
    second.SetPumpPriority(5);
    EXPECT_EQ(source.Request(0), &second);
    // The outbid output is not told: it keeps its role.
    EXPECT_TRUE(first.PumpMaster());
    EXPECT_TRUE(second.PumpMaster());
    second.SetPumpPriority(-1);
    EXPECT_EQ(source.Request(0), &first);

    second.SetEnableMasterPumping(false);
    first.SetEnableMasterPumping(false);
    EXPECT_EQ(source.Request(0), &source);

    system.SetDevices({});
    first.SetEnableMasterPumping(true);
    EXPECT_EQ(source.Request(0), &source);
    EXPECT_FALSE(first.PumpMaster());
}

TEST(ALAudioOutDeviceSideTest, ClosingAClosedOutputAndReopeningAnOpenOneKeepTheMasterRole) {
    VirtualWaveSystem system;
    TALAudioOut out(system);
    out.CloseDevice(true);
    EXPECT_FALSE(out.Opened());

    PumpRequester source;
    source.pin.Connect(out.InputPin());
    source.Request(0);
    const TALWaveFormat format = TALWaveFormat::Pcm(2, 11025, 16);
    out.OpenDevice(format);
    out.OpenDevice(format);
    EXPECT_TRUE(out.Opened());
    EXPECT_TRUE(out.PumpMaster());
    EXPECT_EQ(system.OpenStreams(), 1);
    EXPECT_TRUE(system.Log(1).closed);

    // Open and close notifications, and buffers returned during the close, change nothing.
    out.WaveMessage(audio::WaveMessage::Open, nullptr, nullptr);
    out.WaveMessage(audio::WaveMessage::Close, nullptr, nullptr);
    out.CloseDevice(false);
    EXPECT_TRUE(out.PumpMaster());
    EXPECT_EQ(system.OpenStreams(), 0);
}

TEST(ALAudioOutLifeTest, DestroyingAPlayingOutputClosesItsDevice) {
    TSLManualTimeSource time;
    TSLClockService clocks{time};
    VirtualWaveSystem system;
    RampGen gen(clocks);
    {
        TALAudioOut out(system);
        gen.OutputPin().Connect(out.InputPin());
        gen.SetEnabled(true);
        ASSERT_EQ(system.OpenStreams(), 1);
    }
    EXPECT_EQ(system.OpenStreams(), 0);
    EXPECT_EQ(system.QueuedHeaders(), 0);
}

}  // namespace
}  // namespace vantrel::signal
