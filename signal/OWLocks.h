// Locks of the pin framework.
//
// Two kinds of lock guard the interference chain, always taken in this order:
//  1. the process-wide pin lock (OWGlobalLock()), a re-entrant multi-reader, single-writer
//     lock. Sends hold its read side; connecting, linking, starting and enabling hold its write
//     side.
//  2. the group lock of an object (TOWObject): one re-entrant critical section shared by every
//     object of a group joined by links. Its read and write side are the same section.
// Scoped sections take both: TOWReadLockSection and TOWWriteLockSection hold the global read
// side and then the object's group lock for their scope.
//
// Group locks are only taken with the global lock held (read or write side). Linking and
// unlinking run under the global write side, so while they regroup objects no other thread can
// hold a group lock of the objects involved.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vantrel::signal {

// A re-entrant multi-reader, single-writer lock.
//
// - A thread may take the read side repeatedly; nested reads are always admitted, so a reader
//   never blocks on itself while a writer waits.
// - The writer may take the write side repeatedly and may also read.
// - A reader may take the write side. While it waits it gives up its read side (its read count
//   is kept and restored when it ends writing), so two readers that both take the write side do
//   not wait for each other: one writes first, the other after it. BeginWrite returns false when
//   another writer held the lock in between, i.e. when what the caller read before may have
//   changed.
// - New readers wait while a writer waits, so writers are not starved.
// Per-thread read counts live in 16 buckets chosen by a hash of the thread id.
//
// A reader must not take the write side while holding a group lock that another reader may be
// waiting for: the other reader would never leave.
class TOWMultiReadExclusiveWriteSynchronizer {
  public:
    TOWMultiReadExclusiveWriteSynchronizer() = default;
    TOWMultiReadExclusiveWriteSynchronizer(const TOWMultiReadExclusiveWriteSynchronizer&) = delete;
    TOWMultiReadExclusiveWriteSynchronizer& operator=(
        const TOWMultiReadExclusiveWriteSynchronizer&) = delete;

    void BeginRead();
    void EndRead();
    // True when no other thread wrote since the call began.
    bool BeginWrite();
    void EndWrite();

    // About the calling thread.
    bool IsWriter() const;
    int ReadDepth() const;

  private:
    static constexpr size_t kBuckets = 16;

    struct ReaderEntry {
        std::thread::id thread;
        int reads = 0;
        bool counted = false;  // included in activeReaders_
    };
    struct Bucket {
        mutable std::mutex mutex;
        std::vector<ReaderEntry> entries;
    };

    Bucket& BucketOf(std::thread::id id) const;
    static ReaderEntry* Find(Bucket& bucket, std::thread::id id);

    mutable std::array<Bucket, kBuckets> buckets_;
    std::mutex mutex_;  // guards everything below; taken before a bucket's mutex
    std::condition_variable changed_;
    std::atomic<std::thread::id> writer_{};
    int writeDepth_ = 0;
    int activeReaders_ = 0;  // threads holding the read side, writer excluded
    int waitingWriters_ = 0;
    uint64_t writeGeneration_ = 0;
};

// The process-wide pin lock.
TOWMultiReadExclusiveWriteSynchronizer& OWGlobalLock();

// A re-entrant critical section: the lock of one group of linked objects.
class TOWLockObject {
  public:
    TOWLockObject() = default;
    TOWLockObject(const TOWLockObject&) = delete;
    TOWLockObject& operator=(const TOWLockObject&) = delete;

    void Enter();
    void Leave();
    bool HeldByCurrentThread() const;
    // How often the calling thread holds it (0 when it does not).
    int Depth() const;

  private:
    std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0;  // touched by the owner only
};

// A lockable object of the chain. Every object starts in a group of its own; linking joins the
// groups of two objects so that all their members share one new group lock, unlinking splits
// them again. Holds that the linking thread has on the members are carried over to the new
// lock, so it keeps its exclusion throughout.
class TOWObject {
  public:
    TOWObject();
    // Unlinks from every linked object.
    virtual ~TOWObject();
    TOWObject(const TOWObject&) = delete;
    TOWObject& operator=(const TOWObject&) = delete;

    // The group lock alone (no global lock). Read and write are the same critical section.
    void BeginRead() const { BeginWrite(); }
    void EndRead() const { EndWrite(); }
    void BeginWrite() const;
    void EndWrite() const;

    // Both take the global write side and the two objects' group locks.
    void Link(TOWObject& other);
    void Unlink(TOWObject& other);

    bool IsLinkedWith(const TOWObject& other) const;
    bool SharesLockWith(const TOWObject& other) const;
    std::shared_ptr<TOWLockObject> LockObject() const;

  private:
    std::vector<TOWObject*> GroupMembers();
    static void Regroup(const std::vector<TOWObject*>& members);

    mutable std::mutex relinkMutex_;  // guards lock_
    std::shared_ptr<TOWLockObject> lock_;
    mutable int holdDepth_ = 0;      // holds of the group lock's owner through this object
    std::vector<TOWObject*> links_;  // changed under the global write side only
};

// Scoped holds of the global lock.
class TOWGlobalReadLockSection {
  public:
    TOWGlobalReadLockSection() { OWGlobalLock().BeginRead(); }
    ~TOWGlobalReadLockSection() { OWGlobalLock().EndRead(); }
    TOWGlobalReadLockSection(const TOWGlobalReadLockSection&) = delete;
    TOWGlobalReadLockSection& operator=(const TOWGlobalReadLockSection&) = delete;
};

class TOWGlobalWriteLockSection {
  public:
    TOWGlobalWriteLockSection() { OWGlobalLock().BeginWrite(); }
    ~TOWGlobalWriteLockSection() { OWGlobalLock().EndWrite(); }
    TOWGlobalWriteLockSection(const TOWGlobalWriteLockSection&) = delete;
    TOWGlobalWriteLockSection& operator=(const TOWGlobalWriteLockSection&) = delete;
};

// The global read side, then the object's group lock.
class TOWReadLockSection {
  public:
    explicit TOWReadLockSection(const TOWObject& object) : object_(object) { object_.BeginRead(); }
    ~TOWReadLockSection() { object_.EndRead(); }
    TOWReadLockSection(const TOWReadLockSection&) = delete;
    TOWReadLockSection& operator=(const TOWReadLockSection&) = delete;

  private:
    TOWGlobalReadLockSection global_;
    const TOWObject& object_;
};

class TOWWriteLockSection {
  public:
    explicit TOWWriteLockSection(const TOWObject& object) : object_(object) {
        object_.BeginWrite();
    }
    ~TOWWriteLockSection() { object_.EndWrite(); }
    TOWWriteLockSection(const TOWWriteLockSection&) = delete;
    TOWWriteLockSection& operator=(const TOWWriteLockSection&) = delete;

  private:
    TOWGlobalReadLockSection global_;
    const TOWObject& object_;
};

}  // namespace vantrel::signal
