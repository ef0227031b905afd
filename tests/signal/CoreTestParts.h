// Small chain components for the pin and generator tests: a generator with a predictable
// block, a sink that records what arrives, and a pump master that claims the pacing.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "signal/ALAudioBuffer.h"
#include "signal/ALCommonGen.h"
#include "signal/OWPins.h"

namespace vantrel::signal::testing {

// The class of an operation, most derived first.
inline std::string KindOf(const TOWNotifyOperation& op) {
    if (op.Is<TOWStartWaveOperation>())
        return "StartWave";
    if (op.Is<TOWStartPumpOperation>())
        return "StartPump";
    if (op.Is<TOWPumpRequestOperation>())
        return "PumpRequest";
    if (op.Is<TOWSuppliedBufferOperation>())
        return "Buffer";
    if (op.Is<TOWSLResumeOperation>())
        return "Resume";
    if (op.Is<TOWEndStopOperation>())
        return "EndStop";
    if (op.Is<TOWMasterPumpOperation>())
        return "MasterPump";
    return "Other";
}

// Block n holds the samples n * 100 + k (k = 0, 1, ...).
class CountingGen : public TALCommonGen {
  public:
    explicit CountingGen(std::string name, TSLClockService& clocks = TSLClockService::Instance())
        : TALCommonGen(std::move(name), clocks) {}
    ~CountingGen() override { Stop(); }

    int StartHooks() const { return startHooks_; }
    double SampleRate() const { return sampleRate_; }

  protected:
    void StartHook(uint32_t) override {
        ++startHooks_;
        blocks_ = 0;
    }
    void SetSampleRate(double rate) override { sampleRate_ = rate; }
    void GenerateBlock(IALAudioBuffer& destination) override {
        for (size_t k = 0; k < WorkSampleCount(); ++k) {
            WorkSamples()[k] = static_cast<int16_t>(blocks_ * 100 + static_cast<int>(k));
        }
        ++blocks_;
        FanOut(destination);
    }

  private:
    int blocks_ = 0;
    int startHooks_ = 0;
    double sampleRate_ = 0;
};

// Records every operation that reaches its input pin; thread-safe.
class RecordingSink : public TOWComponent {
  public:
    explicit RecordingSink(std::string name)
        : TOWComponent(std::move(name)),
          input(this, "InputPin",
                TOWSinkPin::Handler(
                    [this](TOWSinkPin&, const TOWOperationPtr& op) { return Handle(op); })) {}

    std::vector<std::string> Kinds() const {
        std::lock_guard lock(mutex_);
        return kinds_;
    }
    std::vector<TOWOperationPtr> Operations() const {
        std::lock_guard lock(mutex_);
        return operations_;
    }
    size_t Count(const std::string& kind) const {
        std::lock_guard lock(mutex_);
        size_t n = 0;
        for (const auto& k : kinds_) {
            n += k == kind ? 1 : 0;
        }
        return n;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        kinds_.clear();
        operations_.clear();
    }

  protected:
    virtual bool Handle(const TOWOperationPtr& op) {
        std::lock_guard lock(mutex_);
        kinds_.push_back(KindOf(*op));
        operations_.push_back(op);
        return false;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> kinds_;
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
            for (int i = 0; i < preFill; ++i) {
                Pump();
            }
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
        if (const auto* supplied = op->As<TOWSuppliedBufferOperation>()) {
            buffers.push_back(std::dynamic_pointer_cast<IALAudioBuffer>(supplied->Buffer));
        }
    }
    return buffers;
}

// One channel of every buffer that reached `sink`.
inline std::vector<std::vector<int16_t>> ChannelOf(const RecordingSink& sink, uint32_t channel) {
    std::vector<std::vector<int16_t>> blocks;
    for (const auto& buffer : BuffersOf(sink)) {
        auto access = buffer->AudioAccess();
        std::vector<int16_t>& block = blocks.emplace_back(access->FrameCount());
        for (size_t k = 0; k < block.size(); ++k) {
            block[k] = static_cast<int16_t>(access->Sample(k, channel));
        }
    }
    return blocks;
}

}  // namespace vantrel::signal::testing
