// After checks with known errors: the check tab's comparison, the statistics window's tables,
// its export and its reset, offscreen.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <functional>
#include <memory>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/settings/MemorySettings.h"
#include "support/Cp1251.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/QtTestEnvironment.h"
#include "trainer/CheckComparisonView.h"
#include "trainer/LearnerProgress.h"
#include "trainer/MainForm.h"
#include "trainer/MessagePresenter.h"
#include "trainer/QtNotificationQueue.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

const auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::QtEnvironment("statistics_window_tests"));

class AgreeingPresenter : public MessagePresenter {
  public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowWarning(const std::string& text) override { messages.push_back(text); }
    void ShowError(const std::string& text) override { messages.push_back(text); }
    void Confirm(const std::string& question, std::function<void()> onYes) override {
        questions.push_back(question);
        onYes();
    }
    std::vector<std::string> messages;
    std::vector<std::string> questions;
};

QString CellText(QTableWidget* table, int row, int column, int role = Qt::DisplayRole) {
    QTableWidgetItem* item = table->item(row, column);
    return item != nullptr ? item->data(role).toString() : QString();
}

class StatisticsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        progress_ = std::make_unique<LearnerProgress>(messages_, &window_);
        progress_->UseHistoryFile(folder_.Path() / "history.sqlite");
        progress_->SetClock([] { return int64_t{1'796'000'000}; });
        progress_->SetSaveFileChooser(
            [this](QWidget*) { return std::optional<fs::path>(folder_.Path() / "out.csv"); });
    }
    void Check(const char* sentUtf8, const char* copyUtf8) {
        progress_->RecordCheck({1, 12, 0, 800}, cp1251::FromUtf8(sentUtf8),
                               cp1251::FromUtf8(copyUtf8), 2, 3);
    }
    StatisticsWindow& OpenStatistics() {
        progress_->StatisticsAction()->trigger();
        return *progress_->Statistics();
    }
    template <typename T>
    T* Find(QWidget& parent, const char* name) {
        T* child = parent.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    testing::TempFolder folder_;
    AgreeingPresenter messages_;
    QWidget window_;
    std::unique_ptr<LearnerProgress> progress_;
};

TEST_F(StatisticsWindowTest, TheCheckTabMarksEachErrorAndSaysItInWords) {
    Check("ЖЖЖ = 55555 ЖЁЛТЫ 123 ", "44455 жолтыы 23");
    CheckComparisonView& view = *progress_->ComparisonView();
    EXPECT_FALSE(view.isHidden());
    EXPECT_EQ(view.Summary()->text(),
              QStringLiteral("Ошибки: 5→4 ×3, Ё→О ×1, пропущено 1 ×1, лишнее Ы ×1"));
    const QString rows = view.Comparison()->toPlainText();
    EXPECT_TRUE(rows.contains(QStringLiteral("Передано 55555 ЖЁЛТЫ_ 123"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("Принято  44455 ЖОЛТЫЫ _23"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("         ^^^    ^   ^ ^  \n"))) << rows.toStdString();
    const QString spoken = view.Comparison()->accessibleDescription();
    EXPECT_TRUE(
        spoken.startsWith(QStringLiteral("Передано: 55555 ЖЁЛТЫ 123\nПринято: 44455 ЖОЛТЫЫ 23\n")))
        << spoken.toStdString();
    EXPECT_TRUE(spoken.contains(QStringLiteral("знак 1: передано 5, принято 4")));
    EXPECT_TRUE(spoken.contains(QStringLiteral("знак 13: передано 1, пропущено")));
}

TEST_F(StatisticsWindowTest, TablesShowTheErrorsOfThePeriodWorstFirst) {
    Check("ЖЖЖ = 77777", "77777");
    Check("ЖЖЖ = 55555 77777 123", "44455 7777Q 23");
    StatisticsWindow& statistics = OpenStatistics();
    EXPECT_TRUE(statistics.isVisible());
    EXPECT_EQ(Find<QLabel>(statistics, "Totals")->text(),
              QStringLiteral("Проверок: 2, знаков: 18"));

    auto* characters = Find<QTableWidget>(statistics, "CharacterTable");
    ASSERT_EQ(characters->rowCount(), 5);
    EXPECT_EQ(CellText(characters, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(CellText(characters, 1, 0), QStringLiteral("5"));
    EXPECT_EQ(CellText(characters, 1, 3), QStringLiteral("40.0"));
    EXPECT_EQ(CellText(characters, 2, 0), QStringLiteral("7"));
    EXPECT_EQ(CellText(characters, 2, 2), QStringLiteral("9"));

    auto* matrix = Find<QTableWidget>(statistics, "ConfusionTable");
    ASSERT_EQ(matrix->rowCount(), 3);
    ASSERT_EQ(matrix->columnCount(), 3);
    EXPECT_EQ(matrix->verticalHeaderItem(0)->text(), QStringLiteral("5"));
    EXPECT_EQ(matrix->horizontalHeaderItem(0)->text(), QStringLiteral("4"));
    EXPECT_EQ(matrix->horizontalHeaderItem(2)->text(), QStringLiteral("пропущено"));
    EXPECT_EQ(CellText(matrix, 0, 0), QStringLiteral("3"));
    // As a screen reader gets it.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(matrix);
    ASSERT_TRUE(table != nullptr && table->tableInterface() != nullptr);
    EXPECT_EQ(table->tableInterface()->cellAt(0, 0)->text(QAccessible::Name),
              QStringLiteral("5 принято как 4: 3 раза"));
    EXPECT_EQ(CellText(matrix, 1, 2, Qt::AccessibleTextRole), QStringLiteral("1 пропущено: 1 раз"));

    // The last check alone.
    Find<QComboBox>(statistics, "Period")->setCurrentIndex(0);
    EXPECT_EQ(Find<QLabel>(statistics, "Totals")->text(),
              QStringLiteral("Проверок: 1, знаков: 13"));
    // A new check shows at once in the open window.
    Check("ЖЖЖ = 9", "9");
    EXPECT_EQ(Find<QLabel>(statistics, "Totals")->text(), QStringLiteral("Проверок: 1, знаков: 1"));
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(StatisticsWindowTest, ExportWritesTheCsvAndResetKeepsTheOldHistoryAside) {
    Check("ЖЖЖ = 55555", "44455");
    StatisticsWindow& statistics = OpenStatistics();
    QTest::mouseClick(Find<QPushButton>(statistics, "ExportButton"), Qt::LeftButton);
    const std::string csv = testing::ReadWholeFile(folder_.Path() / "out.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2) << csv;
    EXPECT_NE(csv.find(",12,0,800,5,2,3,0,0,40.0,2,3,5→4×3\r\n"), std::string::npos) << csv;

    QTest::mouseClick(Find<QPushButton>(statistics, "ResetButton"), Qt::LeftButton);
    ASSERT_EQ(messages_.questions.size(), 1u);
    EXPECT_EQ(Find<QLabel>(statistics, "Totals")->text(), QStringLiteral("Проверок: 0, знаков: 0"));
    EXPECT_EQ(Find<QTableWidget>(statistics, "ConfusionTable")->rowCount(), 0);
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_NE(messages_.messages[0].find("history-"), std::string::npos) << messages_.messages[0];
    int files = 0;
    for (const auto& item : fs::directory_iterator(folder_.Path())) {
        files += item.path().extension() == ".sqlite" ? 1 : 0;
    }
    EXPECT_EQ(files, 2);
}

// The main window hands each check, after its grade and log record, to the learner's progress.
TEST(MainWindowCheckTest, EachCheckIsComparedAndRecordedBesideTheGrade) {
    testing::TempFolder folder;
    const fs::path previous = fs::current_path();
    fs::current_path(folder.Path());  // for log.txt
    audio::VirtualWaveSystem audio(audio::VirtualWaveSystem::Clock::Manual);
    settings::MemorySettings settings;
    AgreeingPresenter messages;
    auto window = std::make_unique<TMorseMain>(audio, settings, messages);
    window->findChild<QRadioButton*>(QLatin1String("TextType3"))->setChecked(true);
    window->findChild<QPlainTextEdit*>(QLatin1String("Memo2"))->setPlainText("12345 67890");
    window->findChild<QPushButton*>(QLatin1String("StartBtn"))->click();
    for (int step = 0; step < 10000 && !window->Engine().DeviceClosed(); ++step) {
        audio.AdvanceMs(50);
        audio.Flush();
        QCoreApplication::processEvents();
    }
    window->findChild<QPlainTextEdit*>(QLatin1String("Memo1"))->setPlainText("12345 6790");
    window->findChild<QAction*>(QLatin1String("ToolButton3"))->trigger();

    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"Количество ошибок:1. Оценка: 4. Нормально:)"});
    EXPECT_EQ(window->Progress().ComparisonView()->Summary()->text(),
              QStringLiteral("Ошибки: пропущено 8 ×1"));
    const auto entries = window->Progress().Store().Entries(progress::Period::All, false);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].settings.speed, 12);
    EXPECT_EQ(entries[0].charactersRight, 9);
    EXPECT_EQ(entries[0].blocksWrong, 1);
    EXPECT_TRUE(fs::exists("log.txt"));
    window->Notifications().SetIdleHook([&audio] { audio.AdvanceMs(20); });
    window.reset();
    fs::current_path(previous);
}

}  // namespace
}  // namespace vantrel
