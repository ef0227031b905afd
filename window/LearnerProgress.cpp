#include "window/LearnerProgress.h"

#include <QAction>
#include <QWidget>

#include "window/CheckComparisonView.h"
#include "window/MessagePresenter.h"
#include "window/Wording.h"

namespace vantrel {

LearnerProgress::LearnerProgress(MessagePresenter& messages, QWidget* window, HistoryAccess history)
    : messages_(messages),
      window_(window),
      history_(std::move(history)),
      statisticsAction_(new QAction(window)),
      view_(new CheckComparisonView(window)) {
    statisticsAction_->setObjectName(QLatin1String("StatisticsItem"));
    statisticsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    statisticsAction_->setShortcutContext(Qt::WindowShortcut);
    window->addAction(statisticsAction_);
    connect(statisticsAction_, &QAction::triggered, this, &LearnerProgress::ShowStatistics);
    RetranslateUi();
}

void LearnerProgress::RetranslateUi() {
    statisticsAction_->setText(tr("Статистика"));
}

LearnerProgress::~LearnerProgress() {
    // The window reads the store, which may go before the window would.
    delete statistics_.data();
}

void LearnerProgress::SetSaveFileChooser(StatisticsWindow::SaveFileChooser chooser) {
    chooser_ = std::move(chooser);
    if (statistics_ && chooser_) {
        statistics_->SetSaveFileChooser(chooser_);
    }
}

void LearnerProgress::ShowCheck(const progress::CheckComparison& comparison,
                                const std::vector<progress::HistoryNotice>& historyNotices) {
    view_->Show(comparison);
    if (!historyNotices.empty()) {
        messages_.ShowError(Wording::HistoryNotices(historyNotices).toStdString());
    }
    if (statistics_ && statistics_->isVisible()) {
        statistics_->Refresh();
    }
}

void LearnerProgress::ShowStatistics() {
    if (!statistics_) {
        statistics_ = new StatisticsWindow(history_(), messages_, window_);
        statistics_->setWindowFlag(Qt::Window);
        if (chooser_) {
            statistics_->SetSaveFileChooser(chooser_);
        }
    }
    statistics_->Refresh();
    statistics_->show();
    statistics_->raise();
    statistics_->activateWindow();
}

}  // namespace vantrel
