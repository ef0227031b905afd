// What every copy check adds for the learner's progress: the aligned comparison on the check
// tab, one record in the history, and the statistics window (menu item "Статистика", Ctrl+T)
// that shows the history. The main window creates it, places its comparison view and menu
// item, and hands it each check.
#pragma once

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <string_view>

#include "progress/HistoryStore.h"
#include "progress/WallClock.h"
#include "window/StatisticsWindow.h"

class QAction;
class QWidget;

namespace vantrel {

class CheckComparisonView;
class MessagePresenter;

class LearnerProgress : public QObject {
    Q_OBJECT
  public:
    // `window` owns the action, the comparison view (hidden until placed and shown by a check)
    // and the statistics window. The history is kept in memory until UseHistoryFile names a file.
    LearnerProgress(MessagePresenter& messages, QWidget* window);
    ~LearnerProgress() override;

    // Keeps the history in `file` from now on; opened at its first use.
    void UseHistoryFile(std::filesystem::path file);
    void SetClock(progress::WallClock clock) { clock_ = std::move(clock); }
    void SetSaveFileChooser(StatisticsWindow::SaveFileChooser chooser);

    QAction* StatisticsAction() const { return statisticsAction_; }
    CheckComparisonView* ComparisonView() const { return view_; }
    // Null until first shown.
    StatisticsWindow* Statistics() const { return statistics_; }
    progress::HistoryStore& Store() { return *store_; }

    // After the copy check: shows the comparison, appends the record and refreshes an open
    // statistics window. Texts are Windows-1251, as the check compared them.
    void RecordCheck(const progress::CheckSettings& settings, std::string_view sentCp1251,
                     std::string_view copyCp1251, int blocksWrong, int grade);
    void ShowStatistics();

  private:
    MessagePresenter& messages_;
    QWidget* window_;
    progress::WallClock clock_ = progress::SystemSeconds;
    std::unique_ptr<progress::HistoryStore> store_;
    StatisticsWindow::SaveFileChooser chooser_;
    QAction* statisticsAction_;
    CheckComparisonView* view_;
    QPointer<StatisticsWindow> statistics_;
};

}  // namespace vantrel
