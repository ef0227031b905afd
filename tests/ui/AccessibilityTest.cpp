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
#include <tuple>

#include "about/help.h"
#include "tests/ui/QtTestEnvironment.h"

namespace vantrel {
namespace {

class AccessibilityTest : public test::WindowFixture {
  protected:
    void TearDown() override {
        Close();
        QApplication::setPalette(QPalette());
    }
    QAccessibleInterface* Accessible(const char* name) {
        return QAccessible::queryAccessibleInterface(Find<QObject>(name));
    }
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
    TMorseMain& window = OpenActive();
    TForm1 about(&window);
    window.SetAboutWindow(&about);
    window.findChild<QAction*>("N12")->trigger();
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(about.Button1, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace vantrel
