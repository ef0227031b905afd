// A wave output system over several backends in order of preference: it plays through the
// first one that has a device. Each backend is made when the choice first comes to it, and
// kept, so that its streams outlive any later choice.
//
// When the backend in use has no device (its sound server went away, or none answered when the
// program started), the choice is made again at the next count of the devices or open, so
// that a sound server that comes up later plays from the next Start on, without a restart.
// Without a device anywhere the last backend stays in use and gives its own answers (with
// PortAudio: no devices, and MMSYSERR_NODRIVER on opening).
//
// All members are thread-safe. Streams must be destroyed before the system.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

class PreferredWaveSystem final : public WaveOutSystem {
  public:
    using Factory = std::function<std::unique_ptr<WaveOutSystem>()>;

    // Makes the first choice at once. `backends` must not be empty; the last one never makes
    // nullptr.
    explicit PreferredWaveSystem(std::vector<Factory> backends);
    ~PreferredWaveSystem() override;

    PreferredWaveSystem(const PreferredWaveSystem&) = delete;
    PreferredWaveSystem& operator=(const PreferredWaveSystem&) = delete;

    int DeviceCount() override;
    // The device names of the backend in use.
    std::string DeviceName(int index) override;
    MMResult Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                  std::unique_ptr<WaveOut>* stream) override;

    // Index (in order of preference) of the backend in use.
    std::size_t InUse() const;

  private:
    // The backend in use, chosen again first when it has no device; with its device count.
    WaveOutSystem& Current(int* devices);

    const std::vector<Factory> factories_;
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<WaveOutSystem>> made_;  // by preference; empty where not made
    std::size_t inUse_ = 0;
};

}  // namespace vantrel::audio
