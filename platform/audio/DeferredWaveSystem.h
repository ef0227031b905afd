// A wave output system whose real backend is brought up on a thread of its own, so that the
// window can be shown while the sound system starts (which can take a while with some hosts).
// Every call waits until the backend is there; calls may come from any thread.
#pragma once

#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

class DeferredWaveSystem final : public WaveOutSystem {
  public:
    using Factory = std::function<std::unique_ptr<WaveOutSystem>()>;

    explicit DeferredWaveSystem(Factory factory);
    // Waits for the backend to be up, then shuts it down.
    ~DeferredWaveSystem() override;

    DeferredWaveSystem(const DeferredWaveSystem&) = delete;
    DeferredWaveSystem& operator=(const DeferredWaveSystem&) = delete;

    // Starts bringing the backend up; a call before this brings it up on the caller's thread.
    void StartLoading();

    int DeviceCount() override;
    std::string DeviceName(int index) override;
    MMResult Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                  std::unique_ptr<WaveOut>* stream) override;

  private:
    WaveOutSystem& Backend();

    Factory factory_;
    std::promise<std::unique_ptr<WaveOutSystem>> promise_;
    std::future<std::unique_ptr<WaveOutSystem>> future_;
    std::thread loader_;
    std::mutex mutex_;
    std::unique_ptr<WaveOutSystem> backend_;
    bool started_ = false;
};

}  // namespace vantrel::audio
