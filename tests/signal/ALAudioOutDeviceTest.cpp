#include "signal/ALAudioOutDevice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel::signal {
namespace {

// Enumeration only: a fixed list of product names.
class NamedDevices : public audio::WaveOutSystem {
  public:
    explicit NamedDevices(std::vector<std::string> list) : names(std::move(list)) {}
    int DeviceCount() override { return static_cast<int>(names.size()); }
    std::string DeviceName(int index) override {
        ++nameQueries;
        return index >= 0 && index < DeviceCount() ? names[index] : std::string();
    }
    audio::MMResult Open(int, const audio::WaveFormat&, audio::WaveCallback,
                         std::unique_ptr<audio::WaveOut>*) override {
        return audio::MMSYSERR_NODRIVER;
    }
    int nameQueries = 0;
    std::vector<std::string> names;
};

// "Default" in any letter case is the mapper without asking the devices, even where a device
// has that name; other names must match a whole product name with its case.
TEST(ALAudioOutDeviceTest, NamesResolveToTheDeviceOfThatExactNameOrTheMapper) {
    NamedDevices system({"HDA Intel", "USB Audio", "usb audio", "Default"});
    TALAudioOutDevice device(nullptr, system);
    for (const char* name : {"Default", "default", "DEFAULT", "dEfAuLt"}) {
        device.SetDeviceName(name);
        EXPECT_EQ(ResolveDeviceId(device), audio::WAVE_MAPPER) << name;
    }
    EXPECT_EQ(system.nameQueries, 0);
    for (auto [name, id] :
         {std::pair{"usb audio", 2}, {"USB Audio", 1}, {"USB", audio::WAVE_MAPPER}}) {
        device.SetDeviceName(name);
        EXPECT_EQ(ResolveDeviceId(device), id) << name;
    }
    EXPECT_EQ(FindDeviceByName(system, "hda intel"), -1);
}

TEST(ALAudioOutDeviceTest, ProductNamesAreCutAtThirtyOneCharactersAndAtAZero) {
    NamedDevices system({std::string(40, 'x'), std::string("Card\0Junk", 9)});
    EXPECT_EQ(FindDeviceByName(system, std::string(31, 'x')), 0);
    EXPECT_EQ(FindDeviceByName(system, "Card"), 1);
    std::vector<std::string> names{"first"};
    GetDeviceNames(system, names);
    EXPECT_EQ(names, (std::vector<std::string>{"first", std::string(31, 'x'), "Card"}));
}

TEST(ALAudioOutDeviceTest, ADefaultAlternativeStopsTheSearchBeforeAPresentDevice) {
    NamedDevices system({"A", "B"});
    TALAudioOutDevice device(nullptr, system);
    device.SetDeviceName("Gone");
    auto& items = device.AlternativeDevices();
    items.Add().SetDeviceName("Also gone");
    items.Add().SetDeviceName("default");
    items.Add().SetDeviceName("B");
    EXPECT_EQ(ResolveDeviceId(device), audio::WAVE_MAPPER);

    items.Item(1).SetDeviceName("Still gone");
    EXPECT_EQ(ResolveDeviceId(device), 1);
}

TEST(ALAudioOutDeviceTest, NewAlternativesGoToTheLeastUsedDeviceInDeviceOrder) {
    NamedDevices system({"A", "", "B"});
    TALAudioOutDevice device(nullptr, system);
    auto& items = device.AlternativeDevices();
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        names.push_back(items.Add().DeviceName());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "A"}));
    EXPECT_EQ(CountItemsWithName(items, "A"), 2);
    EXPECT_EQ(items.Item(1).DisplayName(), "B");
}

// The search starts from 22000 uses, so a device named that often is no longer chosen.
TEST(ALAudioOutDeviceTest, ADeviceNamedByTwentyTwoThousandAlternativesIsNotChosen) {
    NamedDevices system({});
    TALAudioOutDevice device(nullptr, system);
    auto& items = device.AlternativeDevices();
    EXPECT_EQ(items.Add().DeviceName(), "Default") << "without devices";
    for (int i = 0; i < 21999; ++i) {
        items.Item(i).SetDeviceName("A");
        items.Add();
    }
    system.names = {"A"};
    EXPECT_EQ(items.Add().DeviceName(), "A");  // the 22000th
    EXPECT_EQ(items.Add().DeviceName(), "Default");
}

}  // namespace
}  // namespace vantrel::signal
