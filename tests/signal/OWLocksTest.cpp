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
    std::thread other([&] {
        lock.BeginWrite();
        lock.EndWrite();
    });
    other.join();
}

TEST(OWLocksTest, AReaderTakingTheWriteSideWaitsUntilTheOtherReadersLeave) {
    TOWMultiReadExclusiveWriteSynchronizer lock;
    std::atomic<bool> release{false};
    std::atomic<bool> reading{false};
    std::atomic<bool> wrote{false};
    std::thread reader([&] {
        lock.BeginRead();
        reading = true;
        while (!release) {
            std::this_thread::yield();
        }
        EXPECT_FALSE(wrote);
        lock.EndRead();
    });
    while (!reading) {
        std::this_thread::yield();
    }
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
    std::atomic<int> writers{0};
    std::atomic<int> unchanged{0};
    auto upgrade = [&] {
        lock.BeginRead();
        bothReading.arrive_and_wait();
        if (lock.BeginWrite()) {
            ++unchanged;
        }
        EXPECT_EQ(++writers, 1);
        --writers;
        lock.EndWrite();
        lock.EndRead();
    };
    std::thread a(upgrade);
    std::thread b(upgrade);
    a.join();
    b.join();
    EXPECT_EQ(unchanged, 1);
}

TEST(OWLocksTest, LinkingJoinsTwoGroupsAndUnlinkingSplitsThem) {
    TOWObject a, b, c, d;
    a.Link(b);
    c.Link(d);
    EXPECT_TRUE(a.SharesLockWith(b));
    EXPECT_TRUE(c.SharesLockWith(d));
    EXPECT_FALSE(a.SharesLockWith(c));

    b.Link(c);
    EXPECT_TRUE(a.SharesLockWith(d));

    b.Unlink(c);
    EXPECT_TRUE(a.SharesLockWith(b));
    EXPECT_TRUE(c.SharesLockWith(d));
    EXPECT_FALSE(b.SharesLockWith(c));
    EXPECT_FALSE(b.IsLinkedWith(c));
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
    std::thread other([&] {
        TOWWriteLockSection section(b);
        EXPECT_TRUE(a.LockObject()->HeldByCurrentThread());
    });
    other.join();
}

TEST(OWLocksTest, AThreadWaitingOnTheOldLockStaysExcludedAfterRegrouping) {
    TOWObject a, b;
    std::atomic<bool> waiting{false};
    std::atomic<bool> entered{false};
    b.BeginWrite();
    std::thread other([&] {
        waiting = true;
        b.BeginWrite();
        entered = true;
        EXPECT_TRUE(a.LockObject()->HeldByCurrentThread());
        b.EndWrite();
    });
    while (!waiting) {
        std::this_thread::yield();
    }
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
