#include "signal/OWLocks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <thread>

namespace vantrel::signal {
namespace {

// Gives a blocked thread the chance to run ahead if the lock failed to block it.
void LetOthersRun() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void SpinUntil(const std::atomic<bool>& flag) {
    while (!flag) {
        std::this_thread::yield();
    }
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

}  // namespace
}  // namespace vantrel::signal
