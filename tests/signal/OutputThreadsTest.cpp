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

TEST_F(TALWaveThreadTest, DeliversEveryRecordInOrderBeyondTheSemaphoreMaximum) {
    // While the thread is held, more records arrive than the semaphore counts and the queue
    // holds; the ones beyond the queue's capacity are dropped, all others arrive in order.
    for (std::size_t i = 1; i <= TALWaveThread::kQueueCapacity + 52; ++i) {
        Queue(i);
    }
    EXPECT_EQ(thread.QueuedCount(), TALWaveThread::kQueueCapacity);
    EXPECT_EQ(thread.DroppedCount(), 52u);
    recorder.Open();
    recorder.Seen(1 + TALWaveThread::kQueueCapacity);
    thread.StopThread();
    const std::vector<int> seen = recorder.Seen();
    ASSERT_EQ(seen.size(), 1 + TALWaveThread::kQueueCapacity);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        ASSERT_EQ(seen[i], static_cast<int>(i + 1));
    }
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

}  // namespace
}  // namespace vantrel::signal
