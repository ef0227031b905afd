// The lesson settings of the trainer window, the stored text types old and new, the start delay
// on the virtual device and the export command.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "support/Settings.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/QtTestEnvironment.h"
#include "trainer/AudioExport.h"
#include "trainer/AudioExportCommand.h"
#include "trainer/MainForm.h"
#include "trainer/MessagePresenter.h"
#include "trainer/QtNotificationQueue.h"

namespace vantrel {
namespace {

const auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::QtEnvironment("lesson_window_tests"));

struct Boxes : MessagePresenter {
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    void ShowWarning(const std::string& text) override { ADD_FAILURE() << text; }
    void ShowError(const std::string& text) override { ADD_FAILURE() << text; }
    std::vector<std::string> shown;
};

class LessonWindowTest : public ::testing::Test {
  protected:
    template <typename T>
    T* Find(const QString& name) {
        return window->findChild<T*>(name);
    }
    int Stored(std::string_view name) { return ReadIntSetting(settings, kSettingsKey, name, -9); }

    audio::VirtualWaveSystem audio;
    settings::MemorySettings settings;
    Boxes messages;
    std::unique_ptr<TMorseMain> window;
};

TEST_F(LessonWindowTest, StartDelayKeysExactlyThatMuchSilenceBeforeTheFirstElement) {
    settings.Put(kSettingsKey, kStartDelaySetting, settings::Value::Dword(3));
    settings.Put(kSettingsKey, kTestSetting, settings::Value::Dword(3));  // the empty memo
    window = std::make_unique<TMorseMain>(audio, settings, messages);
    window->StartBtnClick();
    // 3 s of silence, then the first "Ж" at 12 groups per minute: 9600 samples.
    Keyer keyer;
    keyer.SetSpeed(12);
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(0);
    std::vector<int16_t> expected(24000 + 9600);
    keyer.RenderCharacter(expected.data() + 24000, 9600, 0xC6);
    for (int step = 0; step < 1000 && (audio.StreamCount() == 0 ||
                                       audio.PlayedSamples(0).size() < expected.size());
         ++step) {
        audio.Advance(800);
        QCoreApplication::processEvents();
    }
    std::vector<int16_t> played = audio.PlayedSamples(0);
    played.resize(expected.size());
    EXPECT_EQ(played, expected);
    window->Notifications().SetIdleHook([this] { audio.AdvanceMs(20); });
}

TEST_F(LessonWindowTest, AGoodCopyOfALessonTextOffersTheNextLesson) {
    settings.Put(kSettingsKey, kTestSetting, settings::Value::Dword(5));
    settings.Put(kSettingsKey, kSpeedSetting, settings::Value::Dword(30));
    window = std::make_unique<TMorseMain>(audio, settings, messages);
    window->StartBtnClick();
    for (int step = 0; step < 2000 && !window->Engine().DeviceClosed(); ++step) {
        audio.Advance(8000);
        QCoreApplication::processEvents();
    }
    const std::string keyed = window->Engine().KeyedText();
    ASSERT_EQ(keyed.size(), 907u);
    Find<QPlainTextEdit>("Memo1")->setPlainText(QString::fromStdString(keyed.substr(6, 820)));
    Find<QAction>("ToolButton3")->trigger();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].find("к уроку 2"), std::string::npos) << messages.shown[1];
    Find<QPushButton>("NextLessonBtn")->click();
    EXPECT_EQ(Find<QLabel>("LessonChars")->text(), QStringLiteral("K M U"));
}

TEST_F(LessonWindowTest, StoredTextTypesKeepTheirMeaningAndTheLessonPersists) {
    const char* captions[] = {"Цифры",      "Буквы", "Текст из файла", "Набор с клавиатуры",
                              "Радиообмен", "Урок",  "Слабые знаки"};
    for (int type = 0; type <= 6; ++type) {
        settings.Put(kSettingsKey, kTestSetting, settings::Value::Dword(type));
        window = std::make_unique<TMorseMain>(audio, settings, messages);
        auto* button = Find<QRadioButton>(QStringLiteral("TextType%1").arg(type));
        EXPECT_TRUE(button->isChecked());
        EXPECT_EQ(button->text(), QString::fromUtf8(captions[type]));
        window.reset();
        EXPECT_EQ(Stored(kTestSetting), type);
    }

    window = std::make_unique<TMorseMain>(audio, settings, messages);
    Find<QComboBox>("AlphabetBox")->setCurrentIndex(1);
    Find<QSpinBox>("LessonSpin")->setValue(45);
    Find<QSpinBox>("StartDelaySpin")->setValue(2);
    window.reset();
    EXPECT_EQ(Stored(kKochAlphabetSetting), 1);
    EXPECT_EQ(Stored(kLessonSetting), 45);
    EXPECT_EQ(Stored(kStartDelaySetting), 2);

    // A lesson beyond the alphabet's last is brought to it.
    settings.Put(kSettingsKey, kKochAlphabetSetting, settings::Value::Dword(0));
    window = std::make_unique<TMorseMain>(audio, settings, messages);
    EXPECT_EQ(Find<QSpinBox>("LessonSpin")->value(), 40);
    EXPECT_TRUE(Find<QLabel>("LessonChars")->text().endsWith(QStringLiteral("6 0 X")));

    // The menu command exports the next text of the chosen type, and the text beside it.
    const testing::TempFolder folder;
    const auto wav = folder.Path() / "lesson.wav";
    window->AudioExporter().SetSaveChooser([&](QWidget*) { return std::optional(wav); });
    Find<QAction>("ExportAudio")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->AudioExporter().Running(); }, 20000));
    EXPECT_EQ(std::filesystem::file_size(ExportTextPath(wav)), 907u);
    EXPECT_GT(std::filesystem::file_size(wav), 907u * 2 * 800);
}

}  // namespace
}  // namespace vantrel
