// A wave output system whose calls hold up their caller for a bounded time only.
//
// Every call of the wrapped system and of its streams (but GetPosition, which the wrapped
// stream answers at once on the caller's thread) runs on a worker thread of the stream's own,
// in call order, while the caller waits for the answer at most a set limit. A sound system
// that stops answering (a frozen or hung server) thus costs the caller one limit, not its life:
// the call that is not answered in time gives kNotAnswering, and the stream is lost from then
// on. A lost stream answers every later call at once (Write, Pause, Restart, Reset, Close and
// GetPosition with kNotAnswering; Prepare and Unprepare with success, touching nothing),
// delivers no further notification, and is destroyed on its worker once the hung call returns,
// if ever; the worker then ends by itself. An open not answered in time gives kNotAnswering,
// and a stream it opens later is destroyed on the spot.
//
// The headers and samples of a lost stream may still be read by the wrapped stream after the
// caller has been told; a caller that reuses its buffers after a loss must not reuse those.
//
// The notification contract of WaveOut holds for the streams it gives out. All members are
// thread-safe. The wrapped system must outlive this one; streams of this one must be destroyed
// before it. Destroying it waits up to one call limit for workers still busy, then leaves them.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

class WorkerWaveSystem final : public WaveOutSystem {
  public:
    struct Limits {
        std::chrono::milliseconds open{4000};
        std::chrono::milliseconds call{500};
    };
    // The answer of a call the wrapped system did not complete in time, and of every call of a
    // stream lost that way: the device is as good as gone.
    static constexpr MMResult kNotAnswering = MMSYSERR_NODRIVER;

    // With the default limits: 4 s for an open (the first one may wait for the sound system to
    // come up), half a second for any other call.
    explicit WorkerWaveSystem(WaveOutSystem& inner);
    WorkerWaveSystem(WaveOutSystem& inner, Limits limits);
    ~WorkerWaveSystem() override;

    WorkerWaveSystem(const WorkerWaveSystem&) = delete;
    WorkerWaveSystem& operator=(const WorkerWaveSystem&) = delete;

    // 0 and an empty name when the wrapped system does not answer in time.
    int DeviceCount() override;
    std::string DeviceName(int index) override;
    MMResult Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                  std::unique_ptr<WaveOut>* stream) override;

    // Workers not yet ended (a hung call keeps its worker).
    int Workers() const;

    struct Core;

  private:
    std::shared_ptr<Core> core_;
};

}  // namespace vantrel::audio
