#include "window/LearnerProgress.h"

#include <QAction>
#include <QWidget>

#include "window/CheckComparisonView.h"
#include "window/MessagePresenter.h"

namespace vantrel {

LearnerProgress::LearnerProgress(MessagePresenter& messages, QWidget* window)
    : messages_(messages),
      window_(window),
      statisticsAction_(new QAction(QStringLiteral("Статистика"), window)),
      view_(new CheckComparisonView(window)) {
    UseHistoryFile({});
    statisticsAction_->setObjectName(QLatin1String("StatisticsItem"));
    statisticsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    statisticsAction_->setShortcutContext(Qt::WindowShortcut);
    window->addAction(statisticsAction_);
    connect(statisticsAction_, &QAction::triggered, this, &LearnerProgress::ShowStatistics);
}

LearnerProgress::~LearnerProgress() {
    // The window reads the store, which goes with this object.
    delete statistics_.data();
}

void LearnerProgress::UseHistoryFile(std::filesystem::path file) {
    store_ = std::make_unique<progress::HistoryStore>(std::move(file), [this] { return clock_(); });
}

void LearnerProgress::SetSaveFileChooser(StatisticsWindow::SaveFileChooser chooser) {
    chooser_ = std::move(chooser);
    if (statistics_ && chooser_) {
        statistics_->SetSaveFileChooser(chooser_);
    }
}

void LearnerProgress::RecordCheck(const progress::CheckSettings& settings,
                                  std::string_view sentCp1251, std::string_view copyCp1251,
                                  int blocksWrong, int grade) {
    const progress::CheckComparison comparison = progress::CompareCopy(sentCp1251, copyCp1251);
    view_->Show(comparison);
    progress::HistoryEntry entry;
    entry.timeUnix = clock_();
    entry.settings = settings;
    entry.charactersSent = comparison.sentCount;
    entry.charactersRight = comparison.rightCount;
    entry.blocksWrong = blocksWrong;
    entry.grade = grade;
    entry.pairs = comparison.pairs;
    store_->Append(entry);
    if (std::optional<std::string> notice = store_->TakeNotice()) {
        messages_.ShowError(*notice);
    }
    if (statistics_ && statistics_->isVisible()) {
        statistics_->Refresh();
    }
}

void LearnerProgress::ShowStatistics() {
    if (!statistics_) {
        statistics_ = new StatisticsWindow(*store_, messages_, window_);
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
