// The statistics window (modeless): for the chosen period, and the checks under the band
// conditions, without them or all, the accuracy of every character, worst first; the confusion
// matrix (sent × copied, "missed" as a column of its own) whose cells a screen reader reads as
// "5 принято как 4: 3 раза"; the progress over the checks as a plot; the character drill's
// median response per character with its trend over the drills; the accuracy against the
// signal-to-noise ratio of the checks under the conditions; the number of checks and
// characters; CSV export (with the best call-sign sprints) and reset of the history.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>

#include "progress/HistoryStore.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTabWidget;

class QChart;
class QChartView;
class QLineSeries;

namespace vantrel {

class MessagePresenter;

class StatisticsWindow : public QDialog {
    Q_OBJECT
  public:
    // Asks where to save the CSV; nothing when the learner cancels.
    using SaveFileChooser = std::function<std::optional<std::filesystem::path>(QWidget* parent)>;

    StatisticsWindow(progress::HistoryStore& store, MessagePresenter& messages,
                     QWidget* parent = nullptr);

    void SetSaveFileChooser(SaveFileChooser chooser) { chooseFile_ = std::move(chooser); }

    // Reads the history again for the chosen period.
    void Refresh();
    void ExportClick();
    void ResetClick();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void RetranslateUi();
    QWidget* CreateCharacterTable();
    QWidget* CreateConfusionTable();
    QWidget* CreateProgressChart();
    QWidget* CreateResponseTable();
    QWidget* CreateSnrTable();
    void ShowCharacters(const std::vector<progress::PairCount>& pairs);
    void ShowConfusions(const std::vector<progress::PairCount>& pairs);
    void ShowProgress(const std::vector<progress::HistoryEntry>& entries);
    void ShowResponses(const std::vector<progress::DrillAnswer>& answers);
    void ShowSnr(const std::vector<progress::HistoryEntry>& entries);
    static void AddAxes(QChart& chart, QLineSeries& accuracy, QLineSeries& speed,
                        const std::vector<progress::HistoryEntry>& entries);
    void ShowNotice();
    progress::Period ChosenPeriod() const;
    progress::UnderConditions ChosenConditions() const;

    progress::HistoryStore& store_;
    MessagePresenter& messages_;
    SaveFileChooser chooseFile_;

    QLabel* periodLabel_ = nullptr;
    QComboBox* period_ = nullptr;
    QComboBox* conditions_ = nullptr;
    QLabel* conditionsLabel_ = nullptr;
    QLabel* totals_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTableWidget* characters_ = nullptr;
    QTableWidget* confusions_ = nullptr;
    QTableWidget* responses_ = nullptr;
    QChartView* chart_ = nullptr;
    QTableWidget* snr_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace vantrel
