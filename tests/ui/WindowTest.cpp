// The trainer window driven as a learner would, on the offscreen platform, with the virtual
// sound device on a hand-advanced clock, settings in memory and message boxes recorded.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "support/Cp1251.h"
#include "support/Settings.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/QtTestEnvironment.h"
#include "trainer/InterferenceControls.h"
#include "trainer/MainForm.h"
#include "trainer/MessagePresenter.h"
#include "trainer/QtNotificationQueue.h"

// Failure messages show texts, not UTF-16 code units.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace vantrel {
namespace {

namespace fs = std::filesystem;

const auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::QtEnvironment("window_tests"));

struct Box {
    enum Kind { Message, Warning, Error } kind;
    std::string text;
};

class RecordingPresenter : public MessagePresenter {
  public:
    void ShowMessage(const std::string& text) override { boxes.push_back({Box::Message, text}); }
    void ShowWarning(const std::string& text) override { boxes.push_back({Box::Warning, text}); }
    void ShowError(const std::string& text) override { boxes.push_back({Box::Error, text}); }
    std::vector<Box> boxes;
};

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class WindowTest : public ::testing::Test {
  protected:
    void TearDown() override { Close(); }

    void PutSetting(std::string_view name, uint32_t value) {
        settings_.Put(kSettingsKey, name, settings::Value::Dword(value));
    }
    int StoredSetting(std::string_view name) {
        return ReadIntSetting(settings_, kSettingsKey, name, -100);
    }

    TMorseMain& Open() {
        window_ = std::make_unique<TMorseMain>(audio_, settings_, messages_);
        window_->SetTimeOfDayClock([] { return TimeOfDay{14, 35, 7}; });
        return *window_;
    }
    // Destroys the window; a device still open plays on until it has closed.
    void Close() {
        if (window_) {
            window_->Notifications().SetIdleHook([this] { audio_.AdvanceMs(20); });
            window_.reset();
        }
    }
    void Reopen() {
        Close();
        Open();
    }

    template <typename T>
    T* Find(const char* name) {
        T* child = window_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    QString Status() { return Find<QLabel>("StatusText")->text(); }
    QString KeyedText() { return Find<QPlainTextEdit>("TextWin")->toPlainText(); }

    // Lets the virtual device play `ms` milliseconds and runs what it reported.
    void Play(uint64_t ms) {
        audio_.AdvanceMs(ms);
        // What the handlers do (a reset, a close) is reported in turn.
        for (int round = 0; round < 3; ++round) {
            audio_.Flush();
            QCoreApplication::processEvents();
        }
    }
    void StartAndDeliverOpen() {
        QTest::mouseClick(Find<QPushButton>("StartBtn"), Qt::LeftButton);
        audio_.Flush();
        QCoreApplication::processEvents();
    }
    // Plays until the run has ended; false when it does not end.
    bool PlayToTheEnd() {
        for (int step = 0; step < 100000 && window_->Engine().Playing(); ++step) {
            Play(50);
        }
        for (int step = 0; step < 100 && !window_->Engine().DeviceClosed(); ++step) {
            Play(50);
        }
        return window_->Engine().DeviceClosed();
    }
    void UseKeyboardText(const char* utf8) {
        Find<QRadioButton>("TextType3")->setChecked(true);
        Find<QPlainTextEdit>("Memo2")->setPlainText(Q(utf8));
    }
    void WriteCopy(const QString& copy) { Find<QPlainTextEdit>("Memo1")->setPlainText(copy); }

    audio::VirtualWaveSystem audio_{audio::VirtualWaveSystem::Clock::Manual};
    settings::MemorySettings settings_;
    RecordingPresenter messages_;
    std::unique_ptr<TMorseMain> window_;
    testing::WorkingFolder folder_;
};

// The engine's run as the window shows it: buttons and their tool actions, the status bar,
// the pause caption on both, the text window.
TEST_F(WindowTest, RunPauseAndResumeDriveButtonsActionsStatusAndText) {
    Open();
    UseKeyboardText("paris paris paris");
    auto* start = Find<QPushButton>("StartBtn");
    auto* pause = Find<QPushButton>("PauseBtn");
    EXPECT_EQ(Status(), Q("Тренажер для изучения азбуки морзе"));
    EXPECT_FALSE(pause->isEnabled());
    EXPECT_FALSE(Action("PauseBtnTool")->isEnabled());
    EXPECT_FALSE(Action("ToolButton3")->isEnabled());

    StartAndDeliverOpen();
    EXPECT_EQ(Status(), Q("Тест начат"));
    EXPECT_FALSE(start->isEnabled());
    EXPECT_FALSE(Action("StartBtnTool")->isEnabled());
    EXPECT_TRUE(Action("PauseBtnTool")->isEnabled());
    EXPECT_TRUE(Action("ToolButton3")->isEnabled());
    Play(3000);
    QTest::mouseClick(pause, Qt::LeftButton);
    Play(3000);
    EXPECT_EQ(Status(), Q("Тестирование остановлено"));
    EXPECT_EQ(pause->text(), Q("&Возобновить"));
    EXPECT_EQ(Action("PauseBtnTool")->text(), Q("&Возобновить"));
    EXPECT_TRUE(Action("StartBtnTool")->isEnabled());

    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(Status(), Q("Возобновлен"));
    EXPECT_EQ(Action("PauseBtnTool")->text(), Q("&Пауза"));
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(Status(), Q("Тест окончен"));
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(Action("PauseBtnTool")->isEnabled());
    EXPECT_TRUE(Action("ToolButton3")->isEnabled());
    EXPECT_EQ(KeyedText(), Q("ЖЖЖ = PARIS PARIS PARIS  "));
}

TEST_F(WindowTest, MenuShortcutsWorkWhenTheButtonsAreDisabled) {
    TMorseMain& window = Open();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    UseKeyboardText("e");

    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(audio_.OpenAttempts(), 0u);
    EXPECT_EQ(Status(), Q("Тренажер для изучения азбуки морзе"));

    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    audio_.Flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(audio_.OpenAttempts(), 1u);
    EXPECT_EQ(Status(), Q("Тест начат"));
    // Start is disabled now, but the menu's Ctrl+Enter still stops the run and starts anew.
    window.Notifications().SetIdleHook([this] { audio_.AdvanceMs(20); });
    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    window.Notifications().SetIdleHook(nullptr);
    EXPECT_EQ(audio_.OpenAttempts(), 2u);
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(KeyedText(), Q("ЖЖЖ = E  "));

    // After the end of the text Ctrl+P does nothing.
    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(audio_.OpenAttempts(), 2u);
    EXPECT_EQ(Status(), Q("Тест окончен"));
}

TEST_F(WindowTest, ClosingWhilePlayingReturnsOnlyAfterTheDeviceHasClosed) {
    TMorseMain& window = Open();
    window.show();
    StartAndDeliverOpen();
    Play(500);
    ASSERT_EQ(audio_.OpenStreams(), 1);
    window.Notifications().SetIdleHook([this] { audio_.AdvanceMs(20); });
    EXPECT_TRUE(window.close());
    EXPECT_EQ(audio_.OpenStreams(), 0);
    EXPECT_TRUE(window.Engine().DeviceClosed());
}

TEST_F(WindowTest, ShowTextSwitchHidesTheTextAndLocksTheCopy) {
    TMorseMain& window = Open();
    window.show();
    auto* show = Find<QCheckBox>("CheckBox1");
    auto* textWin = Find<QPlainTextEdit>("TextWin");
    auto* copy = Find<QPlainTextEdit>("Memo1");
    EXPECT_TRUE(show->isChecked());
    EXPECT_TRUE(textWin->isVisible());

    show->click();
    EXPECT_FALSE(textWin->isVisible());
    EXPECT_FALSE(copy->isEnabled());
    show->click();
    EXPECT_TRUE(textWin->isVisible());
    EXPECT_TRUE(copy->isEnabled());
}

TEST_F(WindowTest, CopyCheckGradesTheCopyAndLocksIt) {
    Open();
    UseKeyboardText("12345 67890 12345");
    auto* copy = Find<QPlainTextEdit>("Memo1");
    QAction* check = Action("ToolButton3");
    StartAndDeliverOpen();
    ASSERT_TRUE(PlayToTheEnd());

    check->trigger();
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_EQ(messages_.boxes[0].kind, Box::Message);
    EXPECT_EQ(messages_.boxes[0].text, "Ничего не ввели!");
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_FALSE(fs::exists("log.txt"));

    WriteCopy(Q("12345 67890 12345  "));
    check->trigger();
    EXPECT_EQ(messages_.boxes.back().text, "Количество ошибок:0. Оценка: 5. Нормально:)");
    EXPECT_FALSE(copy->isEnabled());

    // "Очистить" empties the copy but leaves it locked.
    Action("ToolButton5")->trigger();
    EXPECT_TRUE(copy->toPlainText().isEmpty());
    EXPECT_FALSE(copy->isEnabled());

    WriteCopy(Q("12345 67800 12345  "));
    check->trigger();
    EXPECT_EQ(messages_.boxes.back().text, "Количество ошибок:1. Оценка: 4. Нормально:)");
    for (const Box& box : messages_.boxes) {
        EXPECT_NE(box.kind, Box::Error) << box.text;
    }
}

TEST_F(WindowTest, EachCheckAppendsARecordToTheLogInTheWorkingFolder) {
    Open();
    UseKeyboardText("abc");
    StartAndDeliverOpen();
    ASSERT_TRUE(PlayToTheEnd());
    Find<QSlider>("SpeedTrackBar")->setValue(20);
    WriteCopy(Q("abd  "));
    Action("ToolButton3")->trigger();
    const std::string hyphens(40, '-');
    EXPECT_EQ(cp1251::ToUtf8(testing::ReadWholeFile("log.txt")),
              hyphens + "\r\n14:35:07\r\nСкорость приема: 20\r\nКоличество ошибок:1 Оценка: 4\r\n" +
                  hyphens + "\r\n");
}

TEST_F(WindowTest, FirstRunShowsTheDefaultsAndTheirHints) {
    TMorseMain& window = Open();
    EXPECT_EQ(Find<QSlider>("SpeedTrackBar")->value(), 12);
    EXPECT_EQ(Find<QSlider>("SpacingTrackBar")->value(), 0);
    EXPECT_TRUE(Find<QRadioButton>("TextType0")->isChecked());
    EXPECT_EQ(Find<QSlider>("PitchTrackBar")->value(), 8);
    EXPECT_EQ(Find<QSlider>("VolTrackBar")->value(), 0);
    EXPECT_EQ(Find<QSlider>("SpeedTrackBar")->toolTip(), Q("12 гр./мин."));
    EXPECT_EQ(Find<QSlider>("SpacingTrackBar")->toolTip(), Q("Нормальные паузы"));
    EXPECT_EQ(Find<QSlider>("PitchTrackBar")->toolTip(), Q("800 Гц"));
    EXPECT_EQ(Find<QSlider>("VolTrackBar")->toolTip(), Q("8"));
    EXPECT_EQ(window.windowTitle(), Q("Vantrel - 12 гр./мин. Нормальные паузы"));

    Find<QSlider>("SpeedTrackBar")->setValue(25);
    EXPECT_EQ(window.windowTitle(), Q("Vantrel  - 25 гр./мин. Нормальные паузы"));
    EXPECT_EQ(window.Engine().TextCursor(), 0);
    EXPECT_TRUE(window.TextFileName().empty());
}

TEST_F(WindowTest, SettingsSurviveClosingAndReopening) {
    Open();
    Find<QSlider>("SpeedTrackBar")->setValue(20);
    Find<QSlider>("SpacingTrackBar")->setValue(3);
    Find<QRadioButton>("TextType4")->setChecked(true);
    Find<QSlider>("PitchTrackBar")->setValue(12);
    Find<QSlider>("VolTrackBar")->setValue(5);
    Reopen();
    EXPECT_EQ(StoredSetting(kSpeedSetting), 20);
    EXPECT_EQ(StoredSetting(kTestSetting), 4);
    EXPECT_EQ(Find<QSlider>("SpeedTrackBar")->value(), 20);
    EXPECT_EQ(Find<QSlider>("SpacingTrackBar")->value(), 3);
    EXPECT_TRUE(Find<QRadioButton>("TextType4")->isChecked());
    EXPECT_EQ(Find<QSlider>("PitchTrackBar")->value(), 12);
    EXPECT_EQ(Find<QSlider>("PitchTrackBar")->toolTip(), Q("1200 Гц"));
    EXPECT_EQ(Find<QSlider>("VolTrackBar")->value(), 5);
    EXPECT_EQ(Find<QSlider>("VolTrackBar")->toolTip(), Q("3"));
    Close();
    EXPECT_TRUE(settings_.Get(kSettingsKey, kWindowPosSetting).has_value());
}

TEST_F(WindowTest, StoredValuesOutOfRangeAreBroughtToTheNearestEnd) {
    PutSetting(kSpeedSetting, 50);
    PutSetting(kTestSetting, 9);
    Open();
    EXPECT_EQ(Find<QSlider>("SpeedTrackBar")->value(), 30);
    EXPECT_TRUE(Find<QRadioButton>("TextType6")->isChecked());

    // Below the first entry nothing is selected, and Start then builds no text.
    Close();
    PutSetting(kTestSetting, static_cast<uint32_t>(-1));
    Open();
    EXPECT_EQ(StoredSetting(kTestSetting), -1);
    for (int i = 0; i <= 4; ++i) {
        EXPECT_FALSE(Find<QRadioButton>(("TextType" + std::to_string(i)).c_str())->isChecked());
    }
    StartAndDeliverOpen();
    EXPECT_EQ(audio_.OpenAttempts(), 0u);
    Close();
    EXPECT_EQ(StoredSetting(kTestSetting), -1);
}

TEST_F(WindowTest, TextFileIsChosenOnlyForTheFileTextType) {
    TMorseMain& window = Open();
    int asked = 0;
    std::optional<fs::path> answer = folder_.Path() / "lesson.txt";
    window.SetFileChooser([&](QWidget*) {
        ++asked;
        return answer;
    });
    Find<QPushButton>("TextFileBtn")->click();
    Action("N6")->trigger();
    EXPECT_EQ(asked, 0);

    Find<QRadioButton>("TextType2")->setChecked(true);
    StartAndDeliverOpen();
    EXPECT_EQ(Status(), Q("Не выбран файл!"));
    Action("N6")->trigger();
    EXPECT_EQ(window.TextFileName(), folder_.Path() / "lesson.txt");
    answer.reset();
    Find<QPushButton>("TextFileBtn")->click();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(window.TextFileName(), folder_.Path() / "lesson.txt");

    // The file is read at Start: a missing one is reported and nothing plays.
    StartAndDeliverOpen();
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_EQ(messages_.boxes[0].kind, Box::Error);
    EXPECT_NE(messages_.boxes[0].text.find("lesson.txt"), std::string::npos);
    EXPECT_EQ(audio_.OpenAttempts(), 0u);

    std::ofstream("lesson.txt") << "cq test\n";
    StartAndDeliverOpen();
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(KeyedText(), Q("ЖЖЖ = CQ TEST\n "));
    EXPECT_EQ(window.Engine().KeyedText(), cp1251::FromUtf8("ЖЖЖ = CQ TEST\r\n "));
}

// The noise group reaches the right sources; what the sources play is the controls' test.
TEST_F(WindowTest, NoiseBoxesAndBarDriveTheirOwnSourcesBesideAKeyedRun) {
    InterferenceControls& controls = Open().Interference();
    StartAndDeliverOpen();
    Find<QCheckBox>("CheckBox2")->click();
    controls.Settle();
    EXPECT_TRUE(controls.ALGaussGen1().Running());
    EXPECT_FALSE(controls.ALSignalGen1().Running());
    Find<QCheckBox>("CheckBox3")->click();
    controls.Settle();
    EXPECT_TRUE(controls.ALSignalGen1().Running());
    EXPECT_EQ(audio_.OpenStreams(), 3);
    EXPECT_TRUE(window_->Engine().Playing());

    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 9000);  // the bar's 18000 is not applied at start
    Find<QScrollBar>("ScrollBar1")->setValue(17000);
    controls.Settle();
    EXPECT_EQ(controls.ALGaussGen1().StdDev(), 17000);
    EXPECT_EQ(controls.ALSignalGen1().Amplitude(), 17000);

    Find<QCheckBox>("CheckBox2")->click();
    controls.Settle();
    EXPECT_FALSE(controls.ALGaussGen1().Running());
    EXPECT_TRUE(controls.ALSignalGen1().Running());
}

TEST_F(WindowTest, MainControlsAreNamedAndReachableByKeyboard) {
    TMorseMain& window = Open();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const std::vector<std::pair<const char*, const char*>> named = {
        {"StartBtn", "Пуск"},         {"SpeedTrackBar", "Скорость"},
        {"SpacingTrackBar", "Паузы"}, {"TextType0", "Цифры"},
        {"TextType4", "Радиообмен"},  {"CheckBox1", "Показывать текст"},
        {"PitchTrackBar", "Тон"},     {"VolTrackBar", "Громкость"},
        {"CheckBox2", "Гауссовский"}, {"CheckBox3", "Тональный"},
    };
    for (const auto& [name, caption] : named) {
        QWidget* widget = Find<QWidget>(name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr) << name;
        EXPECT_EQ(accessible->text(QAccessible::Name), Q(caption)) << name;
    }
    QAccessibleInterface* speed =
        QAccessible::queryAccessibleInterface(Find<QWidget>("SpeedTrackBar"));
    EXPECT_EQ(speed->text(QAccessible::Description), Q("12 гр./мин."));

    // Tab from Start walks through every control of the settings tab.
    Find<QPushButton>("StartBtn")->setFocus();
    std::vector<QString> reached;
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget()->objectName());
    }
    auto wasReached = [&](const char* name) {
        return std::find(reached.begin(), reached.end(), QLatin1String(name)) != reached.end();
    };
    for (const char* name :
         {"TextWin", "TextType0", "SpeedTrackBar", "SpacingTrackBar", "TextFileBtn", "CheckBox1",
          "PitchTrackBar", "VolTrackBar", "CheckBox2", "CheckBox3", "ScrollBar1"}) {
        EXPECT_TRUE(wasReached(name)) << name;
    }
}

}  // namespace
}  // namespace vantrel
