#include "signal/SLNotifyThread.h"

#include <utility>

#include "platform/audio/ThreadName.h"
#include "signal/SLThreadPriority.h"

namespace vantrel::signal {

void TSLAutoResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    changed_.notify_one();
}

void TSLAutoResetEvent::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return set_; });
    set_ = false;
}

TSLNotifyThread::TSLNotifyThread(Routine work) : work_(std::move(work)) {
    thread_ = std::thread([this] {
        audio::NameThisThread("vantrel-outnote");
        Run();
    });
}

TSLNotifyThread::~TSLNotifyThread() {
    StopThread();
    if (thread_.joinable()) {
        thread_.detach();  // destroyed from inside its own routine: the thread ends by itself
    }
}

void TSLNotifyThread::StopThread() {
    {
        std::lock_guard lock(stateMutex_);
        terminated_ = true;
    }
    event_.Set();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

bool TSLNotifyThread::Terminated() const {
    std::lock_guard lock(stateMutex_);
    return terminated_;
}

void TSLNotifyThread::Run() {
    SetCurrentThreadPriorityHighest();
    while (!Terminated()) {
        event_.Wait();
        if (Terminated()) {
            break;
        }
        if (work_) {
            work_(*this);
        }
    }
}

}  // namespace vantrel::signal
