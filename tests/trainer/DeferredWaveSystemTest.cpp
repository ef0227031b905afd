#include "app/DeferredWaveSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"

namespace vantrel {
namespace {

using audio::VirtualWaveSystem;

class DeferredWaveSystemTest : public ::testing::Test {
  protected:
    DeferredWaveSystem::Factory CountingFactory() {
        return [this] {
            ++made_;
            auto system = std::make_unique<VirtualWaveSystem>();
            system->SetDevices({"First", "Second"});
            return std::unique_ptr<audio::WaveOutSystem>(std::move(system));
        };
    }
    std::atomic<int> made_{0};
};

TEST_F(DeferredWaveSystemTest, BackendIsMadeOnceWhicheverThreadAsksFirst) {
    DeferredWaveSystem system(CountingFactory());
    system.StartLoading();
    std::vector<std::thread> askers;
    std::atomic<int> devicesSeen{0};
    for (int i = 0; i < 4; ++i) {
        askers.emplace_back([&] { devicesSeen += system.DeviceCount(); });
    }
    for (std::thread& asker : askers) {
        asker.join();
    }
    EXPECT_EQ(devicesSeen, 8);
    EXPECT_EQ(system.DeviceName(1), "Second");
    EXPECT_EQ(made_, 1);
}

// A call before loading makes the backend on the caller; a system never asked makes none; one
// destroyed while loading waits for its backend.
TEST_F(DeferredWaveSystemTest, CallBeforeLoadingMakesTheBackendOnTheCaller) {
    { DeferredWaveSystem unused(CountingFactory()); }
    DeferredWaveSystem system(CountingFactory());
    EXPECT_EQ(system.DeviceCount(), 2);
    system.StartLoading();
    EXPECT_EQ(system.DeviceCount(), 2);
    { DeferredWaveSystem(CountingFactory()).StartLoading(); }
    EXPECT_EQ(made_, 2);
}

}  // namespace
}  // namespace vantrel
