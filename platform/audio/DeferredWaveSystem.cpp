#include "platform/audio/DeferredWaveSystem.h"

#include <utility>

namespace vantrel::audio {

DeferredWaveSystem::DeferredWaveSystem(Factory factory)
    : factory_(std::move(factory)), future_(promise_.get_future()) {}

DeferredWaveSystem::~DeferredWaveSystem() {
    if (loader_.joinable()) {
        loader_.join();
    }
    // The backend of the loader is shut down here, on the thread that owns this object.
    if (started_ && !backend_) {
        backend_ = future_.get();
    }
    backend_.reset();
}

void DeferredWaveSystem::StartLoading() {
    std::lock_guard lock(mutex_);
    if (started_) {
        return;
    }
    started_ = true;
    loader_ = std::thread([this] { promise_.set_value(factory_()); });
}

WaveOutSystem& DeferredWaveSystem::Backend() {
    std::lock_guard lock(mutex_);
    if (!backend_) {
        if (started_) {
            backend_ = future_.get();
        } else {
            started_ = true;
            backend_ = factory_();
        }
    }
    return *backend_;
}

int DeferredWaveSystem::DeviceCount() {
    return Backend().DeviceCount();
}

std::string DeferredWaveSystem::DeviceName(int index) {
    return Backend().DeviceName(index);
}

MMResult DeferredWaveSystem::Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                                  std::unique_ptr<WaveOut>* stream) {
    return Backend().Open(deviceId, format, std::move(callback), stream);
}

}  // namespace vantrel::audio
