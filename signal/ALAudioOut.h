// The audio output component: plays the audio buffers that reach its input pin on a wave
// output device and paces its source.
//
// For one stream the source's operations act in this order: the pump request, which the output
// claims (it becomes the pump master) when it can open its device; the start wave, which opens
// the device paused in the stream's format; the start pump, which pulls the first blocks; the
// resume, which starts the device playing; then one block is pulled for every block the device
// finishes, with two blocks queued at the device and two waiting in the operation list; the end
// stop, which closes the device from the notify thread.
//
// Threads: operations arrive on the thread that sent them (the one starting or stopping the
// source, or the wave thread inside a pump). The device's notifications are queued to a wave
// thread of the stream's own; the close runs on the notify thread, which also hands on the
// operations that waited for it. Locks, in order: the input pin's group lock, the shared
// state's lock, the wave thread's queue lock. Pump is never called with the shared state's
// lock held.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "platform/audio/WaveOut.h"
#include "signal/ALAudioFormat.h"
#include "signal/ALAudioOutDevice.h"
#include "signal/ALAudioParams.h"
#include "signal/ALWaveThread.h"
#include "signal/OWComponent.h"
#include "signal/OWOperations.h"
#include "signal/OWPins.h"
#include "signal/SLNotifyThread.h"

namespace vantrel::signal {

class TALAudioBuffer;

// A first-in first-out list of operations. Every call holds the write section of the list's
// lock object (the global read side and the object's group lock).
class TSLOperationList {
  public:
    // Without a lock object the list makes one of its own.
    explicit TSLOperationList(TOWObject* lock = nullptr);
    TSLOperationList(const TSLOperationList&) = delete;
    TSLOperationList& operator=(const TSLOperationList&) = delete;

    // Adds at the end; with `keepNewestOnly` drops older entries until one is left. Returns the
    // new count.
    int Append(TOWOperationPtr operation, bool keepNewestOnly);
    int InsertFront(TOWOperationPtr operation);
    // The first entry, removed; null when the list is empty.
    TOWOperationPtr TakeFirst();
    int Count() const;

  private:
    std::unique_ptr<TOWObject> ownLock_;
    TOWObject& lock_;
    std::deque<TOWOperationPtr> operations_;
};

class TALAudioOut : public TOWComponent {
  public:
    // The format the pump master claim probes the device with: mono, 16 bits, 11025/s.
    static audio::WaveFormat ProbeFormat();

    // `system` must outlive the output. In design mode no notify thread is made.
    explicit TALAudioOut(audio::WaveOutSystem& system, std::string name = {},
                         bool designMode = false);
    // Disconnects the input, closes the device if open and stops the notify thread.
    ~TALAudioOut() override;

    // When false, supplied buffers are dropped instead of played.
    bool Enabled() const { return enabled_.load(); }
    void SetEnabled(bool enabled);
    int32_t PumpPriority() const { return pumpPriority_.load(); }
    void SetPumpPriority(int32_t priority) { pumpPriority_ = priority; }
    // A start pump pulls four blocks (three once resumed) when true, one when false.
    bool PreFillEnabled() const { return preFillEnabled_.load(); }
    void SetPreFillEnabled(bool enabled) { preFillEnabled_ = enabled; }
    bool EnableMasterPumping() const { return enableMasterPumping_.load(); }
    void SetEnableMasterPumping(bool enabled) { enableMasterPumping_ = enabled; }
    TALAudioOutDevice& Device() { return device_; }
    TALOWAudioSinkPin& InputPin() { return inputPin_; }
    TOWBoolStatePin& EnablePin() { return enablePin_; }

    // State, for diagnostics and tests.
    bool Resumed() const { return resumed_.load(); }
    bool Opened() const;
    // Closed, with no close under way or asked for and no operation waiting.
    bool Idle() const;
    bool PumpMaster() const;
    // Buffers queued at the device and not yet returned.
    std::size_t QueuedBuffers() const;
    // Operations waiting in the operation list.
    int WaitingOperations() const { return operations_.Count(); }
    // The last stream open failed; its buffers are dropped until the device closes.
    bool DeviceFailed() const;

    // The input pin's handler: queues `operation` and handles waiting operations while the
    // device has at most one block queued (or has not been resumed yet).
    bool InputPinOperation(const TOWOperationPtr& operation);
    // Takes the first waiting operation and handles it. False when there was none, or when it
    // must wait longer (a start wave while the previous stream is still closing).
    bool ProcessNextOperation();
    // With `deferredPumps`, a start pump only counts its pumps there, for the caller to make
    // once it has released the input pin's lock.
    bool HandleOperation(const TOWOperationPtr& operation, int* deferredPumps = nullptr);
    // Asks the source for one block, which arrives before Pump returns.
    void Pump();

    // The device side.
    void OpenDevice(const TALWaveFormat& format);
    void CloseDevice(bool clearMaster);
    void WriteBuffer(std::shared_ptr<TALAudioBuffer> buffer);
    // The device's notification routine: queues to the stream's wave thread, nothing else.
    static void WaveOutProc(audio::WaveOut* device, audio::WaveMessage message,
                            TALWaveThread* instance, audio::WaveHeader* parameter);
    // The wave thread's work routine.
    void WaveMessage(audio::WaveMessage message, audio::WaveOut* device,
                     audio::WaveHeader* parameter);
    void BufferDone(audio::WaveOut* device, audio::WaveHeader* header);

  private:
    void ClaimPumpMaster(TOWPumpRequestOperation& request);
    // After a close: hands on the operations that waited for it.
    void ProcessWaitingOperations();
    bool MayProcessNow() const;
    void NotifyRoutine();

    audio::WaveOutSystem& system_;
    std::atomic<bool> enabled_{true};
    std::atomic<int32_t> pumpPriority_{0};
    std::atomic<bool> preFillEnabled_{true};
    std::atomic<bool> enableMasterPumping_{true};
    std::atomic<bool> resumed_{false};
    std::atomic<bool> destroying_{false};

    std::shared_ptr<IALAudioParams> params_;
    // Guarded by the shared state's lock.
    std::unique_ptr<audio::WaveOut> waveOut_;
    std::unique_ptr<TALWaveThread> waveThread_;
    bool deviceFailed_ = false;
    bool closeRequested_ = false;  // an end stop has asked the notify thread for a close
    bool closing_ = false;         // a close is under way
    bool handingOn_ = false;       // the notify thread runs its close and what waited for it
    bool claimedSinceEndStop_ = false;

    TALAudioOutDevice device_;
    TALOWAudioSinkPin inputPin_;
    TOWBoolStatePin enablePin_;
    TSLOperationList operations_;
    std::unique_ptr<TSLNotifyThread> notifyThread_;  // last: it runs on everything above
};

}  // namespace vantrel::signal
