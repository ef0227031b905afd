// What assistive technology gets from the trainer window, on the offscreen platform: names and
// values of the sliders, the announcements of a run, colours that follow the scheme and boxes
// that do not block. ScreenReaderTest.sh checks what Orca makes of it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "about/help.h"
#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "tests/ui/QtTestEnvironment.h"
#include "trainer/Announcer.h"
#include "trainer/MainForm.h"
#include "trainer/MessagePresenter.h"
#include "trainer/QtNotificationQueue.h"

// Failure messages show texts, not UTF-16 code units.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace vantrel {
namespace {

const auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::QtEnvironment("accessibility_tests"));

class AccessibilityTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (window_) {
            window_->Notifications().SetIdleHook([this] { audio_.AdvanceMs(20); });
            window_.reset();
        }
        QApplication::setPalette(QPalette());
    }
    TMorseMain& Open(bool shown = false) {
        window_ = std::make_unique<TMorseMain>(audio_, settings_, messages_);
        if (shown) {
            window_->show();
            QApplication::setActiveWindow(window_.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        }
        return *window_;
    }
    template <typename T = QWidget>
    T* Find(const char* name) {
        return window_->findChild<T*>(QLatin1String(name));
    }
    QAccessibleInterface* Accessible(const char* name) {
        return QAccessible::queryAccessibleInterface(window_->findChild<QObject*>(name));
    }
    void Play(uint64_t ms) {
        audio_.AdvanceMs(ms);
        for (int round = 0; round < 3; ++round) {
            audio_.Flush();
            QCoreApplication::processEvents();
        }
    }

    audio::VirtualWaveSystem audio_{audio::VirtualWaveSystem::Clock::Manual};
    settings::MemorySettings settings_;
    QtMessagePresenter messages_;
    std::unique_ptr<TMorseMain> window_;
};

TEST_F(AccessibilityTest, SlidersAreNamedByTheirCaptionsAndValuedByWhatTheySet) {
    Open();
    // Name, value and value text of each.
    for (const auto& [name, caption, value, text] :
         {std::tuple{"SpeedTrackBar", "Скорость", 12, "12 гр./мин."},
          {"SpacingTrackBar", "Паузы", 0, "Нормальные паузы"},
          {"PitchTrackBar", "Тон", 800, "800 Гц"},
          {"VolTrackBar", "Громкость", 8, "8"},
          {"ScrollBar1", "Уровень шумов", 18000, "18000"}}) {
        QAccessibleInterface* slider = Accessible(name);
        EXPECT_EQ(slider->text(QAccessible::Name), QString::fromUtf8(caption)) << name;
        EXPECT_TRUE(slider->relations(QAccessible::Label).isEmpty()) << name;
        EXPECT_EQ(slider->valueInterface()->currentValue().toInt(), value) << name;
        EXPECT_EQ(slider->text(QAccessible::Value), QString::fromUtf8(text)) << name;
    }
    // The volume rises towards the top, where the bar's position is least.
    QAccessibleValueInterface* volume = Accessible("VolTrackBar")->valueInterface();
    Find<QSlider>("VolTrackBar")->setValue(3);
    EXPECT_EQ(volume->currentValue().toInt(), 5);
    EXPECT_EQ(volume->maximumValue().toInt(), 8);
    volume->setCurrentValue(2);
    EXPECT_EQ(Find<QSlider>("VolTrackBar")->value(), 6);
    Accessible("PitchTrackBar")->valueInterface()->setCurrentValue(1500);
    EXPECT_EQ(Find<QSlider>("PitchTrackBar")->value(), 15);
}

TEST_F(AccessibilityTest, EachStateOfARunIsAnnouncedOnceWithoutMovingTheFocus) {
    Open(true);
    std::vector<QString> announced;
    QObject::connect(window_->findChild<Announcer*>(), &Announcer::Announced,
                     [&announced](const QString& text) { announced.push_back(text); });
    Find<QRadioButton>("TextType3")->setChecked(true);
    Find<QPlainTextEdit>("Memo2")->setPlainText(QStringLiteral("ee"));
    auto* pause = Find<QPushButton>("PauseBtn");
    Find<QPushButton>("StartBtn")->click();
    Play(500);
    pause->setFocus();
    pause->click();
    Play(3000);
    pause->click();
    EXPECT_EQ(QApplication::focusWidget(), pause);
    for (int step = 0; step < 400 && !window_->Engine().DeviceClosed(); ++step) {
        Play(50);
    }
    EXPECT_EQ(announced,
              (std::vector<QString>{"Тест начат", "Тестирование остановлено", "Возобновить",
                                    "Возобновлен", "Пауза", "Тест окончен"}));
}

TEST_F(AccessibilityTest, KeyedTextAndCopyAreaTakeTheSchemesTextAndGroundWhenItIsDark) {
    Open();
    EXPECT_EQ(Find("Memo1")->palette().color(QPalette::Base), QColor(0xE8, 0xE8, 0xE8));
    EXPECT_EQ(Find("Memo1")->palette().color(QPalette::Text), QColor(0x00, 0x00, 0x80));
    QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    for (const char* area : {"TextWin", "Memo1"}) {
        EXPECT_EQ(Find(area)->palette().color(QPalette::Text), QColor(Qt::white)) << area;
        EXPECT_EQ(Find(area)->palette().color(QPalette::Base), QColor(Qt::black)) << area;
    }
}

TEST_F(AccessibilityTest, AboutWindowComesUpWithoutAWaitAndReturnCloses) {
    TMorseMain& window = Open(true);
    TForm1 about(&window);
    window.SetAboutWindow(&about);
    window.findChild<QAction*>("N12")->trigger();
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(about.Button1, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace vantrel
