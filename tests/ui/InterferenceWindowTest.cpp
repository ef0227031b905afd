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
    void Click(const char* checkBox) { Find<QCheckBox>(checkBox)->click(); }
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

// The boxes and the bar reach the right sources; what the sources play is the controls' test.
TEST_F(InterferenceWindowTest, BoxesAndBarDriveTheirOwnSourcesBesideAKeyedRun) {
    Find<QPushButton>("StartBtn")->click();
    Play(0);
    Click("CheckBox2");
    EXPECT_TRUE(controls.ALGaussGen1().Running());
    EXPECT_FALSE(controls.ALSignalGen1().Running());
    Click("CheckBox3");
    EXPECT_TRUE(controls.ALSignalGen1().Running());
    EXPECT_EQ(audio.OpenStreams(), 3);
    EXPECT_TRUE(window.Engine().Playing());

    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 9000);  // the bar's 18000 is not applied at start
    Find<QScrollBar>("ScrollBar1")->setValue(17000);
    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 17000);
    EXPECT_EQ(controls.ALSignalGen1().Amplitude(), 17000);

    Click("CheckBox2");
    EXPECT_FALSE(controls.ALGaussGen1().Running());
    EXPECT_TRUE(controls.ALSignalGen1().Running());
}

}  // namespace
}  // namespace vantrel
