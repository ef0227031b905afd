#include "signal/ALAudioOutDevice.h"

#include <algorithm>

namespace vantrel::signal {
namespace {

// Product names are at most 31 characters and end at the first zero character.
constexpr std::size_t kMaxProductName = 31;

std::string ProductName(audio::WaveOutSystem& system, int index) {
    std::string name = system.DeviceName(index);
    name = name.substr(0, std::min(name.find('\0'), kMaxProductName));
    return name;
}

bool IsDefaultName(const std::string& name) {
    static constexpr std::string_view kUpper = "DEFAULT";
    if (name.size() != kUpper.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != kUpper[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

TOWExtCollectionItem& TOWExtCollection::Add() {
    items_.push_back(CreateItem());
    TOWExtCollectionItem& item = *items_.back();
    ItemAdded(item);
    return item;
}

void TOWExtCollection::Delete(int index) {
    if (index >= 0 && index < Count()) {
        items_.erase(items_.begin() + index);
    }
}

TALAudioOutDeviceItem::TALAudioOutDeviceItem(TALAudioOutDeviceItems& items)
    : TOWExtCollectionItem(items), items_(items) {}

std::string TALAudioOutDeviceItem::DeviceName() const {
    std::lock_guard lock(items_.Device().mutex_);
    return deviceName_;
}

void TALAudioOutDeviceItem::SetDeviceName(const std::string& name) {
    std::lock_guard lock(items_.Device().mutex_);
    if (deviceName_ != name) {
        deviceName_ = name;
    }
}

void TALAudioOutDeviceItem::Assign(const TOWExtCollectionItem& source) {
    if (const auto* item = dynamic_cast<const TALAudioOutDeviceItem*>(&source)) {
        SetDeviceName(item->DeviceName());
    } else {
        TOWExtCollectionItem::Assign(source);
    }
}

TALAudioOutDeviceItems::TALAudioOutDeviceItems(TALAudioOutDevice& device, void* owner)
    : TOWExtCollection(owner), device_(device) {}

std::unique_ptr<TOWExtCollectionItem> TALAudioOutDeviceItems::CreateItem() {
    return std::make_unique<TALAudioOutDeviceItem>(*this);
}

void TALAudioOutDeviceItems::ItemAdded(TOWExtCollectionItem& item) {
    static_cast<TALAudioOutDeviceItem&>(item).SetDeviceName(LeastUsedDeviceName(*this));
}

TALAudioOutDevice::TALAudioOutDevice(TALAudioOut* owner, audio::WaveOutSystem& system)
    : owner_(owner), system_(system), alternatives_(*this, owner) {}

void TALAudioOutDevice::SetAlternativeDevices(const TALAudioOutDeviceItems& items) {
    if (&items == &alternatives_) {
        return;
    }
    std::vector<std::string> names;
    for (int i = 0; i < items.Count(); ++i) {
        names.push_back(items.Item(i).DeviceName());
    }
    alternatives_.Clear();
    for (const std::string& name : names) {
        alternatives_.Add().SetDeviceName(name);
    }
}

std::string TALAudioOutDevice::DeviceName() const {
    std::lock_guard lock(mutex_);
    return deviceName_;
}

void TALAudioOutDevice::SetDeviceName(const std::string& name) {
    std::lock_guard lock(mutex_);
    if (deviceName_ != name) {
        deviceName_ = name;
    }
}

std::vector<std::string> TALAudioOutDevice::CandidateNames() const {
    std::vector<std::string> names;
    names.push_back(DeviceName());
    for (int i = 0; i < alternatives_.Count(); ++i) {
        names.push_back(alternatives_.Item(i).DeviceName());
    }
    return names;
}

int32_t FindDeviceByName(audio::WaveOutSystem& system, const std::string& name) {
    const int count = system.DeviceCount();
    for (int index = 0; index < count; ++index) {
        if (ProductName(system, index) == name) {
            return index;
        }
    }
    return -1;
}

void GetDeviceNames(audio::WaveOutSystem& system, std::vector<std::string>& names) {
    const int count = system.DeviceCount();
    for (int index = 0; index < count; ++index) {
        names.push_back(ProductName(system, index));
    }
}

int32_t ResolveDeviceId(const TALAudioOutDevice& device) {
    audio::WaveOutSystem& system = device.System();
    // The first candidate is DeviceName, then the alternatives in order; a "Default" anywhere
    // stops the search at the default device.
    for (const std::string& name : device.CandidateNames()) {
        if (IsDefaultName(name)) {
            return audio::WAVE_MAPPER;
        }
        const int32_t index = FindDeviceByName(system, name);
        if (index >= 0) {
            return index;
        }
    }
    return audio::WAVE_MAPPER;
}

int CountItemsWithName(const TALAudioOutDeviceItems& items, const std::string& name) {
    int count = 0;
    for (int i = 0; i < items.Count(); ++i) {
        if (items.Item(i).DeviceName() == name) {
            ++count;
        }
    }
    return count;
}

std::string LeastUsedDeviceName(const TALAudioOutDeviceItems& items) {
    std::string best = kDefaultDeviceName;
    int lowest = kMaxDeviceUses;
    std::vector<std::string> names;
    GetDeviceNames(items.Device().System(), names);
    for (const std::string& name : names) {
        const int count = CountItemsWithName(items, name);
        if (!name.empty() && count < lowest) {
            lowest = count;
            best = name;
        }
    }
    return best;
}

}  // namespace vantrel::signal
