// The state an audio output shares between its threads: whether its device is open, whether it
// paces its source, and the buffers queued at the device. Reached through IALAudioParams and
// freed with its last reference.
//
// Every field is read and written with the lock held. The lock is re-entrant; it is taken
// after the output's input pin lock and before its wave thread's queue lock.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::signal {

class TALAudioBuffer;

// One audio buffer handed to the device: its header points into the buffer's sample frames and
// carries the wave buffer itself as its user value, so a returned header finds its object.
// The held reference keeps the samples alive while the device reads them.
class TALWaveBuffer {
  public:
    TALWaveBuffer(audio::WaveOut* device, std::shared_ptr<TALAudioBuffer> buffer);
    TALWaveBuffer(const TALWaveBuffer&) = delete;
    TALWaveBuffer& operator=(const TALWaveBuffer&) = delete;

    // The wave buffer a header returned by the device belongs to.
    static TALWaveBuffer* FromHeader(const audio::WaveHeader* header) {
        return reinterpret_cast<TALWaveBuffer*>(header->user);
    }

    audio::WaveOut* Device() const { return device_; }
    audio::WaveHeader& Header() { return header_; }
    const std::shared_ptr<TALAudioBuffer>& Buffer() const { return buffer_; }

    // Points the header at `length` bytes of samples at `data`.
    void SetSamples(const uint8_t* data, uint32_t length);

  private:
    audio::WaveOut* device_;
    audio::WaveHeader header_;
    std::shared_ptr<TALAudioBuffer> buffer_;
};

using TALWaveBufferList = std::vector<std::unique_ptr<TALWaveBuffer>>;

class IALAudioParams {
  public:
    virtual ~IALAudioParams() = default;
    virtual bool Opened() const = 0;
    virtual void SetOpened(bool opened) = 0;
    virtual bool PumpMaster() const = 0;
    virtual void SetPumpMaster(bool master) = 0;
    // The buffers queued at the device and not yet returned, in write order; owns them.
    virtual TALWaveBufferList& Buffers() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

    // So that std::lock_guard and std::unique_lock can hold the lock.
    void lock() { Lock(); }
    void unlock() { Unlock(); }
};

class TALAudioParams final : public IALAudioParams {
  public:
    static std::shared_ptr<IALAudioParams> Create() { return std::make_shared<TALAudioParams>(); }

    bool Opened() const override { return opened_; }
    void SetOpened(bool opened) override { opened_ = opened; }
    bool PumpMaster() const override { return pumpMaster_; }
    void SetPumpMaster(bool master) override { pumpMaster_ = master; }
    TALWaveBufferList& Buffers() override { return buffers_; }
    void Lock() override { mutex_.lock(); }
    void Unlock() override { mutex_.unlock(); }

  private:
    std::recursive_mutex mutex_;
    bool opened_ = false;
    bool pumpMaster_ = false;
    TALWaveBufferList buffers_;
};

}  // namespace vantrel::signal
