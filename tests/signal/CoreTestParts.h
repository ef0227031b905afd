// Small chain components for the signal tests: a generator with a predictable block, a sink
// that records what arrives, a pump master that claims the pacing, and a bounded wait.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "signal/ALAudioBuffer.h"
#include "signal/ALCommonGen.h"
#include "signal/OWPins.h"

namespace vantrel::signal::testing {

// The class of an operation, most derived first.
inline std::string KindOf(const TOWNotifyOperation& op) {
    return op.Is<TOWStartWaveOperation>()        ? "StartWave"
           : op.Is<TOWStartPumpOperation>()      ? "StartPump"
           : op.Is<TOWPumpRequestOperation>()    ? "PumpRequest"
           : op.Is<TOWSuppliedBufferOperation>() ? "Buffer"
           : op.Is<TOWSLResumeOperation>()       ? "Resume"
           : op.Is<TOWEndStopOperation>()        ? "EndStop"
           : op.Is<TOWMasterPumpOperation>()     ? "MasterPump"
                                                 : "Other";
}

// Each block continues a ramp of sample values (wrapping at 16 bits) from the previous one,
// so that what is played can be checked for gaps and repeats; a start begins it at 0.
class RampGen : public TALCommonGen {
  public:
    explicit RampGen(TSLClockService& clocks, std::string name = "RampGen")
        : TALCommonGen(std::move(name), clocks) {
        SetEnabled(false);
    }
    // Stopped and disconnected before its own parts go, so no pump reaches it any more.
    ~RampGen() override {
        Stop();
        OutputPin().DisconnectAll();
    }

    int MasterPumps() const { return masterPumps_.load(); }
    int StartHooks() const { return startHooks_.load(); }
    double SampleRate() const { return sampleRate_.load(); }

  protected:
    bool OutputPinOperation(TOWSourcePin& pin, const TOWOperationPtr& operation) override {
        if (operation->Is<TOWMasterPumpOperation>())
            ++masterPumps_;
        return TALCommonGen::OutputPinOperation(pin, operation);
    }
    void StartHook(uint32_t) override {
        ++startHooks_;
        next_ = 0;
    }
    void SetSampleRate(double rate) override { sampleRate_ = rate; }
    void GenerateBlock(IALAudioBuffer& destination) override {
        for (size_t i = 0; i < WorkSampleCount(); ++i)
            WorkSamples()[i] = static_cast<int16_t>(next_++);
        FanOut(destination);
    }

  private:
    std::atomic<int> masterPumps_{0};
    std::atomic<int> startHooks_{0};
    std::atomic<double> sampleRate_{0};
    std::atomic<uint16_t> next_{0};
};

// Waits until `done()` holds; false after a generous limit (a hang, not a slow machine).
inline bool WaitUntil(const std::function<bool()>& done) {
    using Clock = std::chrono::steady_clock;
    for (const auto limit = Clock::now() + std::chrono::seconds(30); !done();
         std::this_thread::sleep_for(std::chrono::microseconds(200))) {
        if (Clock::now() > limit)
            return false;
    }
    return true;
}

// Records every operation that reaches its input pin; thread-safe.
class RecordingSink : public TOWComponent {
  public:
    explicit RecordingSink(std::string name)
        : TOWComponent(std::move(name)),
          input(this, "InputPin",
                TOWSinkPin::Handler(
                    [this](TOWSinkPin&, const TOWOperationPtr& op) { return Handle(op); })) {}

    std::vector<TOWOperationPtr> Operations() const {
        std::lock_guard lock(mutex_);
        return operations_;
    }
    std::vector<std::string> Kinds() const {
        std::vector<std::string> kinds;
        for (const auto& op : Operations())
            kinds.push_back(KindOf(*op));
        return kinds;
    }
    size_t Count(const std::string& kind) const {
        return static_cast<size_t>(std::ranges::count(Kinds(), kind));
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        operations_.clear();
    }

  protected:
    virtual bool Handle(const TOWOperationPtr& op) {
        std::lock_guard lock(mutex_);
        operations_.push_back(op);
        return false;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<TOWOperationPtr> operations_;

  public:
    // Last, so that it disconnects before the records go.
    TALOWAudioSinkPin input;
};

// Claims the pacing of every pump request and answers a start pump with `preFill` pumps.
class PumpMaster : public RecordingSink {
  public:
    explicit PumpMaster(std::string name, int preFillPumps = 4)
        : RecordingSink(std::move(name)), preFill(preFillPumps) {}

    void Pump() { input.NotifyUpstream(std::make_shared<TOWMasterPumpOperation>(this)); }

  protected:
    bool Handle(const TOWOperationPtr& op) override {
        RecordingSink::Handle(op);
        if (auto* request = op->As<TOWPumpRequestOperation>()) {
            request->Pumper = this;
            request->ClaimLevel = TOWPumpRequestOperation::kClaimed;
        } else if (op->Is<TOWStartPumpOperation>()) {
            for (int i = 0; i < preFill; ++i)
                Pump();
        }
        return false;
    }

  public:
    int preFill;
};

// The buffers that reached `sink`, in order.
inline std::vector<std::shared_ptr<IALAudioBuffer>> BuffersOf(const RecordingSink& sink) {
    std::vector<std::shared_ptr<IALAudioBuffer>> buffers;
    for (const auto& op : sink.Operations()) {
        if (const auto* supplied = op->As<TOWSuppliedBufferOperation>())
            buffers.push_back(std::dynamic_pointer_cast<IALAudioBuffer>(supplied->Buffer));
    }
    return buffers;
}

// One channel of every buffer that reached `sink`.
inline std::vector<std::vector<int16_t>> ChannelOf(const RecordingSink& sink, uint32_t channel) {
    std::vector<std::vector<int16_t>> blocks;
    for (const auto& buffer : BuffersOf(sink)) {
        auto access = buffer->AudioAccess();
        std::vector<int16_t>& block = blocks.emplace_back(access->FrameCount());
        for (size_t k = 0; k < block.size(); ++k)
            block[k] = static_cast<int16_t>(access->Sample(k, channel));
    }
    return blocks;
}

}  // namespace vantrel::signal::testing
