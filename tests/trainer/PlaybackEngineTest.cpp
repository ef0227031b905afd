// The engine's single commands against a scripted window (the window's own suite runs a whole
// run through the real window); then random storms of Start, Pause and the close query at
// random moments, also arriving while another command waits for its device, with the device's
// notifications handled after random delays. Every storm is seeded; VANTREL_RUN_CONTROL_SEED
// replays from the seed a failure prints. Last, a device that stops answering.
#include "trainer/PlaybackEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/audio/WorkerWaveSystem.h"
#include "support/MMErrorText.h"
#include "trainer/ManualNotificationQueue.h"

namespace vantrel {
namespace {

using audio::VirtualWaveSystem;

// Two digit groups in the practice text's frame, in Windows-1251 ("Ж" is 0xC6).
const std::string kDigits = "\xC6\xC6\xC6 = 12345 67890  ";

const char* const kStatuses[] = {"started", "resumed", "finished", "stopped", "no file"};
const char* const kCaptions[] = {"pause", "resume"};

struct FakeWindow : PlaybackView, PlaybackHost {
    explicit FakeWindow(Keyer& k) : keyer(k) {}
    void SetStatus(RunStatus s) override { ++calls, statuses.push_back(kStatuses[int(s)]); }
    void SetStartEnabled(bool on) override { ++calls, startEnabled = on; }
    void SetPauseEnabled(bool on) override { ++calls, pauseEnabled = on; }
    void SetPauseCaption(PauseCaption c) override { ++calls, caption = kCaptions[int(c)]; }
    void SetCheckEnabled(bool on) override { ++calls, checkEnabled = on; }
    void ShowKeyedText(const std::string& text, int at) override {
        ++calls, textWindow.push_back(text), caret = at;
    }
    void ClearKeyedText() override { ++calls, textWindow.push_back(""); }
    void ShowAudioOpenError(audio::MMResult r) override {
        ++calls, warnings.push_back(MMErrorText(r));
    }
    void ApplyTiming() override { keyer.SetSpeed(speed), keyer.SetSpacing(0); }
    bool BuildPracticeText(std::string& text, int32_t& cursor) override {
        if (onBuild) {
            onBuild();
        }
        if (buildFails) {
            return false;
        }
        text = practiceText;
        cursor = text.empty() ? cursor : 1;
        return true;
    }
    // The last status; 1 for each of Start, Pause and Check enabled; the pause caption.
    std::string State() const {
        return (statuses.empty() ? "" : statuses.back()) + '|' + "01"[startEnabled] +
               "01"[pauseEnabled] + "01"[checkEnabled] + '|' + caption;
    }

    Keyer& keyer;
    std::vector<std::string> statuses, textWindow, warnings;
    std::string caption = "pause";
    bool startEnabled = true, pauseEnabled = false, checkEnabled = false;
    int caret = -1, calls = 0;
    int speed = 12;
    std::string practiceText = kDigits;
    bool buildFails = false;
    std::function<void()> onBuild;
};

class PlaybackEngineTest : public testing::Test {
  protected:
    PlaybackEngineTest() {
        keyer.SetPitchPosition(8);
        keyer.SetVolumePosition(0);
        // Whenever the engine waits for the device, play another 10 ms of it.
        queue.SetIdleHook([this] {
            if (++advances > 100000) {
                std::fprintf(stderr, "the run stalled\n");
                std::abort();
            }
            device.Advance(kStep);
        });
    }

    void PlayToClose() {
        queue.RunUntil([this] { return engine->DeviceClosed(); });
    }
    // Handles what the device has delivered so far, without playing on.
    void Settle() {
        device.Flush();
        queue.RunPending();
    }
    // Plays about `frames` frames, handling every notification on the way.
    void PlayFrames(int frames) {
        const int target = advances + frames / kStep;
        queue.RunUntil([this, target] { return advances >= target; });
    }
    void PauseMidRun(int frames) {
        PlayFrames(frames);
        engine->PauseBtnClick();
        PlayToClose();
    }

    // The renderings of `chars` at `speed` groups per minute, back to back.
    static std::vector<int16_t> Rendered(const std::string& chars, int speed) {
        Keyer reference;
        reference.SetPitchPosition(8);
        reference.SetVolumePosition(0);
        reference.SetSpeed(speed);
        std::vector<int16_t> all;
        std::vector<int16_t> one(Keyer::kMaxCharacterSamples);
        for (char c : chars) {
            int bytes = reference.RenderCharacter(one.data(), one.size(), static_cast<uint8_t>(c));
            all.insert(all.end(), one.begin(), one.begin() + bytes / 2);
        }
        return all;
    }
    void ExpectPlayedFirst(std::size_t stream, const std::vector<int16_t>& head) {
        const std::vector<int16_t> played = device.PlayedSamples(stream);
        ASSERT_GE(played.size(), head.size());
        EXPECT_TRUE(std::equal(head.begin(), head.end(), played.begin()));
    }

    static constexpr int kStep = 80;
    VirtualWaveSystem device{VirtualWaveSystem::Clock::Manual};
    ManualNotificationQueue queue;
    Keyer keyer;
    FakeWindow view{keyer};
    int advances = 0;
    std::unique_ptr<PlaybackEngine> engine =
        std::make_unique<PlaybackEngine>(keyer, device, queue, view, view);
};

TEST_F(PlaybackEngineTest, WholeRunShowsFinishedWordsAndPlaysEveryCharacterInOrder) {
    engine->StartBtnClick();
    EXPECT_EQ(view.State(), "started|011|pause");
    PlayToClose();
    EXPECT_EQ(view.statuses, (std::vector<std::string>{"started", "finished"}));
    EXPECT_EQ(view.State(), "finished|101|pause");
    EXPECT_EQ(engine->KeyedText(), kDigits);

    // The text window grows word by word, each time up to a blank that has finished sounding.
    EXPECT_EQ(view.textWindow, (std::vector<std::string>{"", "\xC6\xC6\xC6 ",
                                                         "\xC6\xC6\xC6 = ", "\xC6\xC6\xC6 = 12345 ",
                                                         "\xC6\xC6\xC6 = 12345 67890 ", kDigits}));
    EXPECT_EQ(view.caret, static_cast<int>(kDigits.size()) - 1);

    // The device played every character as rendered, then the final blank until the reset.
    ASSERT_EQ(device.StreamCount(), 1u);
    const std::vector<int16_t> expected = Rendered(kDigits.substr(0, kDigits.size() - 1), 12);
    ExpectPlayedFirst(0, expected);
    const std::vector<int16_t> played = device.PlayedSamples(0);
    EXPECT_LE(played.size() - expected.size(), 1600u);
    EXPECT_TRUE(std::all_of(played.begin() + expected.size(), played.end(),
                            [](int16_t s) { return s == 0; }));
}

TEST_F(PlaybackEngineTest, PauseThenResumeRepeatsTheCutCharacter) {
    engine->StartBtnClick();
    PauseMidRun(9600 * 3 + 1600 + 3000);  // inside "="
    EXPECT_EQ(view.State(), "stopped|111|resume");

    const std::string before = engine->KeyedText();
    const int32_t cursor = engine->TextCursor();
    engine->PauseBtnClick();
    EXPECT_EQ(view.State(), "resumed|011|pause");
    EXPECT_EQ(engine->TextCursor(), cursor - 1);
    EXPECT_EQ(engine->KeyedText(), before.substr(0, before.size() - 1));
    PlayToClose();
    // The second device starts again with the character that the reset cut off.
    ExpectPlayedFirst(1, Rendered(kDigits.substr(static_cast<std::size_t>(cursor) - 2, 2), 12));
}

TEST_F(PlaybackEngineTest, PauseRightAfterResumeClosesOnTheFirstReturnedBuffer) {
    engine->StartBtnClick();
    PauseMidRun(20000);
    for (bool openHandled : {false, true}) {
        engine->PauseBtnClick();  // Resume
        if (openHandled) {
            Settle();
        }
        engine->PauseBtnClick();  // and Pause again at once
        PlayToClose();
        EXPECT_EQ(device.Log(device.StreamCount() - 1).headersWritten, 2u);
        EXPECT_EQ(view.caption, "resume");
    }
}

// A Start while the device closes (the last buffer back, the close delivered but not handled)
// waits for the close; a Start while playing is the window suite's.
TEST_F(PlaybackEngineTest, StartWhileTheDeviceClosesRestartsAfterTheClose) {
    view.onBuild = [this] { EXPECT_TRUE(engine->DeviceClosed()); };
    engine->StartBtnClick();
    queue.RunUntil([this] { return !engine->Playing(); });
    ASSERT_FALSE(engine->DeviceClosed());
    device.Flush();
    engine->StartBtnClick();
    EXPECT_EQ(device.StreamCount(), 2u);
    PlayToClose();
    EXPECT_EQ(engine->KeyedText(), kDigits);
    ExpectPlayedFirst(1, Rendered(kDigits.substr(0, 2), 12));
}

TEST_F(PlaybackEngineTest, StopNowSilencesTheDeviceAndDestroyingClosesItFirst) {
    view.speed = 3;  // characters of several seconds
    engine->StartBtnClick();
    PlayFrames(8000);
    const int played = advances;
    EXPECT_TRUE(engine->StopNow());
    EXPECT_EQ(device.OpenStreams(), 0);
    // At most a step of the clock passed while the reset's notifications came back; the
    // character playing (about 38000 frames at this speed) was not played to its end.
    EXPECT_LE(advances - played, 2);
    EXPECT_EQ(view.statuses.back(), "stopped");

    // Destroying the engine while it stops closes the device first; nothing is left behind.
    engine->PauseBtnClick();
    PlayFrames(8000);
    engine->PauseBtnClick();
    device.Advance(20000);
    engine.reset();
    EXPECT_EQ(device.OpenStreams(), 0);
    Settle();
    EXPECT_EQ(queue.Pending(), 0u);
}

TEST_F(PlaybackEngineTest, SpeedChangeMidRunAltersOnlyCharactersAfterTheTwoQueued) {
    engine->StartBtnClick();
    Settle();
    keyer.SetSpeed(20);
    PlayToClose();
    std::vector<int16_t> expected = Rendered(kDigits.substr(0, 2), 12);
    const std::vector<int16_t> rest = Rendered(kDigits.substr(2, kDigits.size() - 3), 20);
    expected.insert(expected.end(), rest.begin(), rest.end());
    ExpectPlayedFirst(0, expected);
}

TEST_F(PlaybackEngineTest, FailedOpenLeavesTheRunStartable) {
    device.FailNextOpen(audio::MMSYSERR_ALLOCATED);
    engine->StartBtnClick();
    EXPECT_EQ(view.warnings, std::vector<std::string>{"device already allocated"});
    EXPECT_EQ(view.State(), "stopped|101|pause");

    // A failed Resume keeps the step back and the stopped state, so it can be retried.
    engine->StartBtnClick();
    PauseMidRun(20000);
    const int32_t cursor = engine->TextCursor();
    device.FailNextOpen(audio::MMSYSERR_NODRIVER);
    engine->PauseBtnClick();
    EXPECT_EQ(view.warnings.size(), 2u);
    EXPECT_EQ(engine->TextCursor(), cursor - 1);
    EXPECT_EQ(view.State(), "stopped|111|resume");
    engine->PauseBtnClick();
    PlayToClose();
    EXPECT_EQ(engine->KeyedText(), kDigits);
}

TEST_F(PlaybackEngineTest, EmptyOrAbandonedTextChangesNoState) {
    engine->StartBtnClick();
    PauseMidRun(20000);
    const int32_t cursor = engine->TextCursor();

    view.buildFails = true;  // e.g. the text file could not be read
    const int calls = view.calls;
    engine->StartBtnClick();
    EXPECT_TRUE(engine->PracticeText().empty());  // so the stopped run cannot be resumed
    engine->PauseBtnClick();
    EXPECT_EQ(view.calls, calls);
    EXPECT_EQ(engine->TextCursor(), cursor);

    view.buildFails = false;
    view.practiceText = "";
    engine->StartBtnClick();
    EXPECT_EQ(view.calls, calls + 1);  // only the text window is cleared
    EXPECT_EQ(view.textWindow.back(), "");
    EXPECT_TRUE(engine->KeyedText().empty());
    EXPECT_EQ(engine->TextCursor(), cursor);
    EXPECT_EQ(view.caption, "resume");
    EXPECT_EQ(device.OpenAttempts(), 1u);
}

unsigned BaseSeed() {
    const char* seed = std::getenv("VANTREL_RUN_CONTROL_SEED");
    return seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : std::random_device{}();
}

// One sequence: a fresh device, queue and engine.
class Storm {
  public:
    // The keyer's tables take a while to build, so the sequences share one.
    Storm(unsigned seed, Keyer& keyer) : random_(seed), window_(keyer) {
        window_.speed = 30;
        window_.onBuild = [this] {  // a random text or none; now and then none can be built
            static const char* const kTexts[] = {"E  ", "ET TE  ", "\xC6 = 5  ", ""};
            const int pick = Pick(10);
            window_.practiceText = kTexts[pick % 4];
            window_.buildFails = pick == 9;
        };
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
        if (which == 0) {
            engine_.StartBtnClick();
        } else if (which == 1) {
            engine_.PauseBtnClick();
        } else {  // the window asks again once the command it interrupted has returned
            closeDeferred_ = !engine_.StopNow() || closeDeferred_;
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
        // All, a few or none of the delivered notifications are handled.
        int items = Pick(3) == 0 ? 1000 : Pick(4);
        queue_.RunUntil([&] { return items-- <= 0 || queue_.Pending() == 0; });
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
            EXPECT_EQ(window_.statuses.back(), "finished");
            EXPECT_FALSE(window_.pauseEnabled);
        } else {
            EXPECT_EQ(window_.statuses.back(), "stopped");
            // Resumable once a character has been keyed.
            EXPECT_TRUE(window_.pauseEnabled || engine_.TextCursor() < 2);
        }
    }

    std::mt19937 random_;
    VirtualWaveSystem device_{VirtualWaveSystem::Clock::Manual};
    ManualNotificationQueue queue_;
    FakeWindow window_;
    PlaybackEngine engine_{window_.keyer, device_, queue_, window_, window_};
    int idleSteps_ = 0;
    bool closeDeferred_ = false;
};

TEST_F(PlaybackEngineTest, RandomCommandStormsAlwaysEndInADefinedState) {
    const unsigned base = BaseSeed();
    for (unsigned i = 0; i < 2000 && !::testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE("VANTREL_RUN_CONTROL_SEED=" + std::to_string(base + i));
        Storm(base + i, keyer).Run(16);
    }
}

// A device that stops answering (a frozen sound server) holds the caller up for one call limit
// at most: a run ends stopped with the audio error message, an open fails with it, and a close
// ends without one.
TEST_F(PlaybackEngineTest, AHungDeviceCostsOneCallLimitAndShowsTheAudioError) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kLimit = std::chrono::milliseconds(100);
    audio::WorkerWaveSystem bounded(device, {kLimit, kLimit});
    queue.SetIdleHook(nullptr);  // waits for the workers' answers
    view.speed = 30;
    view.practiceText = "TTTTT  ";
    engine = std::make_unique<PlaybackEngine>(keyer, bounded, queue, view, view);
    auto startAndHang = [&](uint64_t frames) {
        device.BlockCalls(false);
        engine->StartBtnClick();
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
    EXPECT_EQ(view.warnings, std::vector<std::string>{"no device driver present"});
    EXPECT_EQ(view.statuses.back(), "stopped");
    EXPECT_TRUE(view.startEnabled);
    EXPECT_EQ(engine->TextCursor(), engine->DoneCount() + 1);

    EXPECT_TRUE(quick([&] { engine->StartBtnClick(); }));  // the open hangs
    EXPECT_EQ(view.warnings.size(), 2u);
    EXPECT_TRUE(engine->DeviceClosed());

    startAndHang(8000);
    EXPECT_TRUE(quick([&] { EXPECT_TRUE(engine->StopNow()); }));
    EXPECT_EQ(view.warnings.size(), 2u);
    EXPECT_TRUE(engine->DeviceClosed());

    // A Start from the menu waits for a device that no longer says anything only so long.
    engine->SetClock([t = Clock::now()]() mutable { return t += PlaybackEngine::kDeviceSilence; });
    startAndHang(0);
    EXPECT_TRUE(quick([&] { engine->StartBtnClick(); }));
    EXPECT_EQ(view.warnings.size(), 4u);  // the dropped device, then the open
    EXPECT_TRUE(engine->DeviceClosed());

    // Once the device answers again, what was left with it ends by itself.
    device.BlockCalls(false);
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while ((bounded.Workers() > 0 || device.OpenStreams() > 0) && Clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(bounded.Workers(), 0);
    EXPECT_EQ(device.OpenStreams(), 0);
    engine.reset();
}

}  // namespace
}  // namespace vantrel
