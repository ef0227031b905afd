#include "signal/OWLocks.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <utility>

namespace vantrel::signal {

// --- TOWMultiReadExclusiveWriteSynchronizer ---

TOWMultiReadExclusiveWriteSynchronizer::Bucket& TOWMultiReadExclusiveWriteSynchronizer::BucketOf(
    std::thread::id id) const {
    return buckets_[std::hash<std::thread::id>{}(id) % kBuckets];
}

TOWMultiReadExclusiveWriteSynchronizer::ReaderEntry* TOWMultiReadExclusiveWriteSynchronizer::Find(
    Bucket& bucket, std::thread::id id) {
    for (ReaderEntry& entry : bucket.entries) {
        if (entry.thread == id) {
            return &entry;
        }
    }
    return nullptr;
}

void TOWMultiReadExclusiveWriteSynchronizer::BeginRead() {
    const std::thread::id self = std::this_thread::get_id();
    Bucket& bucket = BucketOf(self);
    {
        std::lock_guard guard(bucket.mutex);
        if (ReaderEntry* entry = Find(bucket, self)) {
            ++entry->reads;  // nested read: always admitted
            return;
        }
        if (writer_.load(std::memory_order_relaxed) == self) {
            bucket.entries.push_back({self, 1, false});  // the writer reads freely
            return;
        }
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return writer_ == std::thread::id{} && waitingWriters_ == 0; });
    ++activeReaders_;
    std::lock_guard guard(bucket.mutex);
    bucket.entries.push_back({self, 1, true});
}

void TOWMultiReadExclusiveWriteSynchronizer::EndRead() {
    const std::thread::id self = std::this_thread::get_id();
    Bucket& bucket = BucketOf(self);
    bool wasCounted = false;
    {
        std::lock_guard guard(bucket.mutex);
        ReaderEntry* entry = Find(bucket, self);
        assert(entry != nullptr && "EndRead without BeginRead");
        if (entry == nullptr || --entry->reads > 0) {
            return;
        }
        wasCounted = entry->counted;
        *entry = bucket.entries.back();
        bucket.entries.pop_back();
    }
    if (wasCounted) {
        std::lock_guard lock(mutex_);
        if (--activeReaders_ == 0) {
            changed_.notify_all();
        }
    }
}

bool TOWMultiReadExclusiveWriteSynchronizer::BeginWrite() {
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    if (writer_ == self) {
        ++writeDepth_;
        return true;
    }
    const uint64_t seen = writeGeneration_;
    {
        // A reader taking the write side stops counting as a reader while it waits.
        Bucket& bucket = BucketOf(self);
        std::lock_guard guard(bucket.mutex);
        ReaderEntry* entry = Find(bucket, self);
        if (entry != nullptr && entry->counted) {
            entry->counted = false;
            if (--activeReaders_ == 0) {
                changed_.notify_all();
            }
        }
    }
    ++waitingWriters_;
    changed_.wait(lock, [&] { return writer_ == std::thread::id{} && activeReaders_ == 0; });
    --waitingWriters_;
    writer_ = self;
    writeDepth_ = 1;
    ++writeGeneration_;
    return writeGeneration_ == seen + 1;
}

void TOWMultiReadExclusiveWriteSynchronizer::EndWrite() {
    const std::thread::id self = std::this_thread::get_id();
    std::lock_guard lock(mutex_);
    assert(writer_ == self && "EndWrite by a thread that does not write");
    if (--writeDepth_ > 0) {
        return;
    }
    {
        // Reads held across the write count as ordinary reads again.
        Bucket& bucket = BucketOf(self);
        std::lock_guard guard(bucket.mutex);
        ReaderEntry* entry = Find(bucket, self);
        if (entry != nullptr && !entry->counted) {
            entry->counted = true;
            ++activeReaders_;
        }
    }
    writer_ = std::thread::id{};
    changed_.notify_all();
}

bool TOWMultiReadExclusiveWriteSynchronizer::IsWriter() const {
    return writer_.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

int TOWMultiReadExclusiveWriteSynchronizer::ReadDepth() const {
    const std::thread::id self = std::this_thread::get_id();
    Bucket& bucket = BucketOf(self);
    std::lock_guard guard(bucket.mutex);
    const ReaderEntry* entry = Find(bucket, self);
    return entry != nullptr ? entry->reads : 0;
}

TOWMultiReadExclusiveWriteSynchronizer& OWGlobalLock() {
    // Never destroyed: objects torn down during static destruction may still lock it.
    static auto* const lock = new TOWMultiReadExclusiveWriteSynchronizer;
    return *lock;
}

// --- TOWLockObject ---

void TOWLockObject::Enter() {
    const std::thread::id self = std::this_thread::get_id();
    if (owner_.load(std::memory_order_relaxed) == self) {
        ++depth_;
        return;
    }
    mutex_.lock();
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
}

void TOWLockObject::Leave() {
    assert(HeldByCurrentThread() && "Leave by a thread that does not hold the lock");
    if (--depth_ > 0) {
        return;
    }
    owner_.store(std::thread::id{}, std::memory_order_relaxed);
    mutex_.unlock();
}

bool TOWLockObject::HeldByCurrentThread() const {
    return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

int TOWLockObject::Depth() const {
    return HeldByCurrentThread() ? depth_ : 0;
}

// --- TOWObject ---

TOWObject::TOWObject() : lock_(std::make_shared<TOWLockObject>()) {}

TOWObject::~TOWObject() {
    TOWGlobalWriteLockSection global;
    while (!links_.empty()) {
        Unlink(*links_.back());
    }
}

void TOWObject::BeginWrite() const {
    for (;;) {
        std::shared_ptr<TOWLockObject> lock = LockObject();
        lock->Enter();
        {
            std::lock_guard guard(relinkMutex_);
            if (lock_ == lock) {
                ++holdDepth_;
                return;
            }
        }
        // Regrouped while we waited: the group now has a new lock.
        lock->Leave();
    }
}

void TOWObject::EndWrite() const {
    std::shared_ptr<TOWLockObject> lock = LockObject();
    --holdDepth_;
    lock->Leave();
}

std::shared_ptr<TOWLockObject> TOWObject::LockObject() const {
    std::lock_guard guard(relinkMutex_);
    return lock_;
}

bool TOWObject::IsLinkedWith(const TOWObject& other) const {
    TOWGlobalReadLockSection global;
    return std::find(links_.begin(), links_.end(), &other) != links_.end();
}

bool TOWObject::SharesLockWith(const TOWObject& other) const {
    return LockObject() == other.LockObject();
}

void TOWObject::Link(TOWObject& other) {
    if (&other == this) {
        return;
    }
    TOWGlobalWriteLockSection global;
    if (std::find(links_.begin(), links_.end(), &other) != links_.end()) {
        return;
    }
    BeginWrite();
    other.BeginWrite();
    links_.push_back(&other);
    other.links_.push_back(this);
    Regroup(GroupMembers());
    other.EndWrite();
    EndWrite();
}

void TOWObject::Unlink(TOWObject& other) {
    TOWGlobalWriteLockSection global;
    auto mine = std::find(links_.begin(), links_.end(), &other);
    if (mine == links_.end()) {
        return;
    }
    BeginWrite();
    other.BeginWrite();
    links_.erase(mine);
    other.links_.erase(std::find(other.links_.begin(), other.links_.end(), this));
    const std::vector<TOWObject*> side = GroupMembers();
    Regroup(side);
    if (std::find(side.begin(), side.end(), &other) == side.end()) {
        Regroup(other.GroupMembers());
    }
    other.EndWrite();
    EndWrite();
}

std::vector<TOWObject*> TOWObject::GroupMembers() {
    std::vector<TOWObject*> members{this};
    for (size_t i = 0; i < members.size(); ++i) {
        for (TOWObject* linked : members[i]->links_) {
            if (std::find(members.begin(), members.end(), linked) == members.end()) {
                members.push_back(linked);
            }
        }
    }
    return members;
}

// Gives all members one new lock. The caller holds the group locks of all members (it links or
// unlinks under the global write side), so every hold on them is its own: it takes the new lock
// once for each hold through a member, switches all members, and only then releases those
// holds on the old locks, so that no other thread can slip in between.
void TOWObject::Regroup(const std::vector<TOWObject*>& members) {
    auto fresh = std::make_shared<TOWLockObject>();
    std::vector<std::pair<std::shared_ptr<TOWLockObject>, int>> carried;
    carried.reserve(members.size());
    for (TOWObject* member : members) {
        for (int i = 0; i < member->holdDepth_; ++i) {
            fresh->Enter();
        }
        std::lock_guard guard(member->relinkMutex_);
        carried.emplace_back(std::move(member->lock_), member->holdDepth_);
        member->lock_ = fresh;
    }
    for (auto& [lock, holds] : carried) {
        for (int i = 0; i < holds; ++i) {
            lock->Leave();
        }
    }
}

}  // namespace vantrel::signal
