// What the window shows of the learner's progress: the aligned comparison of each check on the
// check tab and the statistics window (menu item "Статистика", Ctrl+T) over the history. The
// main window creates it, places its comparison view and menu item, and hands it each check.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>

#include "progress/CheckComparison.h"
#include "progress/HistoryStore.h"
#include "window/StatisticsWindow.h"

class QAction;
class QWidget;

namespace vantrel {

class CheckComparisonView;
class MessagePresenter;

class LearnerProgress : public QObject {
    Q_OBJECT
  public:
    // The history the statistics window reads, asked for each time it is opened.
    using HistoryAccess = std::function<progress::HistoryStore&()>;

    // `window` owns the action, the comparison view (hidden until placed and shown by a check)
    // and the statistics window.
    LearnerProgress(MessagePresenter& messages, QWidget* window, HistoryAccess history);
    ~LearnerProgress() override;

    void SetSaveFileChooser(StatisticsWindow::SaveFileChooser chooser);
    // The menu item's text in the interface's language (the windows re-label themselves).
    void RetranslateUi();

    QAction* StatisticsAction() const { return statisticsAction_; }
    CheckComparisonView* ComparisonView() const { return view_; }
    // Null until first shown.
    StatisticsWindow* Statistics() const { return statistics_; }

    // After a copy check: shows the comparison and what happened to the history, and brings
    // an open statistics window up to date.
    void ShowCheck(const progress::CheckComparison& comparison,
                   const std::vector<progress::HistoryNotice>& historyNotices);
    void ShowStatistics();

  private:
    MessagePresenter& messages_;
    QWidget* window_;
    HistoryAccess history_;
    StatisticsWindow::SaveFileChooser chooser_;
    QAction* statisticsAction_;
    CheckComparisonView* view_;
    QPointer<StatisticsWindow> statistics_;
};

}  // namespace vantrel
