// Choice of the wave output device an audio output plays on: a product name ("Default" for the
// system's default device) and an ordered list of alternative names to fall back on.
//
// The names are resolved to a device identifier each time the output opens a device, so a
// change takes effect at the next open. Setters and the resolution may run on different
// threads; the device's lock keeps every read consistent.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::signal {

class TALAudioOut;
class TOWExtCollection;

// An item of a TOWExtCollection.
class TOWExtCollectionItem {
  public:
    explicit TOWExtCollectionItem(TOWExtCollection& collection) : collection_(collection) {}
    virtual ~TOWExtCollectionItem() = default;
    TOWExtCollectionItem(const TOWExtCollectionItem&) = delete;
    TOWExtCollectionItem& operator=(const TOWExtCollectionItem&) = delete;

    // Copies the state of `source`; the base item has none.
    virtual void Assign(const TOWExtCollectionItem& source) { (void)source; }
    // The text that stands for the item in a list of items.
    virtual std::string DisplayName() const { return {}; }

    TOWExtCollection& Collection() const { return collection_; }

  private:
    TOWExtCollection& collection_;
};

// An ordered collection of items of one class with a reference to its owner. Adding an item
// calls the hook ItemAdded once the item is in the list.
class TOWExtCollection {
  public:
    explicit TOWExtCollection(void* owner) : owner_(owner) {}
    virtual ~TOWExtCollection() = default;
    TOWExtCollection(const TOWExtCollection&) = delete;
    TOWExtCollection& operator=(const TOWExtCollection&) = delete;

    void* Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TOWExtCollectionItem& Item(int index) const { return *items_.at(index); }

    TOWExtCollectionItem& Add();
    void Delete(int index);
    void Clear() { items_.clear(); }

  protected:
    virtual std::unique_ptr<TOWExtCollectionItem> CreateItem() = 0;
    virtual void ItemAdded(TOWExtCollectionItem& item) { (void)item; }

  private:
    void* owner_;
    std::vector<std::unique_ptr<TOWExtCollectionItem>> items_;
};

class TALAudioOutDevice;
class TALAudioOutDeviceItems;

// One alternative device name.
class TALAudioOutDeviceItem : public TOWExtCollectionItem {
  public:
    explicit TALAudioOutDeviceItem(TALAudioOutDeviceItems& items);

    std::string DeviceName() const;
    void SetDeviceName(const std::string& name);

    void Assign(const TOWExtCollectionItem& source) override;
    std::string DisplayName() const override { return DeviceName(); }

  private:
    TALAudioOutDeviceItems& items_;
    std::string deviceName_;
};

// The list of alternatives of one TALAudioOutDevice. A new item is named after the present
// device that the fewest existing alternatives use.
class TALAudioOutDeviceItems : public TOWExtCollection {
  public:
    TALAudioOutDeviceItems(TALAudioOutDevice& device, void* owner);

    TALAudioOutDeviceItem& Add() {
        return static_cast<TALAudioOutDeviceItem&>(TOWExtCollection::Add());
    }
    TALAudioOutDeviceItem& Item(int index) const {
        return static_cast<TALAudioOutDeviceItem&>(TOWExtCollection::Item(index));
    }
    TALAudioOutDevice& Device() const { return device_; }

  protected:
    std::unique_ptr<TOWExtCollectionItem> CreateItem() override;
    void ItemAdded(TOWExtCollectionItem& item) override;

  private:
    TALAudioOutDevice& device_;
};

class TALAudioOutDevice {
  public:
    // `owner` may be null (a device description on its own); `system` enumerates the devices.
    TALAudioOutDevice(TALAudioOut* owner, audio::WaveOutSystem& system);
    TALAudioOutDevice(const TALAudioOutDevice&) = delete;
    TALAudioOutDevice& operator=(const TALAudioOutDevice&) = delete;

    TALAudioOutDeviceItems& AlternativeDevices() { return alternatives_; }
    const TALAudioOutDeviceItems& AlternativeDevices() const { return alternatives_; }
    // Replaces the alternatives by copies of `items`.
    void SetAlternativeDevices(const TALAudioOutDeviceItems& items);

    std::string DeviceName() const;
    void SetDeviceName(const std::string& name);

    TALAudioOut* Owner() const { return owner_; }
    audio::WaveOutSystem& System() const { return system_; }

    // DeviceName followed by the alternatives' names, read together.
    std::vector<std::string> CandidateNames() const;

  private:
    friend class TALAudioOutDeviceItem;

    TALAudioOut* owner_;
    audio::WaveOutSystem& system_;
    mutable std::mutex mutex_;  // guards the names of the device and of its alternatives
    std::string deviceName_ = "Default";
    TALAudioOutDeviceItems alternatives_;
};

// The name that selects the system's default device, in any letter case.
inline constexpr const char* kDefaultDeviceName = "Default";
// A device already named by this many alternatives is not given to a new one.
inline constexpr int kMaxDeviceUses = 22000;

// Device identifier for `device`: audio::WAVE_MAPPER (-1) or a device index.
int32_t ResolveDeviceId(const TALAudioOutDevice& device);
// Index of the first device whose product name is exactly `name`, or -1.
int32_t FindDeviceByName(audio::WaveOutSystem& system, const std::string& name);
// Appends the product name of every present device, in device order.
void GetDeviceNames(audio::WaveOutSystem& system, std::vector<std::string>& names);
// The first present device (in device order) among those named by the fewest alternatives;
// "Default" when there is no device or every device is named kMaxDeviceUses times or more.
std::string LeastUsedDeviceName(const TALAudioOutDeviceItems& items);
// How many alternatives are named exactly `name`.
int CountItemsWithName(const TALAudioOutDeviceItems& items, const std::string& name);

}  // namespace vantrel::signal
