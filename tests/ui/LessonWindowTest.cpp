// The lesson settings of the trainer window, the stored text types old and new, the start delay
// on the virtual device and the export command.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "tests/ui/QtTestEnvironment.h"
#include "trainer/AudioExport.h"
#include "trainer/AudioExportCommand.h"

namespace vantrel {
namespace {

using LessonWindowTest = test::WindowFixture;

TEST_F(LessonWindowTest, StartDelayKeysExactlyThatMuchSilenceBeforeTheFirstElement) {
    Put(kStartDelaySetting, 3);
    Put(kTestSetting, 3);  // the empty memo
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
    Put(kTestSetting, 5);
    Put(kSpeedSetting, 30);
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
                              "Радиообмен", "Урок",  "Слабые знаки"};
    for (uint32_t type = 0; type <= 6; ++type) {
        Put(kTestSetting, type);
        Open();
        auto* button = Find<QRadioButton>(QStringLiteral("TextType%1").arg(type));
        EXPECT_TRUE(button->isChecked());
        EXPECT_EQ(button->text(), QString::fromUtf8(captions[type]));
        Close();
        EXPECT_EQ(Stored(kTestSetting), static_cast<int>(type));
    }

    Open();
    Find<QComboBox>("AlphabetBox")->setCurrentIndex(1);
    Find<QSpinBox>("LessonSpin")->setValue(45);
    Find<QSpinBox>("StartDelaySpin")->setValue(2);
    Close();
    EXPECT_EQ(Stored(kKochAlphabetSetting), 1);
    EXPECT_EQ(Stored(kLessonSetting), 45);
    EXPECT_EQ(Stored(kStartDelaySetting), 2);

    // A lesson beyond the alphabet's last is brought to it.
    Put(kKochAlphabetSetting, 0);
    Open();
    EXPECT_EQ(Find<QSpinBox>("LessonSpin")->value(), 40);
    EXPECT_TRUE(Find<QLabel>("LessonChars")->text().endsWith(QStringLiteral("6 0 X")));

    // The menu command exports the next text of the chosen type, and the text beside it.
    const auto wav = folder_.Path() / "lesson.wav";
    window_->AudioExporter().SetSaveChooser([&](QWidget*) { return std::optional(wav); });
    Find<QAction>("ExportAudio")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_->AudioExporter().Running(); }, 20000));
    EXPECT_EQ(std::filesystem::file_size(ExportTextPath(wav)), 907u);
    EXPECT_GT(std::filesystem::file_size(wav), 907u * 2 * 800);
}

}  // namespace
}  // namespace vantrel
