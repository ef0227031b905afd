#include "platform/audio/WorkerWaveSystem.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/audio/ThreadName.h"

namespace vantrel::audio {

struct WorkerWaveSystem::Core {
    Core(WaveOutSystem& system, Limits callLimits) : inner(system), limits(callLimits) {}

    WaveOutSystem& inner;
    const Limits limits;
    std::mutex mutex;
    std::condition_variable workersEnded;
    int workers = 0;  // guarded by mutex
};

namespace {

using Core = WorkerWaveSystem::Core;
using Work = std::function<void()>;

// Runs work items in order on a thread of its own. The thread never needs joining: it ends
// by itself after the item given to Finish, however late a hung item lets it get there.
class CallWorker {
  public:
    explicit CallWorker(std::shared_ptr<Core> system) : queue_(std::make_shared<Queue>()) {
        {
            std::lock_guard lock(system->mutex);
            ++system->workers;
        }
        std::thread([queue = queue_, system = std::move(system)] {
            NameThisThread("vantrel-call");
            queue->Run();
            std::lock_guard lock(system->mutex);
            --system->workers;
            system->workersEnded.notify_all();
        }).detach();
    }
    ~CallWorker() { Finish({}); }

    CallWorker(const CallWorker&) = delete;
    CallWorker& operator=(const CallWorker&) = delete;

    // Runs `work` after the items before it and waits for it at most `limit`. False when it
    // has not finished by then; it still runs when the worker gets to it.
    bool Call(Work work, std::chrono::milliseconds limit) {
        auto task = std::make_shared<std::packaged_task<void()>>(std::move(work));
        std::future<void> done = task->get_future();
        queue_->Post([task] { (*task)(); });
        return done.wait_for(limit) == std::future_status::ready;
    }

    // `last` (if any) is the last item; the thread ends after it. Later calls do nothing.
    void Finish(Work last) { queue_->Finish(std::move(last)); }

  private:
    struct Queue {
        std::mutex mutex;
        std::condition_variable posted;
        std::deque<Work> items;
        bool finishing = false;

        void Post(Work work) {
            {
                std::lock_guard lock(mutex);
                if (finishing) {
                    return;
                }
                items.push_back(std::move(work));
            }
            posted.notify_one();
        }
        void Finish(Work last) {
            {
                std::lock_guard lock(mutex);
                if (finishing) {
                    return;
                }
                if (last) {
                    items.push_back(std::move(last));
                }
                finishing = true;
            }
            posted.notify_one();
        }
        void Run() {
            std::unique_lock lock(mutex);
            for (;;) {
                posted.wait(lock, [this] { return finishing || !items.empty(); });
                if (items.empty()) {
                    return;
                }
                Work work = std::move(items.front());
                items.pop_front();
                lock.unlock();
                work();
                work = nullptr;
                lock.lock();
            }
        }
    };

    std::shared_ptr<Queue> queue_;
};

// The wrapped stream: made, called and destroyed on its worker; its position is also read
// from the caller's thread, under the lock, which its destruction never holds.
struct Slot {
    std::mutex mutex;
    std::unique_ptr<WaveOut> real;

    // On the worker.
    void Drop() {
        std::unique_ptr<WaveOut> gone;
        {
            std::lock_guard lock(mutex);
            gone = std::move(real);
        }
    }
};

// Passes the wrapped stream's notifications on until the stream is destroyed or lost.
struct Gate {
    explicit Gate(WaveCallback routine) : callback(std::move(routine)) {}

    void Deliver(WaveMessage message, WaveHeader* header) {
        std::lock_guard lock(mutex);
        if (open) {
            callback(message, header);
        }
    }
    // Returns once no notification is being delivered; none is delivered afterwards.
    void Close() {
        std::lock_guard lock(mutex);
        open = false;
    }

    std::mutex mutex;
    bool open = true;
    WaveCallback callback;
};

class WorkerWaveOut final : public WaveOut {
  public:
    WorkerWaveOut(std::unique_ptr<CallWorker> worker, std::shared_ptr<Slot> slot,
                  std::shared_ptr<Gate> gate, std::chrono::milliseconds limit)
        : worker_(std::move(worker)),
          slot_(std::move(slot)),
          gate_(std::move(gate)),
          limit_(limit) {}

    ~WorkerWaveOut() override {
        if (!lost_ && worker_->Call([slot = slot_] { slot->Drop(); }, limit_)) {
            gate_->Close();
            return;
        }
        Lose();
    }

    WorkerWaveOut(const WorkerWaveOut&) = delete;
    WorkerWaveOut& operator=(const WorkerWaveOut&) = delete;

    MMResult Prepare(WaveHeader* header) override {
        return lost_ ? MMSYSERR_NOERROR : Run([header](WaveOut& s) { return s.Prepare(header); });
    }
    MMResult Unprepare(WaveHeader* header) override {
        return lost_ ? MMSYSERR_NOERROR : Run([header](WaveOut& s) { return s.Unprepare(header); });
    }
    MMResult Write(WaveHeader* header) override {
        return Run([header](WaveOut& s) { return s.Write(header); });
    }
    MMResult Pause() override {
        return Run([](WaveOut& s) { return s.Pause(); });
    }
    MMResult Restart() override {
        return Run([](WaveOut& s) { return s.Restart(); });
    }
    MMResult Reset() override {
        return Run([](WaveOut& s) { return s.Reset(); });
    }
    MMResult Close() override {
        return Run([](WaveOut& s) { return s.Close(); });
    }
    // Straight from the caller's thread: the wrapped stream answers it without waiting.
    MMResult GetPosition(uint64_t* frames) override {
        if (lost_) {
            return WorkerWaveSystem::kNotAnswering;
        }
        std::lock_guard lock(slot_->mutex);
        return slot_->real ? slot_->real->GetPosition(frames) : MMSYSERR_INVALHANDLE;
    }

  private:
    MMResult Run(std::function<MMResult(WaveOut&)> call) {
        if (lost_) {
            return WorkerWaveSystem::kNotAnswering;
        }
        auto result = std::make_shared<MMResult>(MMSYSERR_ERROR);
        const bool answered = worker_->Call(
            [slot = slot_, result, call = std::move(call)] { *result = call(*slot->real); },
            limit_);
        if (!answered) {
            Lose();
            return WorkerWaveSystem::kNotAnswering;
        }
        return *result;
    }

    // The wrapped stream goes on the worker once the hung call returns; nothing of it reaches
    // the caller any more.
    void Lose() {
        lost_ = true;
        gate_->Close();
        worker_->Finish([slot = slot_] { slot->Drop(); });
    }

    std::unique_ptr<CallWorker> worker_;
    std::shared_ptr<Slot> slot_;
    std::shared_ptr<Gate> gate_;
    const std::chrono::milliseconds limit_;
    bool lost_ = false;
};

}  // namespace

WorkerWaveSystem::WorkerWaveSystem(WaveOutSystem& inner) : WorkerWaveSystem(inner, Limits{}) {}

WorkerWaveSystem::WorkerWaveSystem(WaveOutSystem& inner, Limits limits)
    : core_(std::make_shared<Core>(inner, limits)) {}

WorkerWaveSystem::~WorkerWaveSystem() {
    std::unique_lock lock(core_->mutex);
    core_->workersEnded.wait_for(lock, core_->limits.call, [this] { return core_->workers == 0; });
}

int WorkerWaveSystem::Workers() const {
    std::lock_guard lock(core_->mutex);
    return core_->workers;
}

int WorkerWaveSystem::DeviceCount() {
    CallWorker worker(core_);
    auto count = std::make_shared<int>(0);
    const bool answered = worker.Call([count, core = core_] { *count = core->inner.DeviceCount(); },
                                      core_->limits.call);
    return answered ? *count : 0;
}

std::string WorkerWaveSystem::DeviceName(int index) {
    CallWorker worker(core_);
    auto name = std::make_shared<std::string>();
    const bool answered = worker.Call(
        [name, index, core = core_] { *name = core->inner.DeviceName(index); }, core_->limits.call);
    return answered ? *name : std::string();
}

MMResult WorkerWaveSystem::Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                                std::unique_ptr<WaveOut>* stream) {
    if (!stream) {
        return MMSYSERR_INVALPARAM;
    }
    auto worker = std::make_unique<CallWorker>(core_);
    auto slot = std::make_shared<Slot>();
    auto gate = std::make_shared<Gate>(std::move(callback));
    auto result = std::make_shared<MMResult>(MMSYSERR_ERROR);
    const bool answered = worker->Call(
        [core = core_, slot, gate, result, deviceId, format] {
            *result = core->inner.Open(
                deviceId, format,
                [gate](WaveMessage message, WaveHeader* header) { gate->Deliver(message, header); },
                &slot->real);
        },
        core_->limits.open);
    if (!answered) {
        gate->Close();
        worker->Finish([slot] { slot->Drop(); });
        return kNotAnswering;
    }
    if (*result != MMSYSERR_NOERROR || !slot->real) {
        return *result != MMSYSERR_NOERROR ? *result : MMSYSERR_ERROR;
    }
    *stream = std::make_unique<WorkerWaveOut>(std::move(worker), std::move(slot), std::move(gate),
                                              core_->limits.call);
    return MMSYSERR_NOERROR;
}

}  // namespace vantrel::audio
