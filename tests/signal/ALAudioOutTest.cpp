// The interference outputs: the output's choice of device, its wave and notify threads, the
// output itself on the virtual device, and the noise group's controls driving two of them.
#include "signal/ALAudioOut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "tests/signal/CoreTestParts.h"
#include "trainer/InterferenceControls.h"

namespace vantrel::signal {
namespace {

// Enumeration only: a fixed list of product names.
class NamedDevices : public audio::WaveOutSystem {
  public:
    explicit NamedDevices(std::vector<std::string> list) : names(std::move(list)) {}
    int DeviceCount() override { return static_cast<int>(names.size()); }
    std::string DeviceName(int index) override {
        ++nameQueries;
        return index >= 0 && index < DeviceCount() ? names[index] : std::string();
    }
    audio::MMResult Open(int, const audio::WaveFormat&, audio::WaveCallback,
                         std::unique_ptr<audio::WaveOut>*) override {
        return audio::MMSYSERR_NODRIVER;
    }
    int nameQueries = 0;
    std::vector<std::string> names;
};

// "Default" in any letter case is the mapper without asking the devices, even where a device
// has that name; other names must match a whole product name with its case.
TEST(ALAudioOutDeviceTest, NamesResolveToTheDeviceOfThatExactNameOrTheMapper) {
    NamedDevices system({"HDA Intel", "USB Audio", "usb audio", "Default"});
    TALAudioOutDevice device(nullptr, system);
    for (const char* name : {"Default", "default", "DEFAULT", "dEfAuLt"}) {
        device.SetDeviceName(name);
        EXPECT_EQ(ResolveDeviceId(device), audio::WAVE_MAPPER) << name;
    }
    EXPECT_EQ(system.nameQueries, 0);
    for (auto [name, id] :
         {std::pair{"usb audio", 2}, {"USB Audio", 1}, {"USB", audio::WAVE_MAPPER}}) {
        device.SetDeviceName(name);
        EXPECT_EQ(ResolveDeviceId(device), id) << name;
    }
    EXPECT_EQ(FindDeviceByName(system, "hda intel"), -1);
}

TEST(ALAudioOutDeviceTest, ProductNamesAreCutAtThirtyOneCharactersAndAtAZero) {
    NamedDevices system({std::string(40, 'x'), std::string("Card\0Junk", 9)});
    EXPECT_EQ(FindDeviceByName(system, std::string(31, 'x')), 0);
    EXPECT_EQ(FindDeviceByName(system, "Card"), 1);
    std::vector<std::string> names{"first"};
    GetDeviceNames(system, names);
    EXPECT_EQ(names, (std::vector<std::string>{"first", std::string(31, 'x'), "Card"}));
}

TEST(ALAudioOutDeviceTest, ADefaultAlternativeStopsTheSearchBeforeAPresentDevice) {
    NamedDevices system({"A", "B"});
    TALAudioOutDevice device(nullptr, system);
    device.SetDeviceName("Gone");
    auto& items = device.AlternativeDevices();
    items.Add().SetDeviceName("Also gone");
    items.Add().SetDeviceName("default");
    items.Add().SetDeviceName("B");
    EXPECT_EQ(ResolveDeviceId(device), audio::WAVE_MAPPER);

    items.Item(1).SetDeviceName("Still gone");
    EXPECT_EQ(ResolveDeviceId(device), 1);
}

TEST(ALAudioOutDeviceTest, NewAlternativesGoToTheLeastUsedDeviceInDeviceOrder) {
    NamedDevices system({"A", "", "B"});
    TALAudioOutDevice device(nullptr, system);
    auto& items = device.AlternativeDevices();
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i)
        names.push_back(items.Add().DeviceName());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "A"}));
    EXPECT_EQ(CountItemsWithName(items, "A"), 2);
    EXPECT_EQ(items.Item(1).DisplayName(), "B");
}

// The search starts from 22000 uses, so a device named that often is no longer chosen.
TEST(ALAudioOutDeviceTest, ADeviceNamedByTwentyTwoThousandAlternativesIsNotChosen) {
    NamedDevices system({});
    TALAudioOutDevice device(nullptr, system);
    auto& items = device.AlternativeDevices();
    EXPECT_EQ(items.Add().DeviceName(), "Default") << "without devices";
    for (int i = 0; i < 21999; ++i) {
        items.Item(i).SetDeviceName("A");
        items.Add();
    }
    system.names = {"A"};
    EXPECT_EQ(items.Add().DeviceName(), "A");  // the 22000th
    EXPECT_EQ(items.Add().DeviceName(), "Default");
}

// A gate the worker thread waits at until the test opens it, plus a record of what it saw.
class Recorder {
  public:
    void Record(int value) {
        std::unique_lock lock(mutex_);
        seen_.push_back(value);
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // What the worker saw, once it saw at least `count` values.
    std::vector<int> Seen(std::size_t count = 0) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return seen_.size() >= count; });
        return seen_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> seen_;
    bool open_ = false;
};

TEST(TSLNotifyThreadTest, SignalsBeforeTheThreadWakesRunTheRoutineOnce) {
    Recorder recorder;
    std::atomic<int> phase{0};
    TSLNotifyThread thread([&](TSLNotifyThread&) { recorder.Record(phase.load()); });
    thread.Signal();
    recorder.Seen(1);  // the routine is running and held at the gate
    phase = 1;
    thread.Signal();
    thread.Signal();
    thread.Signal();
    recorder.Open();
    recorder.Seen(2);
    phase = 2;
    thread.Signal();
    recorder.Seen(3);
    thread.StopThread();
    EXPECT_EQ(recorder.Seen(), (std::vector<int>{0, 1, 2}));
    thread.StopThread();  // a second stop is harmless
}

// A wave thread whose routine records the tag of each record, negated for other messages than
// Done, and is held at the gate from the first record on.
class TALWaveThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Queue(0);
        recorder.Seen(1);
    }
    void Queue(std::size_t tag, audio::WaveMessage message = audio::WaveMessage::Done) {
        thread.QueueMessage(nullptr, message, reinterpret_cast<audio::WaveHeader*>(tag + 1));
    }

    Recorder recorder;
    TALWaveThread thread{[this](audio::WaveMessage message, audio::WaveOut*, audio::WaveHeader* p) {
        const int tag = static_cast<int>(reinterpret_cast<uintptr_t>(p));
        recorder.Record(message == audio::WaveMessage::Done ? tag : -tag);
    }};
};

TEST_F(TALWaveThreadTest, DeliversEveryQueuedRecordInOrderAndDropsWhatTheQueueCannotHold) {
    // While the thread is held, more records arrive than the queue holds; the ones beyond its
    // capacity are dropped, all others arrive in order.
    for (std::size_t i = 1; i <= TALWaveThread::kQueueCapacity + 52; ++i)
        Queue(i);
    EXPECT_EQ(thread.QueuedCount(), TALWaveThread::kQueueCapacity);
    EXPECT_EQ(thread.DroppedCount(), 52u);
    recorder.Open();
    recorder.Seen(1 + TALWaveThread::kQueueCapacity);
    thread.StopThread();
    const std::vector<int> seen = recorder.Seen();
    ASSERT_EQ(seen.size(), 1 + TALWaveThread::kQueueCapacity);
    for (std::size_t i = 0; i < seen.size(); ++i)
        ASSERT_EQ(seen[i], static_cast<int>(i + 1));
}

TEST_F(TALWaveThreadTest, ClearedAndLateRecordsNeverReachTheRoutine) {
    Queue(1);
    Queue(2);
    thread.Lock();
    thread.ClearQueue();
    thread.Unlock();
    recorder.Open();
    Queue(3, audio::WaveMessage::Close);
    recorder.Seen(2);
    thread.StopThread();
    Queue(4);
    EXPECT_EQ(thread.QueuedCount(), 0u);
    EXPECT_EQ(recorder.Seen(), (std::vector<int>{1, -4}));
}

using audio::VirtualWaveSystem;
using namespace testing;

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
    EXPECT_EQ(system.OpenStreams(), 0);
    EXPECT_EQ(out.QueuedBuffers(), 0u);
    // Blocks 7 to 9 played; the close discarded block 10, still queued, unplayed.
    ExpectRampPlayed(2, 9 * kBlockFrames);
}

// Once the stream was resumed a start pump pulls three blocks, without prefill only one.
TEST_F(ALAudioOutTest, AStartPumpPullsThreeBlocksAfterTheResumeAndOneWithoutPrefill) {
    gen.SetEnabled(true);
    ASSERT_TRUE(out.Resumed());
    out.HandleOperation(std::make_shared<TOWStartPumpOperation>());
    EXPECT_EQ(gen.MasterPumps(), 7);
    EXPECT_EQ(out.WaitingOperations(), 5);
    PlayOneBlock();
    PlayOneBlock();
    EXPECT_EQ(out.WaitingOperations(), 5);

    out.SetPreFillEnabled(false);
    out.HandleOperation(std::make_shared<TOWStartPumpOperation>());
    EXPECT_EQ(gen.MasterPumps(), 10);
    EXPECT_EQ(out.WaitingOperations(), 6);
}

TEST_F(ALAudioOutTest, ADisabledOutputDropsSuppliedBlocksWithoutQueueingThem) {
    out.SetEnabled(false);
    gen.SetEnabled(true);
    EXPECT_EQ(out.QueuedBuffers(), 0u);
    EXPECT_EQ(out.WaitingOperations(), 0);

    // Switched on again through its enable pin, it plays the next blocks that arrive.
    TOWBoolStatePin control(nullptr, "control", {}, true);
    ASSERT_TRUE(control.Connect(out.EnablePin()));
    control.SetValue(false);
    control.SetValue(true);
    gen.OutputPin().Notify(std::make_shared<TOWStartPumpOperation>());
    EXPECT_EQ(out.QueuedBuffers(), 2u);
}

TEST_F(ALAudioOutTest, WithoutMasterPumpingTheSourcePacesItselfAndIsStillPlayed) {
    out.SetEnableMasterPumping(false);
    gen.SetEnabled(true);
    EXPECT_TRUE(gen.SelfPumping());
    EXPECT_EQ(system.StreamCount(), 1u);  // no probe
    gen.OutputPin().Notify(std::make_shared<TOWStartPumpOperation>());
    EXPECT_EQ(gen.MasterPumps(), 0);

    for (int i = 0; i < 4; ++i)
        gen.Tick();  // the clock's ticks
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
    EXPECT_TRUE(out.DeviceFailed());
    for (int i = 0; i < 50; ++i)
        gen.Tick();
    EXPECT_EQ(out.WaitingOperations(), 0);
    EXPECT_EQ(out.QueuedBuffers(), 0u);
    gen.SetEnabled(false);
    ASSERT_TRUE(WaitUntil([&] { return out.Idle(); }));

    system.FailOpens(audio::MMSYSERR_NOERROR);
    gen.SetEnabled(true);
    EXPECT_TRUE(out.PumpMaster());
    EXPECT_FALSE(out.DeviceFailed());
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
    EXPECT_TRUE(first.PumpMaster() && second.PumpMaster());
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
    out.CloseDevice(true);  // closing a closed output does nothing

    PumpRequester source;
    source.pin.Connect(out.InputPin());
    source.Request(0);
    const TALWaveFormat format = TALWaveFormat::Pcm(2, 11025, 16);
    out.OpenDevice(format);
    out.OpenDevice(format);
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

    TSLManualTimeSource time;
    TSLClockService clocks{time};
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
        TALAudioOut& out = tone ? controls.ALAudioOut1() : controls.ALAudioOut2();
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
        InterferenceControls controls(system, TSLClockService::Instance(),
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
        EXPECT_TRUE(WaitUntil([&] {
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
}  // namespace vantrel::signal
