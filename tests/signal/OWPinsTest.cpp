// The pin framework: the locks its objects share, operations, stream and state pins.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "signal/OWLocks.h"
#include "signal/OWPins.h"
#include "tests/signal/CoreTestParts.h"

namespace vantrel::signal {
namespace {

// Gives a blocked thread the chance to run ahead if the lock failed to block it.
void LetOthersRun() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void SpinUntil(const std::atomic<bool>& flag) {
    while (!flag)
        std::this_thread::yield();
}

TEST(OWLocksTest, ReadsAndWritesAreReentrantAndTheWriterMayRead) {
    TOWMultiReadExclusiveWriteSynchronizer lock;
    lock.BeginRead();
    lock.BeginRead();
    EXPECT_EQ(lock.ReadDepth(), 2);
    lock.EndRead();
    lock.EndRead();

    EXPECT_TRUE(lock.BeginWrite());
    EXPECT_TRUE(lock.BeginWrite());
    lock.BeginRead();
    EXPECT_TRUE(lock.IsWriter());
    lock.EndRead();
    lock.EndWrite();
    lock.EndWrite();
    EXPECT_FALSE(lock.IsWriter());

    // Everything was released: another thread writes at once.
    std::thread([&] {
        lock.BeginWrite();
        lock.EndWrite();
    }).join();
}

TEST(OWLocksTest, AReaderTakingTheWriteSideWaitsUntilTheOtherReadersLeave) {
    TOWMultiReadExclusiveWriteSynchronizer lock;
    std::atomic<bool> release{false}, reading{false}, wrote{false};
    std::thread reader([&] {
        lock.BeginRead();
        reading = true;
        SpinUntil(release);
        EXPECT_FALSE(wrote);
        lock.EndRead();
    });
    SpinUntil(reading);
    std::thread upgrader([&] {
        lock.BeginRead();
        lock.BeginWrite();
        wrote = true;
        lock.EndWrite();
        EXPECT_EQ(lock.ReadDepth(), 1);  // its read is restored
        lock.EndRead();
    });
    LetOthersRun();
    EXPECT_FALSE(wrote);
    release = true;
    reader.join();
    upgrader.join();
    EXPECT_TRUE(wrote);
}

TEST(OWLocksTest, TwoUpgradingReadersWriteInTurnAndTheSecondLearnsOfTheFirst) {
    TOWMultiReadExclusiveWriteSynchronizer lock;
    std::barrier bothReading(2);
    std::atomic<int> writers{0}, unchanged{0};
    auto upgrade = [&] {
        lock.BeginRead();
        bothReading.arrive_and_wait();
        unchanged += lock.BeginWrite() ? 1 : 0;
        EXPECT_EQ(++writers, 1);
        --writers;
        lock.EndWrite();
        lock.EndRead();
    };
    std::thread a(upgrade), b(upgrade);
    a.join();
    b.join();
    EXPECT_EQ(unchanged, 1);
}

TEST(OWLocksTest, LinkingJoinsTwoGroupsAndUnlinkingSplitsThem) {
    TOWObject a, b, c, d;
    a.Link(b);
    c.Link(d);
    EXPECT_FALSE(a.SharesLockWith(c));
    b.Link(c);
    EXPECT_TRUE(a.SharesLockWith(d));

    b.Unlink(c);
    EXPECT_TRUE(a.SharesLockWith(b) && c.SharesLockWith(d));
    EXPECT_FALSE(b.SharesLockWith(c) || b.IsLinkedWith(c));
    {
        TOWObject e;  // unlinks itself when it goes
        d.Link(e);
        EXPECT_TRUE(c.SharesLockWith(e));
    }
    EXPECT_TRUE(c.SharesLockWith(d));
    c.Unlink(d);  // walks the group of d, which e left
    EXPECT_FALSE(c.SharesLockWith(d));
}

TEST(OWLocksTest, LinkingCarriesTheCallersHoldsOverToTheNewLock) {
    TOWObject a, b;
    {
        TOWWriteLockSection outer(a);
        TOWWriteLockSection inner(a);
        a.Link(b);
        EXPECT_EQ(a.LockObject()->Depth(), 2);
        EXPECT_TRUE(b.LockObject()->HeldByCurrentThread());
    }
    EXPECT_FALSE(a.LockObject()->HeldByCurrentThread());
    std::thread([&] {
        TOWWriteLockSection section(b);
        EXPECT_TRUE(a.LockObject()->HeldByCurrentThread());
    }).join();
}

TEST(OWLocksTest, AThreadWaitingOnTheOldLockStaysExcludedAfterRegrouping) {
    TOWObject a, b;
    std::atomic<bool> waiting{false}, entered{false};
    b.BeginWrite();
    std::thread other([&] {
        waiting = true;
        b.BeginWrite();
        entered = true;
        EXPECT_TRUE(a.LockObject()->HeldByCurrentThread());
        b.EndWrite();
    });
    SpinUntil(waiting);
    LetOthersRun();
    a.Link(b);
    LetOthersRun();
    EXPECT_FALSE(entered);
    EXPECT_TRUE(a.LockObject()->HeldByCurrentThread());
    b.EndWrite();
    other.join();
    EXPECT_TRUE(entered);
}

using testing::RecordingSink;
using Flags = std::vector<TOWNotifyFlags>;

// A sink that records the flags of each delivery and answers with `handled` (or throws).
struct FlagSink {
    bool handled = false, throws = false;
    Flags flags;
    TOWSinkPin pin{
        nullptr, "In",
        TOWSinkPin::FlagsHandler([this](TOWSinkPin&, const TOWOperationPtr&, TOWNotifyFlags f) {
            flags.push_back(f);
            if (throws)
                throw std::runtime_error("sink failed");
            return handled;
        })};
};

TOWOperationPtr Any() {
    return std::make_shared<TOWStartPumpOperation>();
}

// A throwing sink does not stop delivery to the others; a send aimed at one sink reaches only
// that one; the mark stays with the last entry, and a sink that keeps handling drifts there.
TEST(OWPinsTest, EverySinkReceivesAnOperationOnlyTheLastIsMarkedAndBusySinksDriftLast) {
    TOWSourcePin source(nullptr, "Out");
    FlagSink first, second;
    first.throws = true;
    ASSERT_TRUE(source.Connect(first.pin) && source.Connect(second.pin));
    EXPECT_NO_THROW(source.Notify(Any()));
    source.Notify(Any(), &first.pin);
    source.Notify(Any(), &second.pin);
    EXPECT_EQ(first.flags, (Flags{0, 0}));
    EXPECT_EQ(second.flags, (Flags{kOWLastReceiver, kOWLastReceiver}));

    first.throws = false;
    first.handled = true;
    source.Notify(Any());
    EXPECT_EQ(source.Sinks(), (std::vector<TOWSinkPin*>{&second.pin, &first.pin}));
    for (int i = 0; i < 20; ++i)
        source.Notify(Any());
    EXPECT_EQ(source.Sinks().back(), &first.pin);
}

TEST(OWPinsTest, ASinkSendingBackIntoItsSourceTooDeepGetsAnException) {
    TOWSourcePin source(nullptr, "Out");
    int depth = 0, deepest = 0;
    std::string message;
    TOWSinkPin loop(nullptr, "In", TOWSinkPin::Handler([&](TOWSinkPin&, const TOWOperationPtr& op) {
                        deepest = std::max(deepest, ++depth);
                        try {
                            source.Notify(op);
                        } catch (const EOWException& e) {
                            message = e.what();
                        }
                        --depth;
                        return false;
                    }));
    source.Connect(loop);
    EXPECT_NO_THROW(source.Notify(Any()));
    EXPECT_EQ(message, "The pin depends on itself. Please protect with functional dependency.");
    EXPECT_GT(deepest, TOWSourcePin::kMaxSendDepth);
    EXPECT_LT(deepest, TOWSourcePin::kMaxSendDepth + 3);
    // The pin recovers its depth: a later send goes as deep again.
    deepest = 0;
    source.Notify(Any());
    EXPECT_GT(deepest, TOWSourcePin::kMaxSendDepth);
}

TEST(OWPinsTest, OperationIdsIncreaseStrictlyAcrossThreads) {
    std::vector<uint64_t> ids[2];
    auto take = [&ids](int t) {
        for (int i = 0; i < 2000; ++i)
            ids[t].push_back(std::make_shared<TOWStopOperation>()->Id());
    };
    std::thread other(take, 1);
    take(0);
    other.join();
    std::set<uint64_t> all(ids[0].begin(), ids[0].end());
    all.insert(ids[1].begin(), ids[1].end());
    EXPECT_EQ(all.size(), 4000u);
    EXPECT_TRUE(std::ranges::is_sorted(ids[0]) && std::ranges::is_sorted(ids[1]));
    EXPECT_GT(std::make_shared<TOWStopOperation>()->Id(), *all.rbegin());
}

TEST(OWPinsTest, AStartWaveCarriesItsRatePerBlockAndTheDefaultRecord) {
    const TOWStartWaveOperation wave(1024, 11025.0);
    EXPECT_TRUE(wave.Is<TOWStartSampleRateOperation>() && wave.Is<TOWStartOperation>());
    EXPECT_FLOAT_EQ(wave.Rate, 11025.0f / 1024);
    EXPECT_EQ(wave.Format, TALWaveFormat::Pcm(2, 11024, 16));
    EXPECT_FLOAT_EQ(TOWStartSampleRateOperation(0, 8000.0).Rate, 8000.0f);
}

TEST(OWPinsTest, ConnectingChecksTheStreamTypeAndMovesASinkFromItsOldSource) {
    TOWSourcePin plain(nullptr, "Plain");
    TALOWAudioSourcePin first(nullptr, "First"), second(nullptr, "Second");
    RecordingSink sink("Out");
    EXPECT_EQ(sink.input.SourcePinText(), "(Disconnected)");
    EXPECT_FALSE(plain.Connect(sink.input));

    EXPECT_TRUE(first.Connect(sink.input));
    EXPECT_TRUE(first.Connect(sink.input));  // again: nothing changes
    EXPECT_EQ(first.SinkPinsText(), "(Out.InputPin)");
    EXPECT_EQ(sink.input.SourcePinText(), "(No owner)");

    EXPECT_TRUE(sink.input.ConnectTo(second));
    EXPECT_FALSE(first.IsConnected());
    EXPECT_EQ(sink.input.Source(), &second);
    first.Notify(Any());
    EXPECT_TRUE(sink.Kinds().empty());
}

TEST(OWPinsTest, UpstreamOperationsReachTheSourceAndDestroyedPinsLeaveNoConnection) {
    std::vector<std::string> seen;
    RecordingSink sink("Stays");
    {
        TALOWAudioSourcePin gone(nullptr, "Gone", [&](TOWSourcePin&, const TOWOperationPtr& op) {
            seen.push_back(testing::KindOf(*op));
            return true;
        });
        gone.Connect(sink.input);
        EXPECT_TRUE(sink.input.NotifyUpstream(std::make_shared<TOWMasterPumpOperation>(&sink)));
    }
    EXPECT_EQ(seen, std::vector<std::string>{"MasterPump"});
    EXPECT_FALSE(sink.input.IsConnected());
    EXPECT_FALSE(sink.input.NotifyUpstream(Any()));

    TALOWAudioSourcePin source(nullptr, "Out");
    {
        RecordingSink gone("Gone");
        source.Connect(gone.input);
    }
    EXPECT_FALSE(source.IsConnected());
    EXPECT_NO_THROW(source.Notify(Any()));
}

TEST(OWPinsTest, ASinkConnectedDuringAStreamGetsItsStartAndResume) {
    TALOWAudioSourcePin source(nullptr, "Out");
    RecordingSink early("Early"), late("Late"), afterStop("AfterStop");
    source.Connect(early.input);
    source.Notify(std::make_shared<TOWStartWaveOperation>(1024, 10.0));
    source.Notify(std::make_shared<TOWSLResumeOperation>());
    source.Connect(late.input);
    EXPECT_EQ(late.Kinds(), (std::vector<std::string>{"StartWave", "Resume"}));
    EXPECT_EQ(early.Kinds().size(), 2u);  // the replay goes to the new sink only

    source.Notify(std::make_shared<TOWEndStopOperation>());
    source.Connect(afterStop.input);
    EXPECT_TRUE(afterStop.Kinds().empty());
}

TEST(OWPinsTest, StatePinsPassChangedValuesOnlyBetweenPinsOfOneType) {
    std::vector<bool> received;
    std::vector<float> frequencies;
    TOWBoolStatePin sender(nullptr, "Enable");
    TOWBoolStatePin receiver(nullptr, "Enable",
                             [&](TOWBoolStatePin&, bool v) { received.push_back(v); });
    TOWFloatIntStatePin frequency(nullptr, "Frequency");
    TOWFloatIntStatePin follower(nullptr, "Frequency",
                                 [&](TOWFloatIntStatePin&, float v) { frequencies.push_back(v); });
    EXPECT_FALSE(sender.Connect(frequency));
    ASSERT_TRUE(sender.Connect(receiver) && frequency.Connect(follower));
    for (bool value : {true, true, false})
        sender.SetValue(value);
    EXPECT_EQ(received, (std::vector<bool>{true, false}));
    EXPECT_FALSE(receiver.Value());
    frequency.SetValue(500.0f);
    EXPECT_EQ(frequencies, std::vector<float>{500.0f});
}

TEST(OWPinsTest, AClockSinkTicksOnClockOperationsOnly) {
    int ticks = 0;
    TOWSourcePin clock(nullptr, "Clock");
    TOWClockSinkPin sink(nullptr, "ClockPin", [&](TOWClockSinkPin&) { ++ticks; });
    clock.Connect(sink);
    clock.Notify(std::make_shared<TOWClockOperation>());
    clock.Notify(std::make_shared<TOWSuppliedBufferOperation>(nullptr));
    clock.Notify(std::make_shared<TOWStopOperation>());
    EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace vantrel::signal
