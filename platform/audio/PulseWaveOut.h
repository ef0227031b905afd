// The wave output device on the desktop's sound server, through libpulse (PulseAudio, or
// PipeWire through its PulseAudio server).
//
// Devices are the server's sinks in its order, named by their descriptions; WAVE_MAPPER is the
// server's default sink. Every stream of the process goes through the one shared connection of
// PulseContext; each open makes one server stream at the stream's own rate and channel count,
// and the server converts.
//
// A written header is sent to the server whole; a new server stream stays corked until its first
// buffer is in and plays a little silence ahead of it, so its first sound is heard whole. The
// server holds everything queued. A header's Done comes when it has been heard (streams other
// than the keying one: when it is due soon, see PulseOptions): a timer on libpulse's loop wakes
// when the oldest header is due and hands the headers due to the stream's notification thread
// through a lock-free ring. When a header is heard follows from the server's timing reports (the
// frame it had read last is heard a sink latency later, and it reads on at the stream's rate
// while it plays), which the stream asks for when it starts, runs dry, is corked or uncorked,
// when a report is four seconds old, and when the position is asked for; libpulse's own schedule
// of reports and its interpolation are not used, which saves most of the loop's wake-ups. The
// same reckoning gives GetPosition. Nothing else runs on the loop's thread, and it never takes
// the stream's own lock. The keying format (8000 Hz mono) asks for a small sink latency, every
// other format for a larger one; both take the server's requests rarely. Pause corks the
// server stream. Reset and Close drop the server stream (its queued sound is discarded, never
// drained) and return every header; a Write after a Reset makes a new server stream.
//
// When the server goes away every stream returns what it holds; from then on Write answers
// MMSYSERR_NODRIVER and gives each header back after its playing time (so callers stay paced and
// nobody waits forever) until a Reset, after which the next Write tries the server again. Opens
// connect again on their own. Every wait for the server is bounded.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

class PulseContext;
struct PulseSink;

struct PulseOptions {
    // Longest wait for the server in any one call.
    std::chrono::milliseconds serverLimit{1500};
    // The sink's latency asked for by the keying stream, and by every other stream.
    uint32_t keyedLatencyMs = 15;
    uint32_t largeLatencyMs = 50;
    // The server's request size: it tells each time this much has played. The streams write
    // without waiting to be asked, so a large one only saves wake-ups.
    uint32_t requestMs = 4000;
    // Headers of streams other than the keying one come back once they are due within
    // largeAheadMs, so the server holds that much more than the caller keeps queued, and a
    // caller's backlog drains into the server at once (where Reset and Close discard it)
    // instead of waiting its turn in real time. They come back on ticks largeTickMs apart
    // that all such streams share, and a header written while the server holds enough to play
    // until the next tick is sent with it, so that one wake-up serves every stream and header.
    uint32_t largeAheadMs = 350;
    uint32_t largeTickMs = 150;
    // Silence played ahead of a new server stream's first buffer.
    uint32_t leadInMs = 25;
};

// Measurements of all streams of one PulseWaveSystem.
struct PulseStats {
    uint64_t underflows = 0;  // the server ran out of a stream's data while it played
    uint64_t timerWakeups = 0;
    uint64_t headersHeld = 0;  // written while the server held plenty, sent on the next tick
    // From the Write that found a stream idle to the server starting to play it.
    int64_t lastStartLatencyNs = -1;
};

class PulseWaveSystem final : public WaveOutSystem {
  public:
    // Connects to the server (bounded by options.serverLimit) and reads its sinks.
    explicit PulseWaveSystem(PulseOptions options = {});
    ~PulseWaveSystem() override;

    PulseWaveSystem(const PulseWaveSystem&) = delete;
    PulseWaveSystem& operator=(const PulseWaveSystem&) = delete;

    // A server answered when the system was made.
    bool Connected() const { return connectedAtStart_; }

    // The sinks are read again when the server is a new one.
    int DeviceCount() override;
    std::string DeviceName(int index) override;
    MMResult Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                  std::unique_ptr<WaveOut>* stream) override;

    PulseStats Stats() const;

    struct Counters;

  private:
    // Connects and re-reads the sinks when the server changed; false without a server.
    bool Refresh();

    const PulseOptions options_;
    const std::shared_ptr<PulseContext> pulse_;
    const std::shared_ptr<Counters> counters_;
    bool connectedAtStart_ = false;
    std::mutex mutex_;  // the sink list
    uint64_t sinksGeneration_ = 0;
    std::vector<std::string> sinkNames_;
    std::vector<std::string> deviceNames_;
};

}  // namespace vantrel::audio
