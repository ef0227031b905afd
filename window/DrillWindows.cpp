#include "window/DrillWindows.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <chrono>
#include <initializer_list>

#include "support/Cp1251.h"
#include "trainer/Limits.h"
#include "window/Announcer.h"
#include "window/MessagePresenter.h"
#include "window/Wording.h"

namespace vantrel {

namespace {

QString FromCp1251(std::string_view cp1251) {
    return QString::fromStdString(cp1251::ToUtf8(cp1251));
}

QString Character(unsigned char c) {
    return FromCp1251(std::string_view(reinterpret_cast<const char*>(&c), 1));
}

template <typename T>
T* Named(T* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QSpinBox* Spin(const char* name, const QString& accessibleName, int min, int max, int step,
               const QString& suffix) {
    auto* spin = Named(new QSpinBox, name, accessibleName);
    spin->setRange(min, max);
    spin->setSingleStep(step);
    spin->setSuffix(suffix);
    return spin;
}

// A label whose text can be read from the keyboard, and is taken as its accessible name.
QLabel* ReadableLabel(const char* name, const QString& accessibleName) {
    auto* label = Named(new QLabel, name, accessibleName);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    label->setFocusPolicy(Qt::TabFocus);
    return label;
}

// Buttons that Enter in a field never presses: a drill's keys go to its fields.
void NoDefault(std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* button : buttons) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

// The caption of `field`, its text set by the window's RetranslateUi.
QLabel* AddRow(QFormLayout* form, QWidget* field) {
    auto* caption = new QLabel;
    caption->setBuddy(field);
    form->addRow(caption, field);
    return caption;
}

// The copy of a call with its errors marked for the eye and the ear alike: a wrong or extra
// character in brackets, a missed one as "[_]".
QString MarkedCopy(const progress::SprintCall& call) {
    QString marked;
    for (const progress::AlignedPair& pair : progress::AlignCall(call).pairs) {
        if (pair.IsRight()) {
            marked += Character(static_cast<unsigned char>(pair.copied));
        } else if (pair.IsMissed()) {
            marked += QStringLiteral("[_]");
        } else {
            marked += QLatin1Char('[') + Character(static_cast<unsigned char>(pair.copied)) +
                      QLatin1Char(']');
        }
    }
    return marked;
}

}  // namespace

void AnswerField::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (event->isAutoRepeat()) {
        event->accept();  // a key held down answers once
        return;
    }
    if (text.size() == 1 && text.at(0).isPrint() && !text.at(0).isSpace() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        emit Typed(text, event->timestamp());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// What both windows share

DrillWindow::DrillWindow(TrainerSession& session, MessagePresenter& messages, const char* startName,
                         QWidget* parent)
    : QDialog(parent),
      session_(session),
      messages_(messages),
      announcer_(new Announcer(this)),
      startStop_(Named(new QPushButton, startName, QString())),
      close_(new QPushButton) {
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    NoDefault({startStop_, close_});
}

QHBoxLayout* DrillWindow::ButtonRow() {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(startStop_);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    return buttons;
}

void DrillWindow::RetranslateButtons() {
    close_->setText(tr("Закрыть"));
    ShowRunning(Running());
}

void DrillWindow::ShowRunning(bool running) {
    startStop_->setText(running ? tr("&Остановить") : tr("&Начать"));
    startStop_->setAccessibleName(running ? tr("Остановить") : tr("Начать"));
}

void DrillWindow::ShowFailure(audio::MMResult error) {
    ShowRunning(false);
    messages_.ShowWarning(Wording::AudioOpenError(error).toStdString());
}

void DrillWindow::ShowNotices(const std::vector<progress::HistoryNotice>& notices) {
    messages_.ShowError(Wording::HistoryNotices(notices).toStdString());
}

void DrillWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

void DrillWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && Running()) {
        StopDrill();
        ShowRunning(false);
    }
    QDialog::hideEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Character drill

CharacterDrillWindow::CharacterDrillWindow(TrainerSession& session, MessagePresenter& messages,
                                           QWidget* parent)
    : DrillWindow(session, messages, "DrillStartBtn", parent),
      set_(Named(new QComboBox, "DrillSetBox", QString())),
      speed_(Spin("DrillSpeedSpin", QString(), limits::kCharacterDrillSpeedMin,
                  limits::kCharacterDrillSpeedMax, 1, QString())),
      target_(Spin("DrillTargetSpin", QString(), limits::kResponseTargetMinMs,
                   limits::kResponseTargetMaxMs, 50, QString())),
      pause_(Spin("DrillPauseSpin", QString(), limits::kDrillPauseMinMs, limits::kDrillPauseMaxMs,
                  100, QString())),
      answer_(Named(new AnswerField, "DrillAnswer", QString())),
      result_(ReadableLabel("DrillResult", QString())),
      totals_(ReadableLabel("DrillTotals", QString())) {
    setObjectName(QLatin1String("CharacterDrillWindow"));
    set_->addItems(QStringList(5, QString()));
    answer_->setReadOnly(true);

    const TrainerSettings& settings = session_.Settings();
    set_->setCurrentIndex(settings.drillSet);
    speed_->setValue(settings.drillSpeed);
    target_->setValue(settings.responseTarget);
    pause_->setValue(settings.drillPause);
    connect(set_, &QComboBox::currentIndexChanged, this,
            [this](int set) { session_.SetDrillSet(set); });
    connect(speed_, &QSpinBox::valueChanged, this,
            [this](int speed) { session_.SetDrillSpeed(speed); });
    connect(target_, &QSpinBox::valueChanged, this,
            [this](int ms) { session_.SetResponseTarget(ms); });
    connect(pause_, &QSpinBox::valueChanged, this, [this](int ms) { session_.SetDrillPause(ms); });
    connect(startStop_, &QPushButton::clicked, this, &CharacterDrillWindow::StartStopClick);
    connect(answer_, &AnswerField::Typed, this, &CharacterDrillWindow::Type);

    auto* form = new QFormLayout;
    for (QWidget* field : {static_cast<QWidget*>(set_), static_cast<QWidget*>(speed_),
                           static_cast<QWidget*>(target_), static_cast<QWidget*>(pause_),
                           static_cast<QWidget*>(answer_)}) {
        captions_.push_back(AddRow(form, field));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(result_);
    layout->addWidget(totals_);
    layout->addLayout(ButtonRow());
    RetranslateUi();
    startStop_->setFocus();  // the window opens on its first step
}

// The result and the totals keep their words until the next answer.
void CharacterDrillWindow::RetranslateUi() {
    setWindowTitle(tr("Узнавание знаков"));
    set_->setAccessibleName(tr("Набор знаков"));
    const QString sets[] = {tr("Знаки урока"), tr("Латинские буквы"), tr("Русские буквы"),
                            tr("Цифры"), tr("Знаки препинания")};
    for (int index = 0; index < set_->count(); ++index) {
        set_->setItemText(index, sets[index]);
    }
    speed_->setAccessibleName(tr("Скорость знаков"));
    speed_->setSuffix(tr(" гр./мин."));
    target_->setAccessibleName(tr("Цель времени ответа"));
    target_->setSuffix(tr(" мс"));
    target_->setAccessibleDescription(
        tr("Знак узнаётся, когда 19 из 20 последних ответов верны и их медиана быстрее цели"));
    pause_->setAccessibleName(tr("Пауза после верного ответа"));
    pause_->setSuffix(tr(" мс"));
    answer_->setAccessibleName(tr("Ответ"));
    answer_->setAccessibleDescription(tr("Напечатайте услышанный знак"));
    result_->setAccessibleName(tr("Результат"));
    totals_->setAccessibleName(tr("Итог"));
    const QString captions[] = {tr("&Знаки:"), tr("&Скорость:"), tr("&Цель ответа:"), tr("&Пауза:"),
                                tr("О&твет:")};
    for (std::size_t index = 0; index < captions_.size(); ++index) {
        captions_[index]->setText(captions[index]);
    }
    RetranslateButtons();
}

bool CharacterDrillWindow::Running() const {
    return session_.CharacterDrill().Running();
}

void CharacterDrillWindow::StopDrill() {
    session_.CharacterDrill().Stop();
}

CharacterDrillWindow::~CharacterDrillWindow() {
    session_.CharacterDrill().Stop();
}

void CharacterDrillWindow::ShowRunning(bool running) {
    DrillWindow::ShowRunning(running);
    for (QWidget* setting : {static_cast<QWidget*>(set_), static_cast<QWidget*>(speed_),
                             static_cast<QWidget*>(target_), static_cast<QWidget*>(pause_)}) {
        setting->setEnabled(!running);
    }
}

void CharacterDrillWindow::StartStopClick() {
    if (session_.CharacterDrill().Running()) {
        session_.CharacterDrill().Stop();
        ShowRunning(false);
        announcer_->Announce(tr("Упражнение остановлено"));
        return;
    }
    answers_ = right_ = 0;
    totals_->clear();
    result_->clear();
    if (!session_.CharacterDrill().Start(*this)) {
        return;
    }
    ShowRunning(true);
    answer_->setFocus();
    announcer_->Announce(tr("Упражнение начато. Печатайте каждый услышанный знак"));
}

void CharacterDrillWindow::Type(const QString& text, quint64 timestampMs) {
    const std::string cp1251 = cp1251::FromUtf8(text.toStdString());
    if (cp1251.size() != 1 || !session_.CharacterDrill().Running()) {
        return;
    }
    session_.CharacterDrill().Answer(static_cast<unsigned char>(cp1251[0]),
                                     KeyPressTime(timestampMs, std::chrono::steady_clock::now()));
}

void CharacterDrillWindow::AnswerGraded(const progress::DrillAnswer& answer,
                                        const progress::CharacterMastery& mastery) {
    ++answers_;
    right_ += answer.right ? 1 : 0;
    const QString text =
        answer.right ? tr("Верно, %1: %2 мс").arg(Character(answer.sent)).arg(answer.responseMs)
                     : tr("Неверно: это %1, принято %2")
                           .arg(Character(answer.sent), Character(answer.typed));
    result_->setText(text);
    answer_->setText(Character(answer.typed));
    totals_->setText(tr("Ответов: %1, верно: %2. Знак %3: верно %4 из %5, медиана %6 мс%7")
                         .arg(answers_)
                         .arg(right_)
                         .arg(Character(answer.sent))
                         .arg(mastery.right)
                         .arg(mastery.answers)
                         .arg(mastery.medianMs)
                         .arg(mastery.known ? tr(", узнаётся") : QString()));
    announcer_->Announce(text);
    emit Answered();
}

// ---------------------------------------------------------------------------------------------
// Call-sign sprint

SprintWindow::SprintWindow(TrainerSession& session, MessagePresenter& messages, QWidget* parent)
    : DrillWindow(session, messages, "SprintStartBtn", parent),
      speed_(Spin("SprintSpeedSpin", QString(), limits::kSprintSpeedMin, limits::kSprintSpeedMax,
                  limits::kSprintSpeedStep, QString())),
      copy_(Named(new QLineEdit, "SprintCopy", QString())),
      state_(ReadableLabel("SprintState", QString())),
      calls_(Named(new QTableWidget(0, 5), "SprintCalls", QString())) {
    setObjectName(QLatin1String("SprintWindow"));
    calls_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    calls_->setSelectionBehavior(QAbstractItemView::SelectRows);
    calls_->horizontalHeader()->setStretchLastSection(true);
    speed_->setValue(session_.Settings().sprintSpeed);
    connect(speed_, &QSpinBox::valueChanged, this,
            [this](int speed) { session_.SetSprintSpeed(speed); });
    connect(startStop_, &QPushButton::clicked, this, &SprintWindow::StartStopClick);
    connect(copy_, &QLineEdit::returnPressed, this, &SprintWindow::AnswerEntered);
    auto* repeat = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(repeat, &QShortcut::activated, this, &SprintWindow::RepeatCall);

    auto* form = new QFormLayout;
    captions_ = {AddRow(form, speed_), AddRow(form, copy_)};
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(state_);
    layout->addWidget(calls_, 1);
    layout->addLayout(ButtonRow());
    resize(520, 420);
    RetranslateUi();
    startStop_->setFocus();
}

// The state keeps its words until the next change.
void SprintWindow::RetranslateUi() {
    setWindowTitle(tr("Позывные"));
    speed_->setAccessibleName(tr("Начальная скорость"));
    speed_->setSuffix(tr(" гр./мин."));
    copy_->setAccessibleName(tr("Позывной"));
    copy_->setAccessibleDescription(
        tr("Напечатайте позывной и нажмите Enter; F6 повторяет позывной один раз"));
    state_->setAccessibleName(tr("Состояние"));
    calls_->setAccessibleName(tr("Позывные спринта"));
    calls_->setHorizontalHeaderLabels(
        {tr("Передан"), tr("Принят"), tr("Ошибок"), tr("Скорость"), tr("Очки")});
    calls_->setAccessibleDescription(tr("Ошибки отмечены скобками: [_] пропущенный знак"));
    captions_[0]->setText(tr("&Скорость:"));
    captions_[1]->setText(tr("&Позывной:"));
    RetranslateButtons();
}

bool SprintWindow::Running() const {
    return session_.Sprint().Running();
}

void SprintWindow::StopDrill() {
    session_.Sprint().Stop();
}

SprintWindow::~SprintWindow() {
    session_.Sprint().Stop();
}

void SprintWindow::ShowRunning(bool running) {
    DrillWindow::ShowRunning(running);
    speed_->setEnabled(!running);
    copy_->setEnabled(running);
}

void SprintWindow::StartStopClick() {
    if (session_.Sprint().Running()) {
        session_.Sprint().Stop();
        ShowRunning(false);
        state_->setText(tr("Спринт остановлен"));
        announcer_->Announce(state_->text());
        return;
    }
    calls_->setRowCount(0);
    copy_->clear();
    state_->clear();
    if (!session_.Sprint().Start(*this)) {
        return;
    }
    ShowRunning(true);
    copy_->setFocus();
    announcer_->Announce(tr("Спринт начат: 50 позывных"));
}

void SprintWindow::AnswerEntered() {
    if (!session_.Sprint().Running()) {
        return;
    }
    const std::string typed = cp1251::FromUtf8(copy_->text().toStdString());
    copy_->clear();
    session_.Sprint().Answer(typed);
}

void SprintWindow::RepeatCall() {
    if (!session_.Sprint().Running()) {
        return;
    }
    announcer_->Announce(session_.Sprint().Repeat() ? tr("Повтор")
                                                    : tr("Повтор этого позывного уже был"));
}

void SprintWindow::CallKeyed(int number, int speed) {
    state_->setText(tr("Позывной %1 из %2, скорость %3 гр./мин.")
                        .arg(number)
                        .arg(progress::kSprintCalls)
                        .arg(speed));
}

void SprintWindow::CallGraded(const progress::SprintCall& call) {
    const int row = calls_->rowCount();
    calls_->insertRow(row);
    const int errors = progress::CallErrors(call);
    const QStringList cells = {FromCp1251(call.sent), MarkedCopy(call), QString::number(errors),
                               QString::number(call.speed),
                               QString::number(progress::CallPoints(call))};
    for (int column = 0; column < cells.size(); ++column) {
        calls_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    announcer_->Announce(errors == 0 ? tr("Верно") : tr("Неверно: %1").arg(FromCp1251(call.sent)));
}

void SprintWindow::SprintFinished(const progress::SprintRun& run) {
    ShowRunning(false);
    state_->setText(tr("Спринт окончен. Очки: %1, высшая скорость: %2 гр./мин., верно %3 из %4")
                        .arg(run.Score())
                        .arg(run.TopSpeed())
                        .arg(run.CallsRight())
                        .arg(run.calls.size()));
    announcer_->Announce(state_->text());
    calls_->setFocus();
    calls_->setCurrentCell(0, 0);
}

// ---------------------------------------------------------------------------------------------
// Menu items

RecognitionDrills::RecognitionDrills(TrainerSession& session, MessagePresenter& messages,
                                     QWidget* window)
    : QObject(window),
      session_(session),
      messages_(messages),
      window_(window),
      characterAction_(new QAction(window)),
      sprintAction_(new QAction(window)) {
    RetranslateUi();
    characterAction_->setObjectName(QLatin1String("CharacterDrillItem"));
    characterAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    sprintAction_->setObjectName(QLatin1String("SprintItem"));
    sprintAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    for (QAction* action : {characterAction_, sprintAction_}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    connect(characterAction_, &QAction::triggered, this, &RecognitionDrills::ShowCharacterDrill);
    connect(sprintAction_, &QAction::triggered, this, &RecognitionDrills::ShowSprint);
}

void RecognitionDrills::RetranslateUi() {
    characterAction_->setText(tr("Узнавание знаков"));
    sprintAction_->setText(tr("Позывные"));
}

bool RecognitionDrills::event(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
    return QObject::event(event);
}

namespace {

void Bring(QDialog* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

void RecognitionDrills::ShowCharacterDrill() {
    if (!characterDrill_) {
        characterDrill_ = new CharacterDrillWindow(session_, messages_, window_);
        characterDrill_->setWindowFlag(Qt::Window);
        connect(characterDrill_, &CharacterDrillWindow::Answered, this,
                &RecognitionDrills::Answered);
    }
    Bring(characterDrill_);
}

void RecognitionDrills::CloseWindows() {
    delete characterDrill_.data();
    delete sprint_.data();
}

void RecognitionDrills::ShowSprint() {
    if (!sprint_) {
        sprint_ = new SprintWindow(session_, messages_, window_);
        sprint_->setWindowFlag(Qt::Window);
    }
    Bring(sprint_);
}

}  // namespace vantrel
