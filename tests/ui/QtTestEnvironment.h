// The Qt application on the offscreen platform (unless another is chosen) for the whole run of
// a test program, and the trainer window as the window suites drive it: the virtual sound
// device on a hand-advanced clock, settings in memory, message boxes recorded (questions
// answered yes), a fixed time of day and a temporary working folder for the log.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QString>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "support/Settings.h"
#include "tests/support/TempFolder.h"
#include "trainer/MainForm.h"
#include "trainer/MessagePresenter.h"
#include "trainer/QtNotificationQueue.h"

// Failure messages show texts, not UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace vantrel::test {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[8] = "vantrel";  // QApplication keeps argv for its whole life
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Each box as "message: text", "warning: text" or "error: text"; questions apart.
class RecordingPresenter : public MessagePresenter {
  public:
    void ShowMessage(const std::string& text) override { boxes.push_back("message: " + text); }
    void ShowWarning(const std::string& text) override { boxes.push_back("warning: " + text); }
    void ShowError(const std::string& text) override { boxes.push_back("error: " + text); }
    void Confirm(const std::string& question, std::function<void()> onYes) override {
        questions.push_back(question);
        onYes();
    }
    std::vector<std::string> boxes;
    std::vector<std::string> questions;
};

class WindowFixture : public ::testing::Test {
  protected:
    void TearDown() override { Close(); }

    TMorseMain& Open() {
        window_ = std::make_unique<TMorseMain>(audio_, settings_, messages_);
        window_->SetTimeOfDayClock([] { return TimeOfDay{14, 35, 7}; });
        return *window_;
    }
    TMorseMain& OpenActive() {
        Open().show();
        QApplication::setActiveWindow(window_.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }
    // Destroys the window; a device still open plays on until it has closed.
    void Close() {
        if (window_) {
            window_->Notifications().SetIdleHook([this] { audio_.AdvanceMs(20); });
            window_.reset();
        }
    }
    template <typename T = QWidget>
    T* Find(const QString& name) {
        T* child = window_->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    void UseKeyboardText(const char* utf8) {
        Find<QRadioButton>("TextType3")->setChecked(true);
        Find<QPlainTextEdit>("Memo2")->setPlainText(QString::fromUtf8(utf8));
    }
    void Put(std::string_view name, uint32_t value) {
        settings_.Put(kSettingsKey, name, settings::Value::Dword(value));
    }
    int Stored(std::string_view name) {
        return ReadIntSetting(settings_, kSettingsKey, name, -100);
    }

    // Lets the virtual device play `ms` milliseconds and runs what it reported, and what the
    // handlers of that caused in turn.
    void Play(uint64_t ms) {
        audio_.AdvanceMs(ms);
        for (int round = 0; round < 3; ++round) {
            audio_.Flush();
            QCoreApplication::processEvents();
        }
    }
    // Plays until the run has ended and the device closed; false when it does not.
    bool PlayToTheEnd() {
        for (int step = 0; step < 100000 && window_->Engine().Playing(); ++step) {
            Play(50);
        }
        for (int step = 0; step < 100 && !window_->Engine().DeviceClosed(); ++step) {
            Play(50);
        }
        return window_->Engine().DeviceClosed();
    }

    testing::WorkingFolder folder_;
    audio::VirtualWaveSystem audio_{audio::VirtualWaveSystem::Clock::Manual};
    settings::MemorySettings settings_;
    RecordingPresenter messages_;
    std::unique_ptr<TMorseMain> window_;
};

}  // namespace vantrel::test
