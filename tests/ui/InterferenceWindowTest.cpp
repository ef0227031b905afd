// The noise group of the trainer window: its boxes and scroll bar drive the interference
// sources, on the virtual device, beside a keyed run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <string>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "tests/signal/OutputTestSupport.h"
#include "tests/ui/QtTestEnvironment.h"
#include "trainer/InterferenceControls.h"
#include "trainer/MainForm.h"
#include "trainer/MessagePresenter.h"
#include "trainer/QtNotificationQueue.h"

namespace vantrel {
namespace {

const auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::QtEnvironment("interference_tests"));

class SilentPresenter : public MessagePresenter {
  public:
    void ShowMessage(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    void ShowError(const std::string&) override {}
};

class InterferenceWindowTest : public ::testing::Test {
  protected:
    InterferenceWindowTest() : window(audio, settings, messages) {}
    ~InterferenceWindowTest() override {
        window.Notifications().SetIdleHook([this] { audio.AdvanceMs(20); });
    }

    template <typename T>
    T* Find(const char* name) {
        T* child = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Click(const char* checkBox) {
        Find<QCheckBox>(checkBox)->click();
        controls.Settle();
    }
    // Plays `ms` milliseconds and lets both the window and the outputs' threads catch up.
    void Play(uint64_t ms) {
        audio.AdvanceMs(ms);
        for (int round = 0; round < 3; ++round) {
            audio.Flush();
            QCoreApplication::processEvents();
        }
    }

    audio::VirtualWaveSystem audio{audio::VirtualWaveSystem::Clock::Manual};
    settings::MemorySettings settings;
    SilentPresenter messages;
    TMorseMain window;
    InterferenceControls& controls = window.Interference();
};

TEST_F(InterferenceWindowTest, EachBoxSwitchesItsOwnSourceOnAndOff) {
    EXPECT_FALSE(Find<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("CheckBox3")->isChecked());
    EXPECT_EQ(audio.OpenStreams(), 0);

    Click("CheckBox2");
    EXPECT_TRUE(controls.ALGaussGen1().Running());
    EXPECT_TRUE(controls.ALAudioOut2().Opened());
    EXPECT_FALSE(controls.ALAudioOut1().Opened());
    Click("CheckBox3");
    EXPECT_TRUE(controls.ALAudioOut1().Opened());
    EXPECT_EQ(audio.OpenStreams(), 2);

    Click("CheckBox2");
    EXPECT_FALSE(controls.ALGaussGen1().Running());
    EXPECT_TRUE(signal::testing::WaitUntil([&] {
        Play(30);
        return controls.ALAudioOut2().Idle();
    }));
    EXPECT_TRUE(controls.ALAudioOut1().Opened());
    EXPECT_EQ(audio.OpenStreams(), 1);
}

TEST_F(InterferenceWindowTest, TheScrollBarSetsDeviationAndAmplitudeFromItsFirstMove) {
    auto* bar = Find<QScrollBar>("ScrollBar1");
    EXPECT_EQ(bar->value(), 18000);
    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 9000);
    EXPECT_EQ(controls.ALSignalGen1().Amplitude(), 20000);
    bar->setValue(17000);
    controls.Settle();
    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 17000);
    EXPECT_EQ(controls.ALSignalGen1().Amplitude(), 17000);
    bar->triggerAction(QScrollBar::SliderToMinimum);
    controls.Settle();
    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 0);
    EXPECT_EQ(controls.ALSignalGen1().Amplitude(), 0);
}

TEST_F(InterferenceWindowTest, BothSourcesPlayBesideAKeyedRun) {
    Find<QPushButton>("StartBtn")->click();
    Play(0);
    Click("CheckBox2");
    Click("CheckBox3");
    EXPECT_EQ(audio.OpenStreams(), 3);
    for (int i = 0; i < 10; ++i) {
        Play(100);
        // The device holds two buffers of each of the three streams again before the clock
        // moves on; an output's own count still includes a returned buffer not yet handled.
        ASSERT_TRUE(signal::testing::WaitUntil([&] {
            QCoreApplication::processEvents();
            return audio.QueuedHeaders() == 6;
        }));
    }
    EXPECT_TRUE(window.Engine().Playing());
    // A second of playing pulled about eleven blocks from each source.
    EXPECT_GE(audio.Log(audio.StreamCount() - 1).headersDone, 9u);
    EXPECT_GE(audio.Log(audio.StreamCount() - 4).headersDone, 9u);
}

}  // namespace
}  // namespace vantrel
