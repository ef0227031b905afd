#include "window/StatisticsWindow.h"

#include <QAccessible>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "progress/CsvExport.h"
#include "progress/Statistics.h"
#include "trainer/Limits.h"
#include "window/MessagePresenter.h"
#include "window/Wording.h"

namespace vantrel {
namespace {

constexpr std::size_t kMarkedChecks = 200;

QString Character(unsigned char cp1251) {
    return Wording::Character(cp1251);
}

// What a screen reader says of the plot.
QString DescribeProgress(const QList<QPointF>& accuracy) {
    if (accuracy.isEmpty()) {
        return StatisticsWindow::tr("Проверок нет");
    }
    const auto [worst, best] =
        std::minmax_element(accuracy.begin(), accuracy.end(),
                            [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    return StatisticsWindow::tr("Проверок: %1; точность от %2 до %3 %, в последней %4 %")
        .arg(accuracy.size())
        .arg(worst->y(), 0, 'f', 1)
        .arg(best->y(), 0, 'f', 1)
        .arg(accuracy.back().y(), 0, 'f', 1);
}

std::optional<std::filesystem::path> ChooseCsvFile(QWidget* parent) {
    const QString file = QFileDialog::getSaveFileName(
        parent, StatisticsWindow::tr("Сохранить историю проверок"), QStringLiteral("vantrel.csv"),
        StatisticsWindow::tr("CSV (*.csv);;Все файлы (*)"));
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(file.toStdString());
}

QTableWidgetItem* Cell(const QString& text, const QString& accessible = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignCenter);
    if (!accessible.isEmpty()) {
        item->setData(Qt::AccessibleTextRole, accessible);
        item->setToolTip(accessible);
    }
    return item;
}

QTableWidget* MakeTable(const char* name) {
    auto* table = new QTableWidget;
    table->setObjectName(QLatin1String(name));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

}  // namespace

StatisticsWindow::StatisticsWindow(progress::HistoryStore& store, MessagePresenter& messages,
                                   QWidget* parent)
    : QDialog(parent), store_(store), messages_(messages), chooseFile_(ChooseCsvFile) {
    setObjectName(QLatin1String("StatisticsWindow"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    period_ = new QComboBox;
    period_->setObjectName(QLatin1String("Period"));
    period_->addItems({QString(), QString(), QString()});
    period_->setCurrentIndex(2);
    periodLabel_ = new QLabel;
    periodLabel_->setBuddy(period_);
    totals_ = new QLabel;
    totals_->setObjectName(QLatin1String("Totals"));
    totals_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    totals_->setFocusPolicy(Qt::TabFocus);
    conditions_ = new QComboBox;
    conditions_->setObjectName(QLatin1String("ConditionsFilter"));
    conditions_->addItems({QString(), QString(), QString()});
    conditionsLabel_ = new QLabel;
    conditionsLabel_->setBuddy(conditions_);
    top->addWidget(periodLabel_);
    top->addWidget(period_);
    top->addWidget(conditionsLabel_);
    top->addWidget(conditions_);
    top->addSpacing(12);
    top->addWidget(totals_, 1);
    layout->addLayout(top);

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QLatin1String("StatisticsTabs"));
    tabs_->addTab(CreateCharacterTable(), QString());
    tabs_->addTab(CreateConfusionTable(), QString());
    tabs_->addTab(CreateProgressChart(), QString());
    tabs_->addTab(CreateResponseTable(), QString());
    tabs_->addTab(CreateSnrTable(), QString());
    layout->addWidget(tabs_, 1);

    auto* buttons = new QHBoxLayout;
    export_ = new QPushButton;
    export_->setObjectName(QLatin1String("ExportButton"));
    reset_ = new QPushButton;
    reset_->setObjectName(QLatin1String("ResetButton"));
    close_ = new QPushButton;
    close_->setObjectName(QLatin1String("CloseButton"));
    for (QPushButton* button : {export_, reset_, close_}) {
        button->setAutoDefault(false);
    }
    buttons->addWidget(export_);
    buttons->addWidget(reset_);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    layout->addLayout(buttons);

    connect(period_, &QComboBox::currentIndexChanged, this, &StatisticsWindow::Refresh);
    connect(conditions_, &QComboBox::currentIndexChanged, this, &StatisticsWindow::Refresh);
    connect(export_, &QPushButton::clicked, this, &StatisticsWindow::ExportClick);
    connect(reset_, &QPushButton::clicked, this, &StatisticsWindow::ResetClick);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    RetranslateUi();
    resize(640, 480);
}

void StatisticsWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        // The tables, the totals and the plot are worded as they are filled; a hidden window
        // fills them when it is shown.
        if (isVisible()) {
            Refresh();
        }
    }
    QDialog::changeEvent(event);
}

void StatisticsWindow::RetranslateUi() {
    setWindowTitle(tr("Статистика"));
    const QString periods[] = {tr("Последняя проверка"), tr("Последние 7 дней"), tr("Всё время")};
    for (int index = 0; index < 3; ++index) {
        period_->setItemText(index, periods[index]);
    }
    periodLabel_->setText(tr("&Период:"));
    period_->setAccessibleName(tr("Период"));
    const QString conditions[] = {tr("Все проверки"), tr("В условиях эфира"),
                                  tr("Без условий эфира")};
    for (int index = 0; index < 3; ++index) {
        conditions_->setItemText(index, conditions[index]);
    }
    conditionsLabel_->setText(tr("Ус&ловия:"));
    conditions_->setAccessibleName(tr("Условия эфира"));
    totals_->setAccessibleName(tr("Итоги периода"));
    tabs_->setTabText(0, tr("З&наки"));
    tabs_->setTabText(1, tr("П&утаница"));
    tabs_->setTabText(2, tr("П&рогресс"));
    tabs_->setTabText(3, tr("&Ответы"));
    tabs_->setTabText(4, tr("Сигнал/&шум"));
    snr_->setAccessibleName(tr("Точность по отношению сигнал/шум"));
    snr_->setAccessibleDescription(tr("Проверки в условиях эфира, от худшего сигнала к лучшему"));
    snr_->setHorizontalHeaderLabels(
        {tr("Сигнал/шум, дБ"), tr("Проверок"), tr("Знаков"), tr("Точность, %")});
    characters_->setAccessibleName(tr("Точность по знакам"));
    characters_->setHorizontalHeaderLabels(
        {tr("Знак"), tr("Передано"), tr("Верно"), tr("Точность, %")});
    responses_->setAccessibleName(tr("Время ответа по знакам"));
    responses_->setAccessibleDescription(
        tr("Упражнение «Узнавание знаков»: медиана времени верных ответов, самые медленные "
           "первыми, и её ход по упражнениям"));
    responses_->setHorizontalHeaderLabels(
        {tr("Знак"), tr("Ответов"), tr("Верно"), tr("Медиана, мс"), tr("По упражнениям, мс")});
    confusions_->setAccessibleName(tr("Какие знаки приняты как какие"));
    confusions_->setAccessibleDescription(
        tr("Строки: переданный знак; столбцы: принятый знак или «пропущено»."));
    chart_->chart()->setTitle(tr("Точность и скорость по проверкам"));
    chart_->setAccessibleName(tr("График успехов"));
    export_->setText(tr("&Экспорт в CSV…"));
    reset_->setText(tr("&Сбросить историю…"));
    close_->setText(tr("&Закрыть"));
}

QWidget* StatisticsWindow::CreateCharacterTable() {
    characters_ = MakeTable("CharacterTable");
    characters_->setColumnCount(4);
    characters_->verticalHeader()->setVisible(false);
    characters_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return characters_;
}

QWidget* StatisticsWindow::CreateConfusionTable() {
    confusions_ = MakeTable("ConfusionTable");
    return confusions_;
}

QWidget* StatisticsWindow::CreateProgressChart() {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart_ = new QChartView(chart);
    chart_->setObjectName(QLatin1String("ProgressChart"));
    chart_->setFocusPolicy(Qt::StrongFocus);
    chart_->setRenderHint(QPainter::Antialiasing);
    return chart_;
}

QWidget* StatisticsWindow::CreateSnrTable() {
    snr_ = MakeTable("SnrTable");
    snr_->setColumnCount(4);
    snr_->verticalHeader()->setVisible(false);
    snr_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return snr_;
}

progress::UnderConditions StatisticsWindow::ChosenConditions() const {
    switch (conditions_->currentIndex()) {
        case 1:
            return progress::UnderConditions::Under;
        case 2:
            return progress::UnderConditions::Without;
        default:
            return progress::UnderConditions::Any;
    }
}

QWidget* StatisticsWindow::CreateResponseTable() {
    responses_ = MakeTable("ResponseTable");
    responses_->setColumnCount(5);
    responses_->verticalHeader()->setVisible(false);
    responses_->horizontalHeader()->setStretchLastSection(true);
    return responses_;
}

void StatisticsWindow::ShowResponses(const std::vector<progress::DrillAnswer>& answers) {
    const std::vector<progress::CharacterResponse> rows = progress::ResponseMedians(answers);
    responses_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const progress::CharacterResponse& response = rows[row];
        const QString character = Character(response.character);
        QStringList medians;
        for (const progress::ResponsePoint& point :
             progress::ResponseTrend(answers, response.character)) {
            medians << QString::number(point.medianMs);
        }
        const QString trend = medians.join(QStringLiteral(" → "));
        responses_->setItem(row, 0, Cell(character));
        responses_->setItem(row, 1, Cell(QString::number(response.answers)));
        responses_->setItem(row, 2, Cell(QString::number(response.right)));
        responses_->setItem(
            row, 3,
            Cell(QString::number(response.medianMs), tr("%1: медиана %2 мс, верно %3 из %4")
                                                         .arg(character)
                                                         .arg(response.medianMs)
                                                         .arg(response.right)
                                                         .arg(response.answers)));
        responses_->setItem(row, 4,
                            Cell(trend, tr("%1 по упражнениям: %2 мс").arg(character, trend)));
    }
}

progress::Period StatisticsWindow::ChosenPeriod() const {
    switch (period_->currentIndex()) {
        case 0:
            return progress::Period::LastCheck;
        case 1:
            return progress::Period::LastSevenDays;
        default:
            return progress::Period::All;
    }
}

void StatisticsWindow::Refresh() {
    const progress::Period period = ChosenPeriod();
    const progress::UnderConditions under = ChosenConditions();
    const std::vector<progress::HistoryEntry> entries = store_.Entries(period, false, under);
    const std::vector<progress::PairCount> pairs = store_.PairTotals(period, under);
    long long characters = 0;
    for (const progress::HistoryEntry& entry : entries) {
        characters += entry.charactersSent;
    }
    totals_->setText(tr("Проверок: %1, знаков: %2").arg(entries.size()).arg(characters));
    ShowCharacters(pairs);
    ShowConfusions(pairs);
    ShowProgress(entries);
    ShowResponses(store_.DrillAnswers(period));
    ShowSnr(entries);
    ShowNotice();
}

void StatisticsWindow::ShowSnr(const std::vector<progress::HistoryEntry>& entries) {
    const std::vector<progress::SnrAccuracy> rows = progress::AccuracyBySnr(entries);
    snr_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const progress::SnrAccuracy& accuracy = rows[row];
        const QString percent = QString::number(accuracy.Percent(), 'f', 1);
        snr_->setItem(row, 0, Cell(QString::number(accuracy.snrDb)));
        snr_->setItem(row, 1, Cell(QString::number(accuracy.checks)));
        snr_->setItem(row, 2, Cell(QString::number(accuracy.sent)));
        snr_->setItem(row, 3,
                      Cell(percent, tr("%1 дБ: %2 %, верно %3 из %4")
                                        .arg(accuracy.snrDb)
                                        .arg(percent)
                                        .arg(accuracy.right)
                                        .arg(accuracy.sent)));
    }
}

void StatisticsWindow::ShowCharacters(const std::vector<progress::PairCount>& pairs) {
    const std::vector<progress::CharacterAccuracy> rows = progress::AccuracyWorstFirst(pairs);
    characters_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const progress::CharacterAccuracy& accuracy = rows[row];
        const QString character = Character(accuracy.character);
        const QString percent = QString::number(accuracy.Percent(), 'f', 1);
        characters_->setItem(row, 0, Cell(character));
        characters_->setItem(row, 1, Cell(QString::number(accuracy.sent)));
        characters_->setItem(row, 2, Cell(QString::number(accuracy.right)));
        characters_->setItem(row, 3,
                             Cell(percent, tr("%1: %2 %, верно %3 из %4")
                                               .arg(character, percent)
                                               .arg(accuracy.right)
                                               .arg(accuracy.sent)));
    }
}

void StatisticsWindow::ShowConfusions(const std::vector<progress::PairCount>& pairs) {
    const progress::ConfusionMatrix matrix = progress::Confusions(pairs);
    std::vector<unsigned char> columns = matrix.columns;
    columns.push_back(0);  // "missed"
    confusions_->clear();
    confusions_->setRowCount(static_cast<int>(matrix.rows.size()));
    confusions_->setColumnCount(static_cast<int>(columns.size()));
    QStringList columnLabels;
    for (unsigned char copied : columns) {
        columnLabels << (copied == 0 ? tr("пропущено") : Character(copied));
    }
    confusions_->setHorizontalHeaderLabels(columnLabels);
    QStringList rowLabels;
    for (int row = 0; row < static_cast<int>(matrix.rows.size()); ++row) {
        const unsigned char sent = matrix.rows[row];
        rowLabels << Character(sent);
        for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
            const progress::PairCount cell{sent, columns[column],
                                           matrix.Count(sent, columns[column])};
            confusions_->setItem(row, column,
                                 Cell(cell.count > 0 ? QString::number(cell.count) : QString(),
                                      Wording::Pair(cell)));
        }
    }
    confusions_->setVerticalHeaderLabels(rowLabels);
}

void StatisticsWindow::ShowProgress(const std::vector<progress::HistoryEntry>& entries) {
    QChart* chart = chart_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto* accuracy = new QLineSeries;
    accuracy->setName(tr("Точность, %"));
    auto* speed = new QLineSeries;
    speed->setName(tr("Скорость, гр./мин."));
    QList<QPointF> accuracyPoints;
    QList<QPointF> speedPoints;
    accuracyPoints.reserve(static_cast<qsizetype>(entries.size()));
    speedPoints.reserve(static_cast<qsizetype>(entries.size()));
    for (const progress::HistoryEntry& entry : entries) {
        const double x = static_cast<double>(entry.timeUnix) * 1000.0;
        accuracyPoints.append({x, progress::AccuracyPercent(entry)});
        speedPoints.append({x, static_cast<double>(entry.settings.speed)});
    }
    // Few checks show as dots too, so that a single one is seen.
    accuracy->setPointsVisible(entries.size() <= kMarkedChecks);
    speed->setPointsVisible(entries.size() <= kMarkedChecks);
    accuracy->replace(accuracyPoints);
    speed->replace(speedPoints);
    chart->addSeries(accuracy);
    chart->addSeries(speed);
    AddAxes(*chart, *accuracy, *speed, entries);
    chart_->setAccessibleDescription(DescribeProgress(accuracyPoints));
}

void StatisticsWindow::AddAxes(QChart& chart, QLineSeries& accuracy, QLineSeries& speed,
                               const std::vector<progress::HistoryEntry>& entries) {
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM.yy"));
    time->setTitleText(tr("Дата"));
    if (!entries.empty()) {
        const qint64 first = entries.front().timeUnix * 1000;
        const qint64 last = std::max<qint64>(entries.back().timeUnix * 1000, first + 60000);
        time->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    }
    auto* percentAxis = new QValueAxis;
    percentAxis->setRange(0, 100);
    percentAxis->setTitleText(QStringLiteral("%"));
    auto* speedAxis = new QValueAxis;
    speedAxis->setRange(0, limits::kSpeedMax);
    speedAxis->setTitleText(tr("гр./мин."));
    chart.addAxis(time, Qt::AlignBottom);
    chart.addAxis(percentAxis, Qt::AlignLeft);
    chart.addAxis(speedAxis, Qt::AlignRight);
    accuracy.attachAxis(time);
    accuracy.attachAxis(percentAxis);
    speed.attachAxis(time);
    speed.attachAxis(speedAxis);
}

void StatisticsWindow::ShowNotice() {
    if (const auto notices = store_.TakeNotices(); !notices.empty()) {
        messages_.ShowError(Wording::HistoryNotices(notices).toStdString());
    }
}

void StatisticsWindow::ExportClick() {
    const std::optional<std::filesystem::path> file = chooseFile_(this);
    if (!file) {
        return;
    }
    const std::vector<progress::HistoryEntry> entries = store_.Entries(progress::Period::All, true);
    const std::vector<progress::SprintRun> sprints =
        store_.BestSprintRuns(progress::kBestSprintRuns);
    ShowNotice();
    if (progress::ExportCsv(entries, *file, sprints)) {
        messages_.ShowError(Wording::CsvNotSaved(*file).toStdString());
    }
}

void StatisticsWindow::ResetClick() {
    messages_.Confirm(tr("Очистить историю проверок? Прежняя история не удаляется: она останется "
                         "в отдельном файле рядом с новой.")
                          .toStdString(),
                      [this] {
                          store_.Reset();
                          if (const auto notices = store_.TakeNotices(); !notices.empty()) {
                              messages_.ShowMessage(Wording::HistoryNotices(notices).toStdString());
                          }
                          Refresh();
                      });
}

}  // namespace vantrel
