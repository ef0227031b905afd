// Run control under random command storms: Start, Pause and the close query at random moments,
// also arriving while another command waits for its device, with the device's notifications
// handled after random delays. Every sequence is seeded; VANTREL_RUN_CONTROL_SEED replays from
// the seed a failure prints.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/audio/WorkerWaveSystem.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/PlaybackEngine.h"

namespace vantrel {
namespace {

using audio::VirtualWaveSystem;

// What the window shows and builds: a random text (or none) at each Start, unless fixed.
struct Window : PlaybackView, PlaybackHost {
    Window(Keyer& k, unsigned seed) : keyer(k), random(seed) {}
    void SetStatusText(const std::string& text) override { status = text; }
    void SetStartEnabled(bool on) override { startEnabled = on; }
    void SetPauseEnabled(bool on) override { pauseEnabled = on; }
    void SetPauseCaption(const std::string&) override {}
    void SetCheckEnabled(bool) override {}
    void ShowKeyedText(const std::string&, int) override {}
    void ClearKeyedText() override {}
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    void ApplyTiming() override { keyer.SetSpeed(30); }
    bool BuildPracticeText(std::string& text, int32_t& cursor) override {
        static const char* const kTexts[] = {"E  ", "ET TE  ", "\xC6 = 5  ", ""};
        const unsigned pick = random() % 10;
        text = fixedText.empty() ? kTexts[pick % 4] : fixedText;
        cursor = text.empty() ? cursor : 1;
        return pick != 9 || !fixedText.empty();  // now and then the text cannot be built
    }

    Keyer& keyer;
    std::mt19937 random;
    std::string fixedText;
    std::string status;
    std::vector<std::string> warnings;
    bool startEnabled = true;
    bool pauseEnabled = false;
};

unsigned BaseSeed() {
    const char* seed = std::getenv("VANTREL_RUN_CONTROL_SEED");
    return seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : std::random_device{}();
}

// One sequence: a fresh device, queue and engine.
class Storm {
  public:
    // The keyer's tables take a while to build, so the sequences share one.
    Storm(unsigned seed, Keyer& keyer) : random_(seed), window_(keyer, seed) {
        queue_.SetIdleHook([this, seed] {
            if (++idleSteps_ > 200000) {
                std::fprintf(stderr, "a wait never ended: VANTREL_RUN_CONTROL_SEED=%u\n", seed);
                std::abort();
            }
            device_.Advance(400);
        });
    }

    void Run(int steps) {
        for (int i = 0; i < steps && !::testing::Test::HasFailure(); ++i) {
            Step();
            Check();
        }
        EXPECT_TRUE(engine_.StopNow());
        Check();
        EXPECT_TRUE(engine_.DeviceClosed());
    }

  private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void Command(int which) {
        switch (which) {
            case 0:
                engine_.StartBtnClick();
                break;
            case 1:
                engine_.PauseBtnClick();
                break;
            default:
                // The window asks again once the command it interrupted has returned.
                closeDeferred_ = !engine_.StopNow() || closeDeferred_;
                break;
        }
    }

    void Step() {
        if (Pick(8) == 0) {
            device_.FailNextOpen(audio::MMSYSERR_ALLOCATED);
        }
        // Some commands wait in the queue, to run inside a later wait or between notifications.
        for (int n = Pick(3); n > 0; --n) {
            queue_.Post([this, which = Pick(3)] { Command(which); });
        }
        Command(Pick(3));
        if (closeDeferred_) {
            ASSERT_FALSE(engine_.Busy());
            EXPECT_TRUE(engine_.StopNow());
            closeDeferred_ = false;
        }
        device_.Advance(static_cast<uint64_t>(Pick(2500)));
        switch (Pick(3)) {
            case 0:
                queue_.RunPending();
                break;
            case 1: {
                int items = Pick(4);
                queue_.RunUntil([&] { return items-- <= 0 || queue_.Pending() == 0; });
                break;
            }
            default:
                break;  // delivered, not handled yet
        }
    }

    void Check() {
        ASSERT_FALSE(engine_.Busy());
        ASSERT_LE(device_.OpenStreams(), 1);
        if (!engine_.DeviceClosed()) {
            // Playing, stopping or draining: a run is under way.
            EXPECT_FALSE(window_.startEnabled);
            return;
        }
        EXPECT_EQ(device_.OpenStreams(), 0);
        EXPECT_EQ(device_.QueuedHeaders(), 0);  // every buffer came back
        EXPECT_FALSE(engine_.Playing());
        EXPECT_TRUE(window_.startEnabled);
        const auto length = static_cast<int32_t>(engine_.PracticeText().size());
        if (length == 0 || engine_.TextCursor() == 0) {
            return;  // idle
        }
        EXPECT_EQ(engine_.DoneCount(), static_cast<int32_t>(engine_.KeyedText().size()));
        EXPECT_EQ(engine_.TextCursor(), engine_.DoneCount() + 1);
        if (engine_.TextCursor() > length) {
            EXPECT_EQ(window_.status, "Тест окончен");
            EXPECT_FALSE(window_.pauseEnabled);
        } else {
            EXPECT_EQ(window_.status, "Тестирование остановлено");
            // Resumable once a character has been keyed.
            EXPECT_TRUE(window_.pauseEnabled || engine_.TextCursor() < 2);
        }
    }

    std::mt19937 random_;
    VirtualWaveSystem device_{VirtualWaveSystem::Clock::Manual};
    ManualNotificationQueue queue_;
    Window window_;
    PlaybackEngine engine_{window_.keyer, device_, queue_, window_, window_};
    int idleSteps_ = 0;
    bool closeDeferred_ = false;
};

TEST(RunControlPropertyTest, RandomCommandStormsAlwaysEndInADefinedState) {
    const unsigned base = BaseSeed();
    Keyer keyer;
    for (unsigned i = 0; i < 2000 && !::testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE("VANTREL_RUN_CONTROL_SEED=" + std::to_string(base + i));
        Storm(base + i, keyer).Run(16);
    }
}

// A device that stops answering (a frozen sound server) holds the caller up for one call limit
// at most: a run ends stopped with the audio error message, an open fails with it, and a close
// ends without one.
TEST(RunControlPropertyTest, AHungDeviceCostsOneCallLimitAndShowsTheAudioError) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kLimit = std::chrono::milliseconds(100);
    VirtualWaveSystem device(VirtualWaveSystem::Clock::Manual);
    audio::WorkerWaveSystem bounded(device, {kLimit, kLimit});
    ManualNotificationQueue queue;
    Keyer keyer;
    Window view(keyer, 1);
    view.fixedText = "TTTTT  ";
    PlaybackEngine engine(keyer, bounded, queue, view, view);
    auto startAndHang = [&](uint64_t frames) {
        device.BlockCalls(false);
        engine.StartBtnClick();
        device.Advance(1);  // delivers the open
        queue.RunPending();
        device.Advance(frames);  // buffers come back and wait to be handled
        device.BlockCalls(true);
    };
    auto quick = [&](const std::function<void()>& call) {
        const auto began = Clock::now();
        call();
        return Clock::now() - began < 6 * kLimit;
    };

    startAndHang(8000);
    EXPECT_TRUE(quick([&] { queue.RunPending(); }));  // the refill hangs
    EXPECT_EQ(view.warnings,
              std::vector<std::string>{"Ошибка открытия аудио!\r\nno device driver present"});
    EXPECT_EQ(view.status, "Тестирование остановлено");
    EXPECT_TRUE(view.startEnabled);
    EXPECT_EQ(engine.TextCursor(), engine.DoneCount() + 1);

    EXPECT_TRUE(quick([&] { engine.StartBtnClick(); }));  // the open hangs
    EXPECT_EQ(view.warnings.size(), 2u);
    EXPECT_TRUE(engine.DeviceClosed());

    startAndHang(8000);
    EXPECT_TRUE(quick([&] { EXPECT_TRUE(engine.StopNow()); }));
    EXPECT_EQ(view.warnings.size(), 2u);
    EXPECT_TRUE(engine.DeviceClosed());

    // A Start from the menu waits for a device that no longer says anything only so long.
    engine.SetClock([t = Clock::now()]() mutable { return t += PlaybackEngine::kDeviceSilence; });
    startAndHang(0);
    EXPECT_TRUE(quick([&] { engine.StartBtnClick(); }));
    EXPECT_EQ(view.warnings.size(), 4u);  // the dropped device, then the open
    EXPECT_TRUE(engine.DeviceClosed());

    // Once the device answers again, what was left with it ends by itself.
    device.BlockCalls(false);
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while ((bounded.Workers() > 0 || device.OpenStreams() > 0) && Clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(bounded.Workers(), 0);
    EXPECT_EQ(device.OpenStreams(), 0);
}

}  // namespace
}  // namespace vantrel
