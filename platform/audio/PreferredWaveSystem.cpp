#include "platform/audio/PreferredWaveSystem.h"

#include <utility>

namespace vantrel::audio {

PreferredWaveSystem::PreferredWaveSystem(std::vector<Factory> backends)
    : factories_(std::move(backends)), made_(factories_.size()) {
    int devices = 0;
    Current(&devices);
}

PreferredWaveSystem::~PreferredWaveSystem() = default;

WaveOutSystem& PreferredWaveSystem::Current(int* devices) {
    std::lock_guard lock(mutex_);
    if (made_[inUse_] && (*devices = made_[inUse_]->DeviceCount()) > 0) {
        return *made_[inUse_];
    }
    for (std::size_t i = 0; i < factories_.size(); ++i) {
        if (!made_[i]) {
            made_[i] = factories_[i]();
        }
        if (made_[i] && (*devices = made_[i]->DeviceCount()) > 0) {
            inUse_ = i;
            return *made_[i];
        }
    }
    // No device anywhere: the last one answers for itself.
    inUse_ = factories_.size() - 1;
    *devices = 0;
    return *made_[inUse_];
}

int PreferredWaveSystem::DeviceCount() {
    int devices = 0;
    Current(&devices);
    return devices;
}

std::string PreferredWaveSystem::DeviceName(int index) {
    WaveOutSystem* backend = nullptr;
    {
        std::lock_guard lock(mutex_);
        backend = made_[inUse_].get();
    }
    return backend ? backend->DeviceName(index) : std::string();
}

MMResult PreferredWaveSystem::Open(int deviceId, const WaveFormat& format, WaveCallback callback,
                                   std::unique_ptr<WaveOut>* stream) {
    int devices = 0;
    return Current(&devices).Open(deviceId, format, std::move(callback), stream);
}

std::size_t PreferredWaveSystem::InUse() const {
    std::lock_guard lock(mutex_);
    return inUse_;
}

}  // namespace vantrel::audio
