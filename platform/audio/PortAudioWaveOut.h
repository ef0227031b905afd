// The real wave output device, on PortAudio.
//
// Devices are PortAudio's output devices in PortAudio's order; WAVE_MAPPER is PortAudio's
// default output device. Each open makes one PortAudio stream at the stream's channel count and
// rate, or at the device's default rate with conversion when the host refuses the stream's
// rate. No sound system at all is a normal answer: DeviceCount() is 0 and Open answers
// MMSYSERR_NODRIVER.
//
// The audio callback never blocks, allocates or does I/O: written headers reach it through a
// lock-free ring; finished ones go back through another ring to the stream's notification
// thread, which it wakes with a semaphore. When the queue runs dry while playing the callback
// plays silence and counts an underrun. Pause keeps the PortAudio stream running and outputs
// silence; Reset and Close abort the stream, dropping what the host still buffers rather than
// playing it out (so the sound stops at once and the callback no longer touches any header),
// return the headers and start it again on the next Write. A stream the host ends by itself
// (the device or the sound server went away) returns everything it holds; from then on Write
// answers MMSYSERR_NODRIVER and gives each header back after its playing time, so that callers
// stay paced and nobody waits forever.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

// Measurements of all streams of one PortAudioWaveSystem.
struct PortAudioStats {
    uint64_t underruns = 0;      // queue ran dry while playing
    uint64_t hostUnderruns = 0;  // the host reported an output underflow
    uint64_t callbacks = 0;
    // From the Write that found the stream idle to the callback taking its first frames.
    int64_t lastStartLatencyNs = -1;
    // Output latency the host reported for the last stream opened, in seconds.
    double lastOutputLatency = 0.0;
    // Rate of the last PortAudio stream opened, and whether it converts.
    double lastDeviceRate = 0.0;
    bool lastConverted = false;
};

struct PortAudioOptions {
    // When not 0, every stream plays at this device rate and converts, as it would on a host
    // that refuses the stream's rate.
    double deviceRate = 0.0;
    // Host buffering asked for, in seconds: the device's low latency but at least this much.
    double minLatency = 0.020;
    // Frames per callback in milliseconds of the device rate; 0 lets the host choose.
    double callbackMs = 0.0;
};

class PortAudioWaveSystem final : public WaveOutSystem {
  public:
    // Initialises PortAudio (reference-counted for the process).
    explicit PortAudioWaveSystem(PortAudioOptions options = {});
    ~PortAudioWaveSystem() override;

    PortAudioWaveSystem(const PortAudioWaveSystem&) = delete;
    PortAudioWaveSystem& operator=(const PortAudioWaveSystem&) = delete;

    int DeviceCount() override;
    // At most 31 bytes, cut on a UTF-8 character boundary.
    std::string DeviceName(int index) override;
    MMResult Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                  std::unique_ptr<WaveOut>* stream) override;

    PortAudioStats Stats() const;

    struct Counters;

  private:
    PortAudioOptions options_;
    bool initialized_ = false;
    std::vector<int> devices_;  // PortAudio device index of each output device
    std::vector<std::string> names_;
    std::shared_ptr<Counters> counters_;
};

}  // namespace vantrel::audio
