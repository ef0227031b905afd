// The wrappers the program puts over its sound backends: the one that brings a backend up
// beside the window, and the one that chooses among backends.
#include "platform/audio/DeferredWaveSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/audio/PreferredWaveSystem.h"
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

// The backend in use is the first one with a device, chosen again only when it has none; each
// backend is made once, and a stream keeps playing through the backend that opened it.
TEST(PreferredWaveSystemTest, PlaysThroughTheFirstBackendWithADeviceAndChoosesAgainWhenItHasNone) {
    VirtualWaveSystem* backends[2] = {};
    int made[2] = {};
    auto factory = [&](int which) {
        return [&, which] {
            ++made[which];
            auto system = std::make_unique<VirtualWaveSystem>();
            system->SetDevices({});
            backends[which] = system.get();
            return std::unique_ptr<WaveOutSystem>(std::move(system));
        };
    };
    PreferredWaveSystem system({factory(0), factory(1)});
    VirtualWaveSystem& server = *backends[0];
    VirtualWaveSystem& fallback = *backends[1];
    const WaveFormat format = WaveFormat::Pcm(1, 8000, 16);
    auto quiet = [](WaveMessage, WaveHeader*) {};
    std::unique_ptr<WaveOut> stream;
    // No device anywhere: the last backend answers for itself.
    EXPECT_EQ(system.InUse(), 1u);
    EXPECT_EQ(system.DeviceCount(), 0);
    EXPECT_EQ(system.Open(WAVE_MAPPER, format, quiet, &stream), MMSYSERR_NODRIVER);
    // The server comes up: the next open plays through it.
    server.SetDevices({"Server"});
    ASSERT_EQ(system.Open(WAVE_MAPPER, format, quiet, &stream), MMSYSERR_NOERROR);
    EXPECT_EQ(system.InUse(), 0u);
    EXPECT_EQ(server.OpenStreams(), 1);
    EXPECT_EQ(system.DeviceName(0), "Server");
    // It goes away while the fallback has a device now: the next count moves the choice.
    server.SetDevices({});
    fallback.SetDevices({"Card"});
    EXPECT_EQ(system.DeviceCount(), 1);
    EXPECT_EQ(system.DeviceName(0), "Card");
    // Back again, it waits until the fallback has no device.
    server.SetDevices({"Server"});
    EXPECT_EQ(system.DeviceCount(), 1);
    EXPECT_EQ(system.InUse(), 1u);
    EXPECT_EQ(server.OpenStreams(), 1);
    stream.reset();
    EXPECT_EQ(made[0] + made[1], 2);
}

}  // namespace
}  // namespace vantrel::audio
