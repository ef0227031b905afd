#include "trainer/PlaybackEngine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "trainer/ManualNotificationQueue.h"

namespace vantrel {
namespace {

using audio::VirtualWaveSystem;

// Two digit groups in the practice text's frame, in Windows-1251 ("Ж" is 0xC6).
const std::string kDigits = "\xC6\xC6\xC6 = 12345 67890  ";
const std::string kOther = "\xC6\xC6\xC6 = 55555  ";

struct FakeView : PlaybackView {
    std::vector<std::string> statuses;
    std::vector<std::string> textWindow;  // every ShowKeyedText, in order
    std::vector<std::string> warnings;
    std::string caption = "&Пауза";
    bool startEnabled = true;
    bool pauseEnabled = false;
    bool checkEnabled = false;
    int caret = -1;
    int clears = 0;
    int calls = 0;

    void SetStatusText(const std::string& text) override { ++calls, statuses.push_back(text); }
    void SetStartEnabled(bool on) override { ++calls, startEnabled = on; }
    void SetPauseEnabled(bool on) override { ++calls, pauseEnabled = on; }
    void SetPauseCaption(const std::string& text) override { ++calls, caption = text; }
    void SetCheckEnabled(bool on) override { ++calls, checkEnabled = on; }
    void ShowKeyedText(const std::string& text, int at) override {
        ++calls, textWindow.push_back(text), caret = at;
    }
    void ClearKeyedText() override { ++calls, ++clears, textWindow.push_back(""); }
    void ShowWarning(const std::string& text) override { ++calls, warnings.push_back(text); }
};

struct FakeHost : PlaybackHost {
    Keyer& keyer;
    int speed = 12;
    std::vector<std::string> texts{kDigits};  // one per Start; the last one repeats
    bool buildFails = false;
    int builds = 0;
    std::function<void()> onBuild;

    explicit FakeHost(Keyer& k) : keyer(k) {}
    void ApplyTiming() override { keyer.SetSpeed(speed), keyer.SetSpacing(0); }
    bool BuildPracticeText(std::string& text, int32_t& cursor) override {
        if (onBuild) {
            onBuild();
        }
        if (buildFails) {
            return false;
        }
        text = texts[std::min<std::size_t>(builds++, texts.size() - 1)];
        if (!text.empty()) {
            cursor = 1;
        }
        return true;
    }
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

    // Runs the device until `done` holds.
    void PlayUntil(const std::function<bool()>& done) { queue.RunUntil(done); }
    void PlayToClose() {
        PlayUntil([this] { return engine->DeviceClosed(); });
    }
    // Handles what the device has delivered so far, without playing on.
    void Settle() {
        device.Flush();
        queue.RunPending();
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

    void ExpectStepInvariant() const {
        EXPECT_EQ(engine->DoneCount(), static_cast<int32_t>(engine->KeyedText().size()));
        EXPECT_EQ(engine->TextCursor(), engine->DoneCount() + 1);
    }

    // Plays about `frames` frames, handling every notification on the way.
    void PlayFrames(int frames) {
        const int target = advances + frames / kStep;
        PlayUntil([this, target] { return advances >= target; });
    }
    void PauseMidRun(int frames) {
        PlayFrames(frames);
        engine->PauseBtnClick();
        PlayToClose();
    }

    static constexpr int kStep = 80;
    VirtualWaveSystem device{VirtualWaveSystem::Clock::Manual};
    ManualNotificationQueue queue;
    Keyer keyer;
    FakeView view;
    FakeHost host{keyer};
    int advances = 0;
    std::unique_ptr<PlaybackEngine> engine =
        std::make_unique<PlaybackEngine>(keyer, device, queue, view, host);
};

TEST_F(PlaybackEngineTest, WholeRunShowsFinishedWordsAndPlaysEveryCharacterInOrder) {
    engine->StartBtnClick();
    EXPECT_FALSE(view.startEnabled);
    EXPECT_TRUE(view.pauseEnabled);
    EXPECT_TRUE(view.checkEnabled);
    PlayToClose();

    EXPECT_EQ(view.statuses, (std::vector<std::string>{"Тест начат", "Тест окончен"}));
    EXPECT_TRUE(view.startEnabled);
    EXPECT_FALSE(view.pauseEnabled);
    EXPECT_EQ(engine->KeyedText(), kDigits);
    EXPECT_EQ(engine->DoneCount(), static_cast<int32_t>(kDigits.size()));
    ExpectStepInvariant();

    // The text window grows word by word, each time up to a blank that has finished sounding.
    const std::vector<std::string> words{"",
                                         "\xC6\xC6\xC6 ",
                                         "\xC6\xC6\xC6 = ",
                                         "\xC6\xC6\xC6 = 12345 ",
                                         "\xC6\xC6\xC6 = 12345 67890 ",
                                         kDigits};
    EXPECT_EQ(view.textWindow, words);
    EXPECT_EQ(view.caret, static_cast<int>(kDigits.size()) - 1);

    // The device played every character as rendered, then the final blank until the reset.
    ASSERT_EQ(device.StreamCount(), 1u);
    EXPECT_TRUE(device.Log(0).closed);
    const std::vector<int16_t> played = device.PlayedSamples(0);
    const std::vector<int16_t> expected = Rendered(kDigits.substr(0, kDigits.size() - 1), 12);
    ASSERT_GE(played.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()));
    EXPECT_LE(played.size() - expected.size(), 1600u);
    EXPECT_TRUE(std::all_of(played.begin() + expected.size(), played.end(),
                            [](int16_t s) { return s == 0; }));
}

TEST_F(PlaybackEngineTest, PauseThenResumeRepeatsTheCutCharacter) {
    engine->StartBtnClick();
    PauseMidRun(9600 * 3 + 1600 + 3000);  // inside "="
    EXPECT_EQ(view.statuses.back(), "Тестирование остановлено");
    EXPECT_EQ(view.caption, "&Возобновить");
    EXPECT_TRUE(view.startEnabled);
    EXPECT_TRUE(view.pauseEnabled);
    ExpectStepInvariant();

    const std::string before = engine->KeyedText();
    const int32_t cursor = engine->TextCursor();
    engine->PauseBtnClick();
    EXPECT_EQ(view.statuses.back(), "Возобновлен");
    EXPECT_EQ(view.caption, "&Пауза");
    EXPECT_FALSE(view.startEnabled);
    EXPECT_EQ(engine->TextCursor(), cursor - 1);
    EXPECT_EQ(engine->KeyedText(), before.substr(0, before.size() - 1));
    ExpectStepInvariant();

    PlayToClose();
    EXPECT_EQ(view.statuses.back(), "Тест окончен");
    EXPECT_EQ(view.textWindow.back(), kDigits);
    ExpectStepInvariant();
    // The second device starts again with the character that the reset cut off.
    const std::string resumed = kDigits.substr(static_cast<std::size_t>(cursor) - 2, 2);
    const std::vector<int16_t> head = Rendered(resumed, 12);
    const std::vector<int16_t> played = device.PlayedSamples(1);
    ASSERT_GE(played.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), played.begin()));
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
        const audio::VirtualStreamLog log = device.Log(device.StreamCount() - 1);
        EXPECT_EQ(log.headersWritten, 2u);
        EXPECT_TRUE(log.closed);
        EXPECT_EQ(view.caption, "&Возобновить");
        ExpectStepInvariant();
    }
}

TEST_F(PlaybackEngineTest, StartWhileTheDeviceIsOpenOrClosingRestartsAfterTheClose) {
    host.texts = {kDigits, kOther, kDigits};
    host.onBuild = [this] { EXPECT_TRUE(engine->DeviceClosed()); };
    engine->StartBtnClick();
    PlayFrames(20000);
    engine->StartBtnClick();  // from the menu, while playing
    EXPECT_EQ(device.StreamCount(), 2u);
    EXPECT_TRUE(device.Log(0).closed);
    EXPECT_EQ(engine->PracticeText(), kOther);
    EXPECT_EQ(view.statuses.back(), "Тест начат");

    // The last buffer came back but the device has not closed yet.
    PlayUntil([this] { return !engine->Playing(); });
    ASSERT_FALSE(engine->DeviceClosed());
    device.Flush();  // the close notification is delivered, not yet handled
    engine->StartBtnClick();
    EXPECT_EQ(device.StreamCount(), 3u);
    PlayToClose();
    EXPECT_EQ(engine->KeyedText(), kDigits);
    EXPECT_EQ(view.textWindow.back(), kDigits);
    EXPECT_EQ(view.statuses.back(), "Тест окончен");
    ExpectStepInvariant();
}

TEST_F(PlaybackEngineTest, StartPressedAgainDuringTheCloseWaitLeavesOneConsistentRun) {
    engine->StartBtnClick();
    PlayFrames(20000);
    queue.Post([this] { engine->StartBtnClick(); });  // handled inside the wait below
    engine->StartBtnClick();
    EXPECT_EQ(device.OpenStreams(), 1);
    EXPECT_TRUE(engine->Playing());
    PlayToClose();
    EXPECT_EQ(engine->KeyedText(), engine->PracticeText());
    EXPECT_EQ(view.statuses.back(), "Тест окончен");
    ExpectStepInvariant();
    // The run that remains keyed the text from its start.
    const std::vector<int16_t> head = Rendered(kDigits.substr(0, 2), 12);
    const std::vector<int16_t> played = device.PlayedSamples(device.StreamCount() - 1);
    ASSERT_GE(played.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), played.begin()));
}

TEST_F(PlaybackEngineTest, CloseWaitReturnsOnlyOnceTheDeviceHasClosed) {
    engine->WaitForDeviceClose();  // nothing open: returns at once
    EXPECT_EQ(advances, 0);

    engine->StartBtnClick();
    PlayFrames(20000);
    engine->WaitForDeviceClose();
    EXPECT_TRUE(engine->DeviceClosed());
    EXPECT_EQ(device.OpenStreams(), 0);
    EXPECT_EQ(view.statuses.back(), "Тестирование остановлено");

    // Destroying the engine while it plays closes the device first; nothing is left behind.
    engine->PauseBtnClick();
    device.Advance(20000);
    engine.reset();
    EXPECT_EQ(device.OpenStreams(), 0);
    device.Flush();
    queue.RunPending();
    EXPECT_EQ(queue.Pending(), 0u);
}

TEST_F(PlaybackEngineTest, StopNowSilencesTheDeviceWithoutPlayingOn) {
    host.speed = 3;  // characters of several seconds
    engine->StartBtnClick();
    PlayFrames(8000);
    const int played = advances;
    engine->StopNow();
    EXPECT_TRUE(engine->DeviceClosed());
    EXPECT_EQ(device.OpenStreams(), 0);
    // At most a step of the clock passed while the reset's notifications came back; the
    // character playing (about 38000 frames at this speed) was not played to its end.
    EXPECT_LE(advances - played, 2);
    EXPECT_EQ(view.statuses.back(), "Тестирование остановлено");
    ExpectStepInvariant();
    engine->StopNow();  // nothing open: returns at once
}

TEST_F(PlaybackEngineTest, PauseBeforeAnyStartOrAfterTheEndDoesNothing) {
    engine->PauseBtnClick();
    EXPECT_EQ(view.calls, 0);
    EXPECT_EQ(device.OpenAttempts(), 0u);

    engine->StartBtnClick();
    PlayToClose();
    const int calls = view.calls;
    engine->PauseBtnClick();
    EXPECT_EQ(view.calls, calls);
    EXPECT_EQ(device.OpenAttempts(), 1u);
}

TEST_F(PlaybackEngineTest, SpeedChangeMidRunAltersOnlyCharactersAfterTheTwoQueued) {
    engine->StartBtnClick();
    Settle();
    keyer.SetSpeed(20);
    PlayToClose();
    std::vector<int16_t> expected = Rendered(kDigits.substr(0, 2), 12);
    const std::vector<int16_t> rest = Rendered(kDigits.substr(2, kDigits.size() - 3), 20);
    expected.insert(expected.end(), rest.begin(), rest.end());
    const std::vector<int16_t> played = device.PlayedSamples(0);
    ASSERT_GE(played.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()));
}

TEST_F(PlaybackEngineTest, FailedOpenLeavesTheRunStartable) {
    device.FailNextOpen(audio::MMSYSERR_ALLOCATED);
    engine->StartBtnClick();
    EXPECT_EQ(view.warnings,
              std::vector<std::string>{"Ошибка открытия аудио!\r\ndevice already allocated"});
    EXPECT_FALSE(engine->Playing());
    EXPECT_TRUE(view.startEnabled);
    EXPECT_FALSE(view.pauseEnabled);
    EXPECT_EQ(view.caption, "&Пауза");

    // A failed Resume keeps the step back and the stopped state, so it can be retried.
    engine->StartBtnClick();
    PauseMidRun(20000);
    const int32_t cursor = engine->TextCursor();
    device.FailNextOpen(audio::MMSYSERR_NODRIVER);
    engine->PauseBtnClick();
    EXPECT_EQ(view.warnings.size(), 2u);
    EXPECT_EQ(engine->TextCursor(), cursor - 1);
    EXPECT_TRUE(view.startEnabled);
    EXPECT_TRUE(view.pauseEnabled);
    EXPECT_EQ(view.caption, "&Возобновить");
    EXPECT_EQ(view.statuses.back(), "Тестирование остановлено");
    ExpectStepInvariant();

    engine->PauseBtnClick();
    PlayToClose();
    EXPECT_EQ(engine->KeyedText(), kDigits);
    EXPECT_EQ(view.statuses.back(), "Тест окончен");
}

TEST_F(PlaybackEngineTest, EmptyOrAbandonedTextChangesNoState) {
    engine->StartBtnClick();
    PauseMidRun(20000);
    const int32_t cursor = engine->TextCursor();

    host.buildFails = true;  // e.g. the text file could not be read
    const int calls = view.calls;
    engine->StartBtnClick();
    EXPECT_EQ(view.calls, calls);
    EXPECT_FALSE(engine->KeyedText().empty());
    EXPECT_TRUE(engine->PracticeText().empty());  // so the stopped run cannot be resumed
    EXPECT_EQ(engine->TextCursor(), cursor);
    engine->PauseBtnClick();
    EXPECT_EQ(view.calls, calls);

    host.buildFails = false;
    host.texts = {""};
    engine->StartBtnClick();
    EXPECT_EQ(view.calls, calls + 1);  // only the text window is cleared
    EXPECT_EQ(view.textWindow.back(), "");
    EXPECT_TRUE(engine->KeyedText().empty());
    EXPECT_EQ(engine->TextCursor(), cursor);
    EXPECT_EQ(view.caption, "&Возобновить");
    EXPECT_EQ(device.OpenAttempts(), 1u);
}

TEST(PlaybackEngineRealTimeTest, RunOnADeviceWithItsOwnClockEndsFinished) {
    VirtualWaveSystem device(VirtualWaveSystem::Clock::RealTime);
    ManualNotificationQueue queue;  // no idle hook: waits for the device's notifications
    Keyer keyer;
    FakeView view;
    FakeHost host(keyer);
    host.speed = 30;
    host.texts = {"EE  "};
    PlaybackEngine engine(keyer, device, queue, view, host);
    engine.StartBtnClick();
    queue.RunUntil([&] { return engine.DeviceClosed(); });
    EXPECT_EQ(view.statuses.back(), "Тест окончен");
    EXPECT_EQ(view.textWindow.back(), "EE  ");
}

}  // namespace
}  // namespace vantrel
