#include "signal/ALWaveThread.h"

#include <utility>

#include "platform/audio/ThreadName.h"
#include "signal/SLThreadPriority.h"

namespace vantrel::signal {

TALWaveThread::TALWaveThread(Routine work) : work_(std::move(work)) {
    thread_ = std::thread([this] { Run(); });
}

TALWaveThread::~TALWaveThread() {
    StopThread();
    if (thread_.joinable()) {
        thread_.detach();  // destroyed from inside its own routine: the thread ends by itself
    }
    ClearQueue();
}

void TALWaveThread::QueueMessage(audio::WaveOut* device, audio::WaveMessage message,
                                 audio::WaveHeader* parameter) {
    std::lock_guard lock(queueLock_);
    if (terminated_) {
        return;
    }
    if (count_ == kQueueCapacity) {
        ++dropped_;
        return;
    }
    ring_[(head_ + count_) % kQueueCapacity] = TALWaveMessage{device, message, parameter};
    ++count_;
    queued_.notify_one();
}

bool TALWaveThread::TakeMessage(audio::WaveMessage& message, audio::WaveOut*& device,
                                audio::WaveHeader*& parameter) {
    std::lock_guard lock(queueLock_);
    if (count_ == 0) {
        return false;
    }
    const TALWaveMessage& record = ring_[head_];
    message = record.message;
    device = record.device;
    parameter = record.parameter;
    head_ = (head_ + 1) % kQueueCapacity;
    --count_;
    return true;
}

void TALWaveThread::ClearQueue() {
    std::lock_guard lock(queueLock_);
    head_ = 0;
    count_ = 0;
}

std::size_t TALWaveThread::QueuedCount() {
    std::lock_guard lock(queueLock_);
    return count_;
}

std::size_t TALWaveThread::DroppedCount() {
    std::lock_guard lock(queueLock_);
    return dropped_;
}

void TALWaveThread::StopThread() {
    {
        std::lock_guard lock(queueLock_);
        if (!terminated_) {
            terminated_ = true;
            queued_.notify_one();
        }
    }
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

void TALWaveThread::Run() {
    audio::NameThisThread("vantrel-wave");
    SetCurrentThreadPriorityHighest();
    for (;;) {
        audio::WaveMessage message{};
        audio::WaveOut* device = nullptr;
        audio::WaveHeader* parameter = nullptr;
        {
            std::unique_lock lock(queueLock_);
            queued_.wait(lock, [this] { return terminated_ || count_ > 0; });
            if (terminated_) {
                break;
            }
            TakeMessage(message, device, parameter);
        }
        if (work_) {
            work_(message, device, parameter);
        }
    }
    ClearQueue();
}

}  // namespace vantrel::signal
