#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "signal/ALWaveThread.h"
#include "signal/SLNotifyThread.h"

namespace vantrel::signal {
namespace {

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
    void WaitForCount(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return seen_.size() >= count; });
    }
    std::vector<int> Seen() {
        std::lock_guard lock(mutex_);
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
    recorder.WaitForCount(1);  // the routine is running and held at the gate
    phase = 1;
    thread.Signal();
    thread.Signal();
    thread.Signal();
    recorder.Open();
    recorder.WaitForCount(2);
    phase = 2;
    thread.Signal();
    recorder.WaitForCount(3);
    thread.StopThread();
    EXPECT_EQ(recorder.Seen(), (std::vector<int>{0, 1, 2}));
    thread.StopThread();  // a second stop is harmless
}

audio::WaveHeader* Tag(std::size_t i) {
    return reinterpret_cast<audio::WaveHeader*>(i + 1);
}

TEST(TALWaveThreadTest, DeliversEveryQueuedRecordInOrderAndDropsWhatTheQueueCannotHold) {
    Recorder recorder;
    TALWaveThread thread([&](audio::WaveMessage message, audio::WaveOut*, audio::WaveHeader* p) {
        EXPECT_EQ(message, audio::WaveMessage::Done);
        recorder.Record(static_cast<int>(reinterpret_cast<uintptr_t>(p)));
    });
    thread.QueueMessage(nullptr, audio::WaveMessage::Done, Tag(0));
    recorder.WaitForCount(1);
    // While the thread is held, more records arrive than the queue holds; the ones beyond its
    // capacity are dropped, all others arrive in order.
    const std::size_t sent = TALWaveThread::kQueueCapacity + 52;
    for (std::size_t i = 1; i <= sent; ++i) {
        thread.QueueMessage(nullptr, audio::WaveMessage::Done, Tag(i));
    }
    EXPECT_EQ(thread.QueuedCount(), TALWaveThread::kQueueCapacity);
    EXPECT_EQ(thread.DroppedCount(), 52u);
    recorder.Open();
    recorder.WaitForCount(1 + TALWaveThread::kQueueCapacity);
    thread.StopThread();
    const std::vector<int> seen = recorder.Seen();
    ASSERT_EQ(seen.size(), 1 + TALWaveThread::kQueueCapacity);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        ASSERT_EQ(seen[i], static_cast<int>(i + 1));
    }
}

TEST(TALWaveThreadTest, ClearedAndLateRecordsNeverReachTheRoutine) {
    Recorder recorder;
    TALWaveThread thread([&](audio::WaveMessage, audio::WaveOut*, audio::WaveHeader* p) {
        recorder.Record(static_cast<int>(reinterpret_cast<uintptr_t>(p)));
    });
    thread.QueueMessage(nullptr, audio::WaveMessage::Done, Tag(0));
    recorder.WaitForCount(1);
    thread.QueueMessage(nullptr, audio::WaveMessage::Done, Tag(1));
    thread.QueueMessage(nullptr, audio::WaveMessage::Done, Tag(2));
    thread.Lock();
    thread.ClearQueue();
    thread.Unlock();
    recorder.Open();
    thread.QueueMessage(nullptr, audio::WaveMessage::Close, Tag(3));
    recorder.WaitForCount(2);
    thread.StopThread();
    thread.QueueMessage(nullptr, audio::WaveMessage::Done, Tag(4));
    EXPECT_EQ(thread.QueuedCount(), 0u);
    EXPECT_EQ(recorder.Seen(), (std::vector<int>{1, 4}));
}

}  // namespace
}  // namespace vantrel::signal
