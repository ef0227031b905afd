#include "platform/audio/DeferredWaveSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"

namespace vantrel::audio {
namespace {

// A factory of two-device backends that counts what it has made.
DeferredWaveSystem::Factory CountingFactory(std::atomic<int>& made) {
    return [&made] {
        ++made;
        auto system = std::make_unique<VirtualWaveSystem>();
        system->SetDevices({"First", "Second"});
        return std::unique_ptr<WaveOutSystem>(std::move(system));
    };
}

TEST(DeferredWaveSystemTest, BackendIsMadeOnceWhicheverThreadAsksFirst) {
    std::atomic<int> made{0}, devicesSeen{0};
    DeferredWaveSystem system(CountingFactory(made));
    system.StartLoading();
    {
        std::vector<std::jthread> askers;
        for (int i = 0; i < 4; ++i) {
            askers.emplace_back([&] { devicesSeen += system.DeviceCount(); });
        }
    }
    EXPECT_EQ(devicesSeen, 8);
    EXPECT_EQ(system.DeviceName(1), "Second");
    EXPECT_EQ(made, 1);
}

// A call before loading makes the backend on the caller; a system never asked makes none; one
// destroyed while loading waits for its backend.
TEST(DeferredWaveSystemTest, CallBeforeLoadingMakesTheBackendOnTheCaller) {
    std::atomic<int> made{0};
    { DeferredWaveSystem unused(CountingFactory(made)); }
    DeferredWaveSystem system(CountingFactory(made));
    EXPECT_EQ(system.DeviceCount(), 2);
    system.StartLoading();
    EXPECT_EQ(system.DeviceCount(), 2);
    { DeferredWaveSystem(CountingFactory(made)).StartLoading(); }
    EXPECT_EQ(made, 2);
}

}  // namespace
}  // namespace vantrel::audio
