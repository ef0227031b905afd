// A wave output device without hardware, for tests and headless runs.
//
// VirtualWaveSystem keeps the whole WaveOut contract (write order, a Done per header, Reset,
// Pause, Close, notifications on a thread of each stream's own) and adds what tests need:
//
//  - a configurable list of device names for enumeration;
//  - open failures on demand (FailOpens, FailNextOpen);
//  - a clock: Clock::Manual plays only when the test calls Advance/AdvanceMs, which return
//    after every notification they caused has been delivered; Clock::RealTime plays on a
//    thread of its own at each stream's sample rate;
//  - a record of everything each stream played, kept after the stream is gone, optionally
//    written to a WAV file per stream when it closes;
//  - counters (open streams, headers queued now, headers written, underruns);
//  - a late device: every notification is delivered no earlier than a set delay after the
//    event that produced it;
//  - a hung device: on command every call (opening, and every call of a stream, destroying
//    included, but GetPosition) blocks until the device is let go again, as with a frozen sound
//    server.
//
// What a stream "played" is every frame it output while its clock ran (open and not paused),
// starting with the first frame of the first header written: the data of the headers in write
// order, and silence where the queue ran dry. A header Reset or Close cut short contributes the
// frames that had played. An underrun is counted each time a running stream, having played
// something, finds its queue empty.
//
// All members are thread-safe. Streams must be destroyed before the system.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

// What one stream did, from its open to now (or to its close).
struct VirtualStreamLog {
    int deviceId = WAVE_MAPPER;  // as passed to Open
    WaveFormat format;
    std::vector<uint8_t> played;  // bytes output while the clock ran (see above)
    uint64_t headersWritten = 0;
    uint64_t headersDone = 0;  // Done notifications produced (played, reset or closed)
    uint64_t underruns = 0;
    bool paused = false;
    bool closed = false;
};

class VirtualWaveSystem final : public WaveOutSystem {
  public:
    enum class Clock { Manual, RealTime };

    // The default device list holds one device, "Virtual Output".
    explicit VirtualWaveSystem(Clock clock = Clock::Manual);
    ~VirtualWaveSystem() override;

    VirtualWaveSystem(const VirtualWaveSystem&) = delete;
    VirtualWaveSystem& operator=(const VirtualWaveSystem&) = delete;

    // Enumeration. Names longer than 31 characters are cut as a real device's would be.
    // With no devices, Open answers MMSYSERR_NODRIVER.
    void SetDevices(std::vector<std::string> names);
    int DeviceCount() override;
    std::string DeviceName(int index) override;

    // Opens a stream on `deviceId` (WAVE_MAPPER opens device 0). Answers
    // MMSYSERR_BADDEVICEID for an index out of range, WAVERR_BADFORMAT for a format that is not
    // 8- or 16-bit PCM with consistent fields, MMSYSERR_INVALPARAM without a stream pointer, or
    // the injected failure.
    MMResult Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                  std::unique_ptr<WaveOut>* stream) override;

    // Every following open fails with `code` until FailOpens(MMSYSERR_NOERROR).
    void FailOpens(MMResult code);
    // Only the next open fails with `code`.
    void FailNextOpen(MMResult code);

    // Late device: notifications are delivered `delay` after they were produced (0: at once).
    void SetNotificationDelay(std::chrono::milliseconds delay);

    // Hung device: while on, Open and every call of a stream wait until it is turned off.
    void BlockCalls(bool blocked);
    // Calls waiting now because of BlockCalls.
    int BlockedCalls() const;

    // Manual clock: plays `frames` frames on every open, unpaused stream, then waits until the
    // notifications produced so far have been delivered. Not to be called from a notification
    // routine.
    void Advance(uint64_t frames);
    // Plays `ms` milliseconds on every open, unpaused stream at its own rate; fractions of a
    // frame carry over to the next call, so many small steps add up exactly.
    void AdvanceMs(uint64_t ms);
    // Waits until every notification produced so far has been delivered. From inside a
    // notification routine it returns at once.
    void Flush();

    // When set, each stream's recording is written to `<directory>/stream-<n>.wav` (n counting
    // successful opens from 0) as it closes. An empty string turns this off.
    void RecordToWav(std::string directory);

    // Streams opened successfully so far, open or closed; their logs are numbered from 0.
    std::size_t StreamCount() const;
    VirtualStreamLog Log(std::size_t index) const;
    // The played bytes of stream `index` read as 16-bit little-endian samples (all channels
    // interleaved).
    std::vector<int16_t> PlayedSamples(std::size_t index) const;

    // Counters.
    int OpenStreams() const;
    int QueuedHeaders() const;
    uint64_t TotalWritten() const;
    uint64_t Underruns() const;
    uint64_t OpenAttempts() const;

    struct State;

  private:
    std::shared_ptr<State> state_;
};

}  // namespace vantrel::audio
