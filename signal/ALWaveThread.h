// The thread that receives one stream's device notifications. The device's notification
// routine only queues a record (QueueMessage); the thread takes the records in order and runs
// its work routine for each, so the slow work (pumping the source, handing buffers back) never
// runs on the device's thread.
//
// The records come from a fixed pool made when the thread is created, so queueing never
// allocates; the queue lock is only ever held for a few instructions. The thread sleeps on a
// condition variable, which goes to sleep at once rather than spinning first.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/audio/WaveOut.h"

namespace vantrel::signal {

// One queued notification.
struct TALWaveMessage {
    audio::WaveOut* device = nullptr;
    audio::WaveMessage message = audio::WaveMessage::Open;
    audio::WaveHeader* parameter = nullptr;
};

class TALWaveThread {
  public:
    using Routine = std::function<void(audio::WaveMessage message, audio::WaveOut* device,
                                       audio::WaveHeader* parameter)>;

    // Records the queue holds at most. A stream keeps only a few buffers at its device, so a
    // full queue means the thread has stopped taking records; a record that finds it full is
    // dropped rather than allocated.
    static constexpr std::size_t kQueueCapacity = 2048;

    explicit TALWaveThread(Routine work);
    ~TALWaveThread();
    TALWaveThread(const TALWaveThread&) = delete;
    TALWaveThread& operator=(const TALWaveThread&) = delete;

    // Safe from any thread; never allocates or blocks on slow code. Ignored once the thread has
    // been asked to end.
    void QueueMessage(audio::WaveOut* device, audio::WaveMessage message,
                      audio::WaveHeader* parameter);
    // Removes the oldest record; false when the queue is empty.
    bool TakeMessage(audio::WaveMessage& message, audio::WaveOut*& device,
                     audio::WaveHeader*& parameter);
    // Discards every queued record.
    void ClearQueue();

    // The queue lock, for callers that must hold it across several steps. Re-entrant, so
    // TakeMessage and ClearQueue may be called while holding it.
    void Lock() { queueLock_.lock(); }
    void Unlock() { queueLock_.unlock(); }

    // Asks the thread to end and waits until it has; records left are discarded. Must not be
    // called from the thread itself.
    void StopThread();

    std::size_t QueuedCount();
    std::size_t DroppedCount();

  private:
    void Run();

    Routine work_;
    std::recursive_mutex queueLock_;
    std::condition_variable_any queued_;  // a record or the end, under queueLock_
    // Guarded by queueLock_.
    std::array<TALWaveMessage, kQueueCapacity> ring_{};
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::size_t dropped_ = 0;
    bool terminated_ = false;
    std::thread thread_;
};

}  // namespace vantrel::signal
