// After checks with known errors: the check tab's comparison, the statistics window's tables,
// its export and its reset, offscreen.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include "support/Cp1251.h"
#include "tests/support/TempFolder.h"
#include "tests/window/QtTestEnvironment.h"
#include "window/CheckComparisonView.h"
#include "window/LearnerProgress.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// The column headers, then each row's header and cells; cells apart by '|', rows by '/'.
QString Rows(QTableWidget* table) {
    QStringList rows, cells;
    for (int column = 0; column < table->columnCount(); ++column) {
        cells << table->horizontalHeaderItem(column)->text();
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        rows << cells.join('|');
        cells = {table->verticalHeaderItem(row) ? table->verticalHeaderItem(row)->text() : ""};
        for (int column = 0; column < table->columnCount(); ++column) {
            cells << (table->item(row, column) ? table->item(row, column)->text() : "");
        }
    }
    return (rows << cells.join('|')).join('/');
}

class StatisticsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        progress_ = std::make_unique<LearnerProgress>(
            messages_, &window_, [this]() -> progress::HistoryStore& { return store_; });
        progress_->SetSaveFileChooser(
            [this](QWidget*) { return std::optional<fs::path>(folder_.Path() / "out.csv"); });
    }
    // A check as the session records it, copied at `snrDb` under the band conditions.
    void Check(const char* sentUtf8, const char* copyUtf8, std::optional<int> snrDb = {}) {
        const progress::CheckComparison comparison =
            progress::CompareCopy(cp1251::FromUtf8(sentUtf8), cp1251::FromUtf8(copyUtf8));
        std::optional<progress::CheckConditions> conditions;
        if (snrDb) {
            conditions = progress::CheckConditions{5, *snrDb, 2, 0, 1, 500};
        }
        store_.Append(
            progress::CheckEntry(1'796'000'000, {1, 12, 0, 800}, comparison, 2, 3, conditions));
        progress_->ShowCheck(comparison, store_.TakeNotices());
    }
    StatisticsWindow& OpenStatistics() {
        progress_->StatisticsAction()->trigger();
        return *progress_->Statistics();
    }
    QString Totals(StatisticsWindow& statistics) {
        return Find<QLabel>(statistics, "Totals")->text();
    }
    template <typename T>
    T* Find(QWidget& parent, const char* name) {
        T* child = parent.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    testing::TempFolder folder_;
    test::RecordingPresenter messages_;
    QWidget window_;
    progress::HistoryStore store_{folder_.Path() / "history.sqlite",
                                  [] { return int64_t{1'796'000'000}; }};
    std::unique_ptr<LearnerProgress> progress_;
};

TEST_F(StatisticsWindowTest, TheCheckTabMarksEachErrorAndSaysItInWords) {
    Check("ЖЖЖ = 55555 ЖЁЛТЫ 123 ", "44455 жолтыы 23");
    CheckComparisonView& view = *progress_->ComparisonView();
    EXPECT_FALSE(view.isHidden());
    EXPECT_EQ(view.Summary()->text(),
              QStringLiteral("Ошибки: 5→4 ×3, Ё→О ×1, пропущено 1 ×1, лишнее Ы ×1"));
    EXPECT_EQ(view.Comparison()->toPlainText(), QStringLiteral("Передано 55555 ЖЁЛТЫ_ 123\n"
                                                               "Принято  44455 ЖОЛТЫЫ _23\n"
                                                               "         ^^^    ^   ^ ^  \n"));
    EXPECT_EQ(
        view.Comparison()->accessibleDescription(),
        QStringLiteral("Передано: 55555 ЖЁЛТЫ 123\nПринято: 44455 ЖОЛТЫЫ 23\nОшибки: знак 1: "
                       "передано 5, принято 4; знак 2: передано 5, принято 4; знак 3: передано "
                       "5, принято 4; знак 8: передано Ё, принято О; после знака 11 лишнее Ы; "
                       "знак 13: передано 1, пропущено"));
}

TEST_F(StatisticsWindowTest, TablesShowTheErrorsOfThePeriodWorstFirst) {
    Check("ЖЖЖ = 33333", "33333");
    Check("ЖЖЖ = 55555 77777 123", "44455 7777Q 23");
    StatisticsWindow& statistics = OpenStatistics();
    EXPECT_TRUE(statistics.isVisible());
    EXPECT_EQ(Totals(statistics), QStringLiteral("Проверок: 2, знаков: 18"));

    // The least accurate first; equal accuracy: the more often sent first.
    EXPECT_EQ(Rows(Find<QTableWidget>(statistics, "CharacterTable")),
              QStringLiteral("Знак|Передано|Верно|Точность, %/|1|1|0|0.0/|5|5|2|40.0/|7|5|4|80.0/"
                             "|3|6|6|100.0/|2|1|1|100.0"));
    auto* matrix = Find<QTableWidget>(statistics, "ConfusionTable");
    // The most errors first; copied characters by code, the missed last.
    EXPECT_EQ(Rows(matrix), QStringLiteral("4|Q|пропущено/5|3||/1|||1/7||1|"));
    // As a screen reader gets it.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(matrix);
    ASSERT_TRUE(table != nullptr && table->tableInterface() != nullptr);
    EXPECT_EQ(table->tableInterface()->cellAt(0, 0)->text(QAccessible::Name),
              QStringLiteral("5 принято как 4: 3 раза"));
    EXPECT_EQ(matrix->item(1, 2)->data(Qt::AccessibleTextRole),
              QStringLiteral("1 пропущено: 1 раз"));

    // The drill's median response per character, the slowest first, and its course by drill.
    store_.AppendDrillAnswers({{10, 10, 'K', 'K', true, 900, 20},
                               {20, 20, 'K', 'K', true, 500, 20},
                               {21, 20, 'M', 'N', false, 300, 20}});
    statistics.Refresh();
    auto* responses = Find<QTableWidget>(statistics, "ResponseTable");
    EXPECT_EQ(Rows(responses), QStringLiteral("Знак|Ответов|Верно|Медиана, мс|По упражнениям, мс/"
                                              "|K|2|2|700|900 → 500/|M|1|0|0|"));
    EXPECT_EQ(responses->item(0, 3)->data(Qt::AccessibleTextRole),
              QStringLiteral("K: медиана 700 мс, верно 2 из 2"));

    // The last check alone.
    Find<QComboBox>(statistics, "Period")->setCurrentIndex(0);
    EXPECT_EQ(Totals(statistics), QStringLiteral("Проверок: 1, знаков: 13"));
    // A new check shows at once in the open window.
    Check("ЖЖЖ = 9", "9");
    EXPECT_EQ(Totals(statistics), QStringLiteral("Проверок: 1, знаков: 1"));
    EXPECT_TRUE(messages_.boxes.empty());
}

// The tables, the totals and the plot take the checks under the band conditions, those without
// or all; the accuracy against the signal-to-noise ratio, those under them.
TEST_F(StatisticsWindowTest, TablesCanBeRestrictedToChecksUnderTheConditionsOrWithout) {
    Check("ЖЖЖ = 12345", "12345");
    Check("ЖЖЖ = 55555 123", "44455 123", 10);
    Check("ЖЖЖ = 66666", "66666", 10);
    Check("ЖЖЖ = 77777", "7777", -5);
    StatisticsWindow& statistics = OpenStatistics();
    auto* characters = Find<QTableWidget>(statistics, "CharacterTable");
    auto* snr = Find<QTableWidget>(statistics, "SnrTable");
    const QString allSnr =
        QStringLiteral("Сигнал/шум, дБ|Проверок|Знаков|Точность, %/|-5|1|5|80.0/|10|2|13|76.9");
    EXPECT_EQ(snr->item(1, 3)->data(Qt::AccessibleTextRole),
              QStringLiteral("10 дБ: 76.9 %, верно 10 из 13"));
    for (const auto& [filter, totals, worst, snrRows] :
         {std::tuple{0, "Проверок: 4, знаков: 23", "5", allSnr},
          {1, "Проверок: 3, знаков: 18", "5", allSnr},
          {2, "Проверок: 1, знаков: 5", "1",
           QStringLiteral("Сигнал/шум, дБ|Проверок|Знаков|"
                          "Точность, %")}}) {
        Find<QComboBox>(statistics, "ConditionsFilter")->setCurrentIndex(filter);
        EXPECT_EQ(Totals(statistics), QString::fromUtf8(totals)) << filter;
        EXPECT_EQ(characters->item(0, 0)->text(), QString::fromUtf8(worst)) << filter;
        EXPECT_EQ(Rows(snr), snrRows) << filter;
    }
}

TEST_F(StatisticsWindowTest, ExportWritesTheCsvAndResetKeepsTheOldHistoryAside) {
    Check("ЖЖЖ = 55555", "44455");
    store_.AppendSprintRun({0, 1'796'000'000, 20, {{"UA3ABC", "UA3ABC", 20, false}}});
    StatisticsWindow& statistics = OpenStatistics();
    QTest::mouseClick(Find<QPushButton>(statistics, "ExportButton"), Qt::LeftButton);
    const std::string csv = testing::ReadWholeFile(folder_.Path() / "out.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 5) << csv;  // with the best sprint
    EXPECT_NE(csv.find(",12,0,800,5,2,3,0,0,40.0,2,3,5→4×3,,,,,,\r\n"), std::string::npos) << csv;

    QTest::mouseClick(Find<QPushButton>(statistics, "ResetButton"), Qt::LeftButton);
    ASSERT_EQ(messages_.questions.size(), 1u);
    EXPECT_EQ(Totals(statistics), QStringLiteral("Проверок: 0, знаков: 0"));
    EXPECT_EQ(Find<QTableWidget>(statistics, "ConfusionTable")->rowCount(), 0);
    ASSERT_EQ(messages_.boxes.size(), 1u);
    // The file kept aside is named; that it is there is the history store's test.
    EXPECT_NE(messages_.boxes[0].find("history-"), std::string::npos) << messages_.boxes[0];
}

}  // namespace
}  // namespace vantrel
