// The frame of every generator: output, enable and clock pins, the audio format, the work
// buffer, the choice of who paces the stream, start and stop, and one block per pacing event.
//
// A stream starts when Enabled becomes true while OutputPin is connected: the generator asks
// downstream for pacing (a pump request). A component that claims it (the pump master) then
// pulls blocks with master pump operations sent upstream; otherwise the generator paces itself
// on the clock service. Each block is computed by the descendant into the work buffer, copied
// into every channel of a new audio buffer and sent downstream, on the thread that asked for
// it. The second block of a run is followed by a resume operation.
//
// Locking: the component's lock object, OutputPin and ClockPin share one group lock. Setters,
// blocks and stops take it; start, stop and Enabled also take the global write side first.
// Descendants override the hooks below; they are called with the group lock held.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "signal/ALAudioBuffer.h"
#include "signal/ALAudioFormat.h"
#include "signal/OWComponent.h"
#include "signal/OWLocks.h"
#include "signal/OWOperations.h"
#include "signal/OWPins.h"
#include "signal/SLBuffers.h"
#include "signal/SLClockGen.h"

namespace vantrel::signal {

enum class TSLClockSource : uint8_t { csInternal = 0, csExternal = 1 };

class TALCommonGen : public TOWComponent {
  public:
    static constexpr bool kDefaultEnabled = true;
    static constexpr int32_t kDefaultPumpPriority = 0;
    static constexpr TSLClockSource kDefaultClockSource = TSLClockSource::csInternal;

    // `clocks` paces the generator when nothing downstream does; it must outlive it.
    explicit TALCommonGen(std::string name = {},
                          TSLClockService& clocks = TSLClockService::Instance());
    // Shuts the generator down (see Shutdown). A descendant whose GenerateBlock uses its own
    // members calls Shutdown() first in its destructor, so no block runs while they go.
    ~TALCommonGen() override;

    TALOWAudioSourcePin& OutputPin() { return *outputPin_; }
    TOWBoolStatePin& EnablePin() { return *enablePin_; }
    TOWClockSinkPin& ClockPin() { return *clockPin_; }
    TALAudioFormat& AudioFormat() { return *format_; }
    const TALAudioFormat& AudioFormat() const { return *format_; }
    // Copies channels, bits, rate and block size.
    void SetAudioFormat(const TALAudioFormat& format);

    bool Enabled() const;
    // True starts a stream (when OutputPin is connected), false stops it.
    void SetEnabled(bool enabled);
    int32_t PumpPriority() const;
    void SetPumpPriority(int32_t priority);
    TSLClockSource ClockSource() const;
    void SetClockSource(TSLClockSource source);

    // To be called once the component's properties and connections have been set: starts the
    // stream if Enabled.
    void Loaded();

    // One block: generates it and sends it downstream, if running.
    void Tick();

    bool Running() const;
    bool SelfPumping() const;
    // The clock period for a format: round(999 / (rate / blockSize)) ms, within 1..60000.
    static std::chrono::milliseconds ClockPeriod(uint32_t sampleRate, uint32_t bufferSize);

  protected:
    // Handles the operations sinks send upstream.
    virtual bool OutputPinOperation(TOWSourcePin& pin, const TOWOperationPtr& operation);
    // Decides who paces the stream; registers with the clock when it is this generator.
    virtual void NegotiatePacing();
    // Called at every start, before SetSampleRate.
    virtual void StartHook(uint32_t blockSize) { (void)blockSize; }
    // Starts a stream. Descendants may extend it (reset their state, then call this).
    virtual void Start();
    virtual void SetSampleRate(double rate) { (void)rate; }
    // Fills the work buffer with one block of BufferSize mono samples, then calls
    // FanOut(destination).
    virtual void GenerateBlock(IALAudioBuffer& destination) = 0;
    virtual void Stop();
    virtual bool OutputPinConnected() const;

    void TryStart();
    // Stops the stream and parts OutputPin and ClockPin from their peers, so no pump or tick
    // can reach the generator any more. Safe to call more than once.
    void Shutdown();
    // Copies the work buffer into every channel of `destination`.
    void FanOut(IALAudioBuffer& destination);

    // One block of BufferSize signed 16-bit samples.
    int16_t* WorkSamples() { return workSamples_; }
    size_t WorkSampleCount() const { return workSampleCount_; }
    // The component's lock object (also the audio format's).
    TOWObject& LockObject() { return lock_; }

  private:
    void RecreateWorkBuffer();
    void OnMasterPump(const TOWMasterPumpOperation& pump, uint64_t id);

    TSLClockService& clocks_;
    TOWObject lock_;
    std::unique_ptr<TALAudioFormat> format_;
    std::unique_ptr<TALOWAudioSourcePin> outputPin_;
    std::unique_ptr<TOWBoolStatePin> enablePin_;
    std::unique_ptr<TOWClockSinkPin> clockPin_;

    // All below under the group lock.
    std::shared_ptr<TSLBlockBuffer> work_;
    std::shared_ptr<ISLBlockDataAccess> workAccess_;
    int16_t* workSamples_ = nullptr;
    size_t workSampleCount_ = 0;
    bool enabled_ = kDefaultEnabled;
    int32_t pumpPriority_ = kDefaultPumpPriority;
    TSLClockSource clockSource_ = kDefaultClockSource;
    bool running_ = false;
    bool selfPumping_ = false;
    TOWComponent* pumper_ = nullptr;
    uint64_t lastPumpId_ = 0;
    bool fresh_ = false;
    int blockCounter_ = 0;
    TSLClockService::Registration clockItem_ = nullptr;
};

}  // namespace vantrel::signal
