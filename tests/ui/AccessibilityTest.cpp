// What assistive technology gets from the trainer window, on the offscreen platform: names and
// values of the sliders, the announcements of a run, the keyboard order, colours that follow the
// scheme and boxes that do not block.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
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

double Luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double Contrast(const QWidget* widget) {
    const double text = Luminance(widget->palette().color(QPalette::Active, QPalette::Text));
    const double ground = Luminance(widget->palette().color(QPalette::Active, QPalette::Base));
    return (std::max(text, ground) + 0.05) / (std::min(text, ground) + 0.05);
}

class QuietPresenter : public MessagePresenter {
  public:
    void ShowMessage(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    void ShowError(const std::string&) override {}
};

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
    QuietPresenter messages_;
    std::unique_ptr<TMorseMain> window_;
};

TEST_F(AccessibilityTest, SlidersAreNamedByTheirCaptionsAndValuedByWhatTheySet) {
    Open();
    struct Expected {
        const char* name;
        const char* caption;
        int value;
        const char* valueText;
    };
    for (const Expected& e : {Expected{"SpeedTrackBar", "Скорость", 12, "12 гр./мин."},
                              Expected{"SpacingTrackBar", "Паузы", 0, "Нормальные паузы"},
                              Expected{"PitchTrackBar", "Тон", 800, "800 Гц"},
                              Expected{"VolTrackBar", "Громкость", 8, "8"},
                              Expected{"ScrollBar1", "Уровень шумов", 18000, "18000"}}) {
        QAccessibleInterface* slider = Accessible(e.name);
        EXPECT_EQ(slider->text(QAccessible::Name), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_TRUE(slider->relations(QAccessible::Label).isEmpty()) << e.name;
        EXPECT_EQ(slider->valueInterface()->currentValue().toInt(), e.value) << e.name;
        EXPECT_EQ(slider->text(QAccessible::Value), QString::fromUtf8(e.valueText)) << e.name;
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

TEST_F(AccessibilityTest, TabRunsTopToBottomWithTabBarsBeforeTheirPagesAndRoundAgain) {
    Open(true);
    QWidget* first = QApplication::focusWidget();
    std::vector<QString> names;
    for (QWidget* w = first; names.size() < 30; w = QApplication::focusWidget()) {
        names.push_back(w->objectName());
        QTest::keyClick(w, Qt::Key_Tab);
        if (QApplication::focusWidget() == first) {
            break;
        }
    }
    const std::vector<QString> expected = {
        "",  // the tool button "Пуск"
        "TextWin",   "StartBtn",    "qt_tabwidget_tabbar", "SpeedTrackBar", "SpacingTrackBar",
        "TextType0", "TextFileBtn", "CheckBox1",           "PitchTrackBar", "VolTrackBar",
        "CheckBox2", "CheckBox3",   "ScrollBar1",          "StatusText"};
    EXPECT_EQ(names, expected);
}

TEST_F(AccessibilityTest, KeyedTextAndCopyAreaReadInLightAndDarkSchemes) {
    Open();
    EXPECT_EQ(Find("Memo1")->palette().color(QPalette::Base), QColor(0xE8, 0xE8, 0xE8));
    EXPECT_EQ(Find("Memo1")->palette().color(QPalette::Text), QColor(0x00, 0x00, 0x80));
    QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    QApplication::setPalette(dark);
    for (const char* area : {"TextWin", "Memo1"}) {
        EXPECT_GE(Contrast(Find(area)), 7.0) << area;
    }
}

TEST_F(AccessibilityTest, AboutAndMessageBoxesComeUpWithoutAWait) {
    TMorseMain& window = Open(true);
    TForm1 about(&window);
    window.SetAboutWindow(&about);
    window.findChild<QAction*>("N12")->trigger();
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(about.Button1, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());

    QtMessagePresenter boxes(&window);
    boxes.ShowMessage("Ничего не ввели!");
    auto* box = window.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("Ничего не ввели!"));
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
}

}  // namespace
}  // namespace vantrel
