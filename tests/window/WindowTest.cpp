// The trainer window driven as a learner would, on the offscreen platform, with the virtual
// sound device on a hand-advanced clock, settings in memory and message boxes recorded: its run,
// check, settings, noise, what assistive technology gets from it (ScreenReaderTest.sh checks
// what Orca makes of that) and the lesson tab. What the Qt-free units compute is their own
// suites' business; here only the wiring.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <fstream>
#include <functional>
#include <iostream>
#include <tuple>

#include "about/help.h"
#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "support/Cp1251.h"
#include "tests/support/TempFolder.h"
#include "tests/window/QtTestEnvironment.h"
#include "trainer/AudioExport.h"
#include "trainer/InterferenceControls.h"
#include "trainer/SettingsTable.h"
#include "window/Announcer.h"
#include "window/AudioExportCommand.h"
#include "window/CheckComparisonView.h"
#include "window/DrillWindows.h"
#include "window/LearnerProgress.h"
#include "window/MainForm.h"
#include "window/QtNotificationQueue.h"
#include "window/Translations.h"
#include "window/Widgets.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class WindowTest : public ::testing::Test {
  protected:
    void TearDown() override { Close(); }

    TMorseMain& Open() {
        window_ = std::make_unique<TMorseMain>(audio_, settings_, messages_);
        window_->Session().SetTimeOfDayClock([] { return TimeOfDay{14, 35, 7}; });
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
        Find<QPlainTextEdit>("Memo2")->setPlainText(Q(utf8));
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

    QAction* Action(const char* name) { return Find<QAction>(name); }
    QAccessibleInterface* Accessible(const char* name) {
        return QAccessible::queryAccessibleInterface(Find(name));
    }
    QString Status() { return Find<QLabel>("StatusText")->text(); }
    QString KeyedText() { return Find<QPlainTextEdit>("TextWin")->toPlainText(); }
    void Start() {
        QTest::mouseClick(Find<QPushButton>("StartBtn"), Qt::LeftButton);
        audio_.Flush();
        QCoreApplication::processEvents();
    }
    // The status bar; 1 for each of Start button and action, Pause button and action and the
    // check action that is enabled; the captions of the Pause button and action.
    QString State() {
        QString state = Status() + '|';
        for (const char* name :
             {"StartBtn", "StartBtnTool", "PauseBtn", "PauseBtnTool", "ToolButton3"}) {
            state += Find<QObject>(name)->property("enabled").toBool() ? '1' : '0';
        }
        return state + '|' + Find<QPushButton>("PauseBtn")->text() + '|' +
               Action("PauseBtnTool")->text();
    }

    testing::WorkingFolder folder_;
    audio::VirtualWaveSystem audio_{audio::VirtualWaveSystem::Clock::Manual};
    settings::MemorySettings settings_;
    test::RecordingPresenter messages_;
    std::unique_ptr<TMorseMain> window_;
};

// The engine's run as the window shows it: buttons and their tool actions, the status bar,
// the pause caption on both, the text window; each state announced once, the focus left alone.
TEST_F(WindowTest, RunPauseAndResumeDriveButtonsActionsStatusTextAndAnnouncements) {
    OpenActive();
    QStringList announced;
    QObject::connect(window_->findChild<Announcer*>(), &Announcer::Announced,
                     [&announced](const QString& text) { announced << text; });
    UseKeyboardText("paris paris paris");
    auto* pause = Find<QPushButton>("PauseBtn");
    Action("N5")->trigger();  // the menu's pause does nothing before a run and after it
    EXPECT_EQ(State(), Q("Тренажер для изучения азбуки морзе|11000|&Пауза|Пауза"));
    Start();
    EXPECT_EQ(State(), Q("Тест начат|00111|&Пауза|&Пауза"));
    Play(3000);
    QTest::mouseClick(pause, Qt::LeftButton);
    Play(3000);
    EXPECT_EQ(State(), Q("Тестирование остановлено|11111|&Возобновить|&Возобновить"));
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), pause);
    EXPECT_EQ(State(), Q("Возобновлен|00111|&Пауза|&Пауза"));
    ASSERT_TRUE(PlayToTheEnd());
    Action("N5")->trigger();
    EXPECT_EQ(State(), Q("Тест окончен|11001|&Пауза|&Пауза"));
    EXPECT_EQ(KeyedText(), Q("ЖЖЖ = PARIS PARIS PARIS  "));
    EXPECT_EQ(announced.join('|'), Q("Тест начат|Тестирование остановлено|Возобновить|"
                                     "Возобновлен|Пауза|Тест окончен"));
}

// Start is disabled during a run, but the menu's Ctrl+Enter still stops it and starts anew.
// Closing while it plays returns only after the device has closed.
TEST_F(WindowTest, MenuShortcutRestartsARunAndClosingWaitsForTheDevice) {
    TMorseMain& window = OpenActive();
    UseKeyboardText("e");
    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    audio_.Flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(audio_.OpenAttempts(), 1u);
    EXPECT_EQ(State(), Q("Тест начат|00111|&Пауза|&Пауза"));
    window.Notifications().SetIdleHook([this] { audio_.AdvanceMs(20); });
    QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(std::pair(audio_.OpenAttempts(), audio_.OpenStreams()), std::pair(std::size_t{2}, 1));
    EXPECT_TRUE(window.close());
    EXPECT_EQ(audio_.OpenStreams(), 0);
    EXPECT_TRUE(window.Engine().DeviceClosed());
}

// The check shows the session's outcome: its messages in order, the comparison, the copy locked
// until "Показывать текст" is ticked again; "Очистить" empties the copy but leaves it locked.
// Unticked, "Показывать текст" hides the keyed text and locks the copy.
TEST_F(WindowTest, CheckShowsTheOutcomeAndLocksTheCopy) {
    Open().show();
    UseKeyboardText("12345 67890");
    auto* copy = Find<QPlainTextEdit>("Memo1");
    QAction* check = Action("ToolButton3");
    Start();
    ASSERT_TRUE(PlayToTheEnd());
    check->trigger();
    EXPECT_TRUE(copy->isEnabled());

    copy->setPlainText("12345 6790");
    check->trigger();
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_EQ(window_->Progress().ComparisonView()->Summary()->text(), Q("Ошибки: пропущено 8 ×1"));
    Action("ToolButton5")->trigger();
    EXPECT_TRUE(copy->toPlainText().isEmpty());
    EXPECT_FALSE(copy->isEnabled());
    copy->setPlainText("12345 67890  ");
    check->trigger();
    EXPECT_EQ(messages_.boxes,
              (std::vector<std::string>{"message: Ничего не ввели!",
                                        "message: Количество ошибок:1. Оценка: 4. Нормально:)",
                                        "message: Количество ошибок:0. Оценка: 5. Нормально:)"}));
    EXPECT_EQ(window_->Session().History().Entries(progress::Period::All, false).size(), 2u);
    for (bool shown : {false, true}) {
        Find<QCheckBox>("CheckBox1")->click();
        EXPECT_EQ(std::pair(Find("TextWin")->isVisible(), copy->isEnabled()),
                  std::pair(shown, shown));
    }
}

// Values with their hints and the title; stored on closing, brought into range on opening. The
// text types are the lesson tab's test.
TEST_F(WindowTest, SettingsShowTheirHintsAndSurviveReopeningWithinTheirRanges) {
    TMorseMain& window = Open();
    auto sliders = [this] {
        QStringList shown;
        for (const char* name :
             {"SpeedTrackBar", "SpacingTrackBar", "PitchTrackBar", "VolTrackBar"}) {
            shown << QString::number(Find<QSlider>(name)->value()) + ' ' +
                         Find<QSlider>(name)->toolTip();
        }
        return shown.join('|');
    };
    EXPECT_EQ(sliders(), Q("12 12 гр./мин.|0 Нормальные паузы|8 800 Гц|0 8"));
    EXPECT_TRUE(Find<QRadioButton>("TextType0")->isChecked());
    EXPECT_EQ(window.windowTitle(), Q("Vantrel - 12 гр./мин. Нормальные паузы"));
    EXPECT_EQ(window.Engine().TextCursor(), 0);
    EXPECT_TRUE(window.Session().TextFile().empty());

    Find<QSlider>("SpeedTrackBar")->setValue(20);
    EXPECT_EQ(window.windowTitle(), Q("Vantrel  - 20 гр./мин. Нормальные паузы"));
    Find<QSlider>("SpacingTrackBar")->setValue(3);
    Find<QSlider>("PitchTrackBar")->setValue(12);
    Find<QSlider>("VolTrackBar")->setValue(5);
    Close();
    EXPECT_TRUE(settings_.Get(kSettingsKey, kWindowPosSetting).has_value());
    EXPECT_EQ(Stored("Speed"), 20);
    Open();
    EXPECT_EQ(sliders(), Q("20 20 гр./мин.|3 Увеличенные паузы|12 1200 Гц|5 3"));

    // Below the first entry nothing is selected, and Start builds no text.
    Close();
    Put("Test", static_cast<uint32_t>(-1));
    Open();
    EXPECT_EQ(Find<QRadioButton>("TextType0")->group()->checkedId(), -1);
    Start();
    EXPECT_EQ(audio_.OpenAttempts(), 0u);
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
    Start();
    EXPECT_EQ(Status(), Q("Не выбран файл!"));
    Action("N6")->trigger();
    EXPECT_EQ(window.Session().TextFile(), folder_.Path() / "lesson.txt");
    answer.reset();
    Find<QPushButton>("TextFileBtn")->click();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(window.Session().TextFile(), folder_.Path() / "lesson.txt");

    // The file is read at Start; its line breaks show as the text widget's.
    std::ofstream("lesson.txt") << "cq test\n";
    Start();
    ASSERT_TRUE(PlayToTheEnd());
    EXPECT_EQ(KeyedText(), Q("ЖЖЖ = CQ TEST\n "));
}

// The noise group reaches the right sources; what the sources play is the controls' test.
TEST_F(WindowTest, NoiseBoxesAndBarDriveTheirOwnSourcesBesideAKeyedRun) {
    InterferenceControls& controls = Open().Session().Interference();
    Start();
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

using AccessibilityTest = WindowTest;

// Every control of the settings tab is reached by Tab from Start; the sliders are named by
// their captions (the buttons by theirs) and valued by what they set.
TEST_F(AccessibilityTest, ControlsAreReachableAndSlidersNamedAndValuedByWhatTheySet) {
    OpenActive();
    Find("StartBtn")->setFocus();
    QStringList reached;
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    for (const char* name :
         {"TextWin", "TextType0", "SpeedTrackBar", "SpacingTrackBar", "TextFileBtn", "CheckBox1",
          "PitchTrackBar", "VolTrackBar", "CheckBox2", "CheckBox3", "ScrollBar1"}) {
        EXPECT_TRUE(reached.contains(QLatin1String(name))) << name;
    }
    // The spacing's meaning, read as the slider is reached.
    EXPECT_EQ(Accessible("SpacingTrackBar")->text(QAccessible::Description), Q("Нормальные паузы"));
    // Name, value and value text of each.
    for (const auto& [name, caption, value, text] :
         {std::tuple{"SpeedTrackBar", "Скорость, гр./мин.", 12, "12 гр./мин."},
          {"SpacingTrackBar", "Паузы", 0, "Нормальные паузы"},
          {"PitchTrackBar", "Тон, Гц", 800, "800 Гц"},
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

// The tab "Эфир" beside "Урок": its controls reached by Tab in order and named for screen
// readers, the sliders valued in their units; a profile sets the controls in one step, a moved
// control makes the profile the custom one; the session keeps and stores what the tab shows.
TEST_F(AccessibilityTest, BandTabIsNamedReachableAndSetsTheSessionsConditions) {
    OpenActive();
    auto* tabs = Find<QTabWidget>("PageControl1");
    const int index = tabs->indexOf(Find("BandSheet"));
    EXPECT_EQ(std::pair(index, tabs->tabText(index)),
              std::pair(tabs->indexOf(Find("LessonSheet")) + 1, Q("Эфир")));
    tabs->setCurrentIndex(index);
    Find("BandBox")->setFocus();
    QStringList reached;
    for (int i = 0; i < 9; ++i) {
        QWidget* focus = QApplication::focusWidget();
        reached << focus->accessibleName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(reached.join('|'), Q("Условия эфира|Профиль|Сигнал/шум|Замирания|Глубина "
                                   "замираний|Треск|Мешающие станции|Полоса приёмника|АРУ"));
    for (const auto& [name, items] :
         {std::pair{"BandProfileBox",
                    "Чистый эфир|Замирания|Летний вечер|Контест|Полярное сияние|Свой"},
          {"BandFadingBox", "Нет|Медленные|Обычные|Флаттер"},
          {"BandFilterBox", "250 Гц|500 Гц|2400 Гц"}}) {
        QStringList shown;
        for (int item = 0; item < Find<QComboBox>(name)->count(); ++item) {
            shown << Find<QComboBox>(name)->itemText(item);
        }
        EXPECT_EQ(shown.join('|'), Q(items));
    }

    auto* profile = Find<QComboBox>("BandProfileBox");
    profile->setCurrentIndex(static_cast<int>(band::Profile::Contest));
    EXPECT_EQ(std::tuple(Find<QSpinBox>("BandStationsSpin")->value(),
                         Find<QComboBox>("BandFadingBox")->currentIndex(),
                         Accessible("BandSnrBar")->text(QAccessible::Value),
                         Accessible("BandDepthBar")->text(QAccessible::Value)),
              std::tuple(5, 2, Q("15 дБ"), Q("40 %")));
    Find<QSlider>("BandSnrBar")->setValue(-3);
    Find<QCheckBox>("BandBox")->click();
    EXPECT_EQ(std::pair(profile->currentText(), profile->accessibleDescription()),
              std::pair(Q("Свой"), Q("Свой")));
    EXPECT_EQ(Accessible("BandSnrBar")->text(QAccessible::Value), Q("-3 дБ"));
    band::BandSettings expected = band::Preset(band::Profile::Contest);
    expected.enabled = true;
    expected.profile = band::Profile::Custom;
    expected.snrDb = -3;
    EXPECT_EQ(window_->Session().BandConditions(), expected);
    Close();
    EXPECT_EQ(std::pair(Stored("Band"), Stored("BandSnr")), std::pair(1, -3));
    Open();
    EXPECT_EQ(std::pair(Find<QComboBox>("BandProfileBox")->currentText(),
                        Find<QSlider>("BandSnrBar")->value()),
              std::pair(Q("Свой"), -3));
}

TEST_F(AccessibilityTest, KeyedTextAndCopyAreaTakeTheSchemesTextAndGroundWhenItIsDark) {
    Open();
    const QPalette light = Find("Memo1")->palette();
    EXPECT_EQ(std::pair(light.color(QPalette::Base), light.color(QPalette::Text)),
              std::pair(QColor(0xE8, 0xE8, 0xE8), QColor(0x00, 0x00, 0x80)));
    QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    for (const char* area : {"TextWin", "Memo1"}) {
        EXPECT_EQ(Find(area)->palette().color(QPalette::Text), QColor(Qt::white)) << area;
        EXPECT_EQ(Find(area)->palette().color(QPalette::Base), QColor(Qt::black)) << area;
    }
    QApplication::setPalette(QPalette());
}

using LanguageTest = WindowTest;

// Every text seen or heard in `window`: captions, tips, accessible texts, menu and combo entries.
QStringList ShownTexts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* node) {
        texts << node->text(QAccessible::Name) << node->text(QAccessible::Description)
              << node->text(QAccessible::Value);
        for (int i = 0; i < node->childCount(); ++i) {
            visit(node->child(i));
        }
    };
    visit(QAccessible::queryAccessibleInterface(window));
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        texts << widget->toolTip() << widget->property("text").toString()
              << widget->property("title").toString() << widget->property("suffix").toString();
    }
    for (QAction* action : window->findChildren<QAction*>()) {
        texts << action->text();
    }
    for (QComboBox* box : window->findChildren<QComboBox*>()) {
        for (int i = 0; i < box->count(); ++i) {
            texts << box->itemText(i);
        }
    }
    return texts;
}

// In English every window, open before or after the switch, speaks English: Cyrillic is left in
// the practice text with its preamble and in the language menu, which names itself and Russian
// in both. Back in Russian all is as before; the menu's choice is stored, --language's is not.
TEST_F(LanguageTest, EveryWindowRelabelsAtOnceAndOnlyTheMenusChoiceIsStored) {
    TMorseMain& window = OpenActive();
    auto* about = new TForm1(&window);  // the window deletes it
    UseKeyboardText("12345 67890");
    Start();
    ASSERT_TRUE(PlayToTheEnd());
    window_->Progress().ShowStatistics();
    window.Drills().ShowCharacterDrill();
    window.Drills().ShowSprint();
    QElapsedTimer switching;
    switching.start();
    Action("EnglishItem")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    std::cout << "[ figure ] language switch with every window open: "
              << switching.nsecsElapsed() / 1000 << " us\n";
    Find<QPlainTextEdit>("Memo1")->setPlainText("12345 6790");
    Action("ToolButton3")->trigger();
    window.SetAboutWindow(about);  // modal, without a local event loop: returns at once
    Action("N12")->trigger();
    EXPECT_TRUE(about->isVisible());
    const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    for (QWidget* shown : {static_cast<QWidget*>(&window), static_cast<QWidget*>(about),
                           static_cast<QWidget*>(window_->Progress().Statistics()),
                           static_cast<QWidget*>(window.Drills().CharacterDrill()),
                           static_cast<QWidget*>(window.Drills().Sprint())}) {
        for (const QString& text : ShownTexts(shown)) {
            const bool exempt = text.contains(Q("ЖЖЖ = 12345 67890")) || text == Q("Русский") ||
                                AccessibleCaption(text) == Q("Язык / Language");
            EXPECT_TRUE(exempt || !text.contains(cyrillic)) << text.toStdString();
        }
    }
    EXPECT_EQ(State(), Q("Test finished|11001|&Pause|&Pause"));
    EXPECT_EQ(window.windowTitle(), Q("Vantrel - 12 groups/min Normal spacing"));
    EXPECT_EQ(messages_.boxes.back(), "message: Errors: 1. Grade: 4. Well done :)");
    EXPECT_EQ(window_->Progress().ComparisonView()->Summary()->text(), Q("Errors: missed 8 ×1"));

    Action("RussianItem")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(State(), Q("Тест окончен|11001|&Пауза|&Пауза"));
    EXPECT_EQ(std::tuple(about->windowTitle(), window_->Progress().Statistics()->windowTitle(),
                         Find<QComboBox>("AlphabetBox")->currentText()),
              std::tuple(Q("О программе..."), Q("Статистика"), Q("Латинский")));
    EXPECT_EQ(window_->Progress().ComparisonView()->Summary()->text(), Q("Ошибки: пропущено 8 ×1"));

    Action("EnglishItem")->trigger();
    Close();
    EXPECT_EQ(Stored("Language"), 1);
    EXPECT_EQ(Open().InterfaceLanguage(), Language::English);
    EXPECT_EQ(Find<QPushButton>("StartBtn")->text(), Q("&Start"));
    window_->UseLanguageForThisRun(Language::Russian);
    EXPECT_EQ(Find<QPushButton>("StartBtn")->text(), Q("&Пуск"));
    Close();
    EXPECT_EQ(Stored("Language"), 1);
    translations::Use(Language::Russian);
}

using LessonWindowTest = WindowTest;

TEST_F(LessonWindowTest, StartDelayKeysExactlyThatMuchSilenceBeforeTheFirstElement) {
    Put("StartDelay", 3);
    Put("Test", 3);  // the empty memo
    Open().StartBtnClick();
    // 3 s of silence, then the first "Ж" at 12 groups per minute: 9600 samples.
    Keyer keyer;
    keyer.SetSpeed(12);
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(0);
    std::vector<int16_t> expected(24000 + 9600);
    keyer.RenderCharacter(expected.data() + 24000, 9600, 0xC6);
    for (int step = 0; step < 100 && (audio_.StreamCount() == 0 ||
                                      audio_.PlayedSamples(0).size() < expected.size());
         ++step) {
        Play(100);
    }
    std::vector<int16_t> played = audio_.PlayedSamples(0);
    played.resize(expected.size());
    EXPECT_EQ(played, expected);
}

TEST_F(LessonWindowTest, AGoodCopyOfALessonTextOffersTheNextLesson) {
    Put("Test", 5);
    Put("Speed", 30);
    Open().StartBtnClick();
    ASSERT_TRUE(PlayToTheEnd());
    const std::string keyed = window_->Engine().KeyedText();
    ASSERT_EQ(keyed.size(), 907u);
    Find<QPlainTextEdit>("Memo1")->setPlainText(QString::fromStdString(keyed.substr(6, 820)));
    Find<QAction>("ToolButton3")->trigger();
    ASSERT_EQ(messages_.boxes.size(), 2u);
    EXPECT_NE(messages_.boxes[1].find("к уроку 2"), std::string::npos) << messages_.boxes[1];
    Find<QPushButton>("NextLessonBtn")->click();
    EXPECT_EQ(Find<QLabel>("LessonChars")->text(), QStringLiteral("K M U"));
}

TEST_F(LessonWindowTest, StoredTextTypesKeepTheirMeaningAndTheLessonPersists) {
    const char* captions[] = {"Цифры",      "Буквы", "Текст из файла", "Набор с клавиатуры",
                              "Радиообмен", "Урок",  "Слабые знаки",   "Латинские буквы"};
    // Each stored type selects its button; the one chosen then is stored.
    for (int type = 0; type <= 7; ++type) {
        Put("Test", type);
        Open();
        auto* button = Find<QRadioButton>(QStringLiteral("TextType%1").arg(type));
        EXPECT_TRUE(button->isChecked());
        EXPECT_EQ(button->text(), QString::fromUtf8(captions[type]));
        Find<QRadioButton>(QStringLiteral("TextType%1").arg((type + 1) % 8))->setChecked(true);
        Close();
        EXPECT_EQ(Stored("Test"), (type + 1) % 8);
    }

    // The lesson tab shows the session's lesson, brought into the alphabet's range.
    Put("KochAlphabet", 0);
    Put("Lesson", 45);
    Open();
    EXPECT_EQ(Find<QSpinBox>("LessonSpin")->value(), 40);
    EXPECT_TRUE(Find<QLabel>("LessonChars")->text().endsWith(QStringLiteral("6 0 X")));
    Find<QComboBox>("AlphabetBox")->setCurrentIndex(1);
    Find<QSpinBox>("LessonSpin")->setValue(45);
    Find<QSpinBox>("StartDelaySpin")->setValue(2);
    EXPECT_EQ(window_->Session().Settings().lesson, 45);
    EXPECT_EQ(window_->Session().Settings().startDelay, 2);

    // The menu command exports the next text of the chosen type, and the text beside it.
    const auto wav = folder_.Path() / "lesson.wav";
    window_->AudioExporter().SetSaveChooser([&](QWidget*) { return std::optional(wav); });
    Find<QAction>("ExportAudio")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_->AudioExporter().Running(); }, 20000));
    EXPECT_EQ(std::filesystem::file_size(ExportTextPath(wav)), 907u);
    EXPECT_GT(std::filesystem::file_size(wav), 907u * 2 * 800);
}

// The drills' windows come from the menu, hand the learner's keys to the session and speak each
// result; the sprint marks the errors of each call; a hidden window stops its drill.
TEST_F(LessonWindowTest, DrillWindowsTakeTheKeysAndSpeakEachResult) {
    Put("DrillSet", 3);  // the digits
    Open();
    Action("CharacterDrillItem")->trigger();
    CharacterDrillWindow& drill = *window_->Drills().CharacterDrill();
    drill.StartStopClick();
    EXPECT_EQ(drill.Announcements().Text(),
              QStringLiteral("Упражнение начато. Печатайте каждый услышанный знак"));
    for (int step = 0; step < 200 && !window_->Session().CharacterDrill().AwaitsAnswer(); ++step) {
        Play(20);
    }
    const char asked = static_cast<char>(window_->Session().CharacterDrill().Asked());
    QTest::keyClick(drill.findChild<AnswerField*>("DrillAnswer"), asked);
    EXPECT_TRUE(drill.Result()->text().startsWith(QStringLiteral("Верно, %1: ").arg(asked)))
        << drill.Result()->text().toStdString();
    EXPECT_EQ(drill.Announcements().Text(), drill.Result()->text());
    EXPECT_EQ(Find<QLabel>("KnownChars")->text(), QStringLiteral("пока ни один"));

    Action("SprintItem")->trigger();
    SprintWindow& sprint = *window_->Drills().Sprint();
    sprint.StartStopClick();
    EXPECT_FALSE(window_->Session().CharacterDrill().Running());
    EXPECT_EQ(sprint.State()->text(), QStringLiteral("Позывной 1 из 50, скорость 20 гр./мин."));
    sprint.RepeatCall();
    sprint.RepeatCall();
    EXPECT_EQ(sprint.Announcements().Text(), QStringLiteral("Повтор этого позывного уже был"));
    const QString call =
        QString::fromStdString(cp1251::ToUtf8(window_->Session().Sprint().Sprint()->Call()));
    sprint.Copy()->setText(call.left(call.size() - 1) + 'q');  // calls hold Cyrillic letters
    QTest::keyClick(sprint.Copy(), Qt::Key_Return);
    EXPECT_EQ(sprint.Calls()->item(0, 1)->text(), call.left(call.size() - 1) + "[Q]");
    EXPECT_EQ(sprint.Announcements().Text(), QStringLiteral("Неверно: ") + call);
    EXPECT_EQ(sprint.State()->text(), QStringLiteral("Позывной 2 из 50, скорость 18 гр./мин."));
    EXPECT_TRUE(sprint.isVisible() && window_->Session().Sprint().Running());
    sprint.hide();
    EXPECT_FALSE(window_->Session().Sprint().Running());
}

}  // namespace
}  // namespace vantrel
