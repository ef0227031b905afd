// Helpers shared by the audio output tests: a generator whose blocks count up, so that what
// the device plays can be checked for gaps and repeats, and a bounded wait for other threads.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "signal/ALCommonGen.h"

namespace vantrel::signal::testing {

// Each block continues a ramp of sample values (wrapping at 16 bits) from the previous one.
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
    // The value of the next sample to be generated.
    uint16_t NextValue() const { return next_.load(); }

  protected:
    bool OutputPinOperation(TOWSourcePin& pin, const TOWOperationPtr& operation) override {
        if (operation->Is<TOWMasterPumpOperation>()) {
            ++masterPumps_;
        }
        return TALCommonGen::OutputPinOperation(pin, operation);
    }
    void StartHook(uint32_t) override { next_ = 0; }
    void GenerateBlock(IALAudioBuffer& destination) override {
        uint16_t value = next_.load();
        for (size_t i = 0; i < WorkSampleCount(); ++i) {
            WorkSamples()[i] = static_cast<int16_t>(value++);
        }
        next_ = value;
        FanOut(destination);
    }

  private:
    std::atomic<int> masterPumps_{0};
    std::atomic<uint16_t> next_{0};
};

// Waits until `done()` holds; false after a generous limit (a hang, not a slow machine).
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

}  // namespace vantrel::signal::testing
