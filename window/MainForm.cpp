#include "window/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <utility>
#include <vector>

#include "about/ProgramIcons.h"
#include "trainer/AudioExport.h"
#include "trainer/CopyCheck.h"
#include "trainer/InterferenceControls.h"
#include "trainer/Limits.h"
#include "trainer/TrackBarHints.h"
#include "window/AccessibleSlider.h"
#include "window/Announcer.h"
#include "window/AudioExportCommand.h"
#include "window/BandTab.h"
#include "window/CheckComparisonView.h"
#include "window/DrillWindows.h"
#include "window/LearnerProgress.h"
#include "window/LessonTab.h"
#include "window/MessagePresenter.h"
#include "window/QtNotificationQueue.h"
#include "window/QtWindowGeometry.h"
#include "window/ThemeColours.h"
#include "window/Translations.h"
#include "window/Widgets.h"
#include "window/Wording.h"

namespace vantrel {
namespace {

// How often a close that had to wait for a command is tried again.
constexpr int kCloseRetryMs = 20;

std::optional<std::filesystem::path> ChooseTextFile(QWidget* parent) {
    const QString file =
        QFileDialog::getOpenFileName(parent, TMorseMain::tr("Select text file for test"), QString(),
                                     TMorseMain::tr("Text files (*.txt);;All files (*.*)"));
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return PathFromDialog(file);
}

}  // namespace

TMorseMain::TMorseMain(audio::WaveOutSystem& audio, settings::SettingsBackend& settings,
                       MessagePresenter& messages, QWidget* parent)
    : QMainWindow(parent),
      messages_(messages),
      chooseFile_(ChooseTextFile),
      notifications_(new QtNotificationQueue(this)),
      session_(std::make_unique<TrainerSession>(audio, *notifications_,
                                                static_cast<SessionView&>(*this), settings)),
      progress_(std::make_unique<LearnerProgress>(
          messages_, this, [this]() -> progress::HistoryStore& { return session_->History(); })) {
    setObjectName(QLatin1String("MorseMain"));
    setWindowIcon(ProgramIcon());
    drills_ = new RecognitionDrills(*session_, messages_, this);
    CreateActions();
    CreateMenus();

    CreateCentralArea();
    exportCommand_ = new AudioExportCommand(this, messages_);
    CreateStatusBar();
    announcer_ = new Announcer(this);

    FormCreate();
    RetranslateUi();
    ConnectControls();
    SetTabOrder();
    FixWindowSize();
}

TMorseMain::~TMorseMain() {
    FormDestroy();
    // The drills' windows use the session, which goes before the window's children do.
    drills_->CloseWindows();
}

void TMorseMain::ConnectControls() {
    connect(StartBtn, &QPushButton::clicked, this, &TMorseMain::StartBtnClick);
    connect(PauseBtn, &QPushButton::clicked, this, &TMorseMain::PauseBtnClick);
    connect(StartBtnTool, &QAction::triggered, this, &TMorseMain::StartBtnClick);
    connect(PauseBtnTool, &QAction::triggered, this, &TMorseMain::PauseBtnClick);
    connect(N4, &QAction::triggered, this, &TMorseMain::StartBtnClick);
    connect(N5, &QAction::triggered, this, &TMorseMain::PauseBtnClick);
    connect(N6, &QAction::triggered, this, &TMorseMain::N6Click);
    connect(N14, &QAction::triggered, this, &TMorseMain::N14Click);
    connect(N12, &QAction::triggered, this, &TMorseMain::N12Click);
    connect(SpeedTrackBar, &QSlider::valueChanged, this, &TMorseMain::SpeedTrackBarChange);
    connect(SpacingTrackBar, &QSlider::valueChanged, this, &TMorseMain::SpacingTrackBarChange);
    connect(PitchTrackBar, &QSlider::valueChanged, this, &TMorseMain::PitchTrackBarChange);
    connect(VolTrackBar, &QSlider::valueChanged, this, &TMorseMain::VolTrackBarChange);
    connect(TextType, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            session_->SetTextType(static_cast<vantrel::TextType>(id));
        }
    });
    connect(TextFileBtn, &QPushButton::clicked, this, &TMorseMain::TextFileBtnClick);
    connect(CheckBox1, &QCheckBox::toggled, this, &TMorseMain::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TMorseMain::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::toggled, this, &TMorseMain::CheckBox3Click);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TMorseMain::ScrollBar1Change);
    connect(ToolButton3, &QAction::triggered, this, &TMorseMain::ToolButton3Click);
    connect(ToolButton5, &QAction::triggered, this, &TMorseMain::ToolButton5Click);
    connect(ToolButton1, &QAction::triggered, this, &TMorseMain::ToolButton1Click);
    connect(ExportAudio, &QAction::triggered, this, &TMorseMain::ExportAudioClick);
    connect(drills_, &RecognitionDrills::Answered, lessonTab_, &LessonTab::ShowKnowledge);
    // After the handlers, which set the hints.
    for (QSlider* bar : {SpeedTrackBar, SpacingTrackBar, PitchTrackBar, VolTrackBar}) {
        AnnounceHintChanges(bar, *announcer_);
    }
    for (QSlider* bar : bandTab_->Sliders()) {
        AnnounceHintChanges(bar, *announcer_);
    }
    for (QComboBox* box : bandTab_->Choices()) {
        SpeakChoices(box, *announcer_);
    }
}

// ---------------------------------------------------------------------------------------------
// Creation and destruction

void TMorseMain::FormCreate() {
    QtWindowGeometry geometry(*this);
    const TrainerSettings& stored = session_->LoadSettings(geometry);
    SpeedTrackBar->setValue(stored.speed);
    SpacingTrackBar->setValue(stored.spacing);
    SetTextTypeIndex(stored.textType);
    PitchTrackBar->setValue(stored.pitch);
    VolTrackBar->setValue(stored.volume);
    lessonTab_->ShowSettings();
    bandTab_->ShowSettings();
    language_ = session_->ChosenLanguage();
    translations::Use(language_);

    SpeedTrackBarChange();
    SpacingTrackBarChange();
    PitchTrackBarChange();
    VolTrackBarChange();
}

void TMorseMain::FormDestroy() {
    QtWindowGeometry geometry(*this);
    session_->SaveSettings(geometry);
}

// Below the first entry nothing is selected, above the last the last entry is.
void TMorseMain::SetTextTypeIndex(int index) {
    if (index < 0) {
        TextType->setExclusive(false);
        for (QAbstractButton* button : TextType->buttons()) {
            button->setChecked(false);
        }
        TextType->setExclusive(true);
        return;
    }
    TextType->button(std::min(index, limits::kTextTypeLast))->setChecked(true);
}

// ---------------------------------------------------------------------------------------------
// Handlers

void TMorseMain::StartBtnClick() {
    session_->Start(KeyboardText());
}

void TMorseMain::PauseBtnClick() {
    session_->Pause();
}

void TMorseMain::SpeedTrackBarChange() {
    session_->SetSpeed(SpeedTrackBar->value());
    ShowTimingHints();
    captionBySpeed_ = true;
    ShowCaption();
}

void TMorseMain::SpacingTrackBarChange() {
    session_->SetSpacing(SpacingTrackBar->value());
    ShowTimingHints();
    captionBySpeed_ = false;
    ShowCaption();
}

void TMorseMain::ShowTimingHints() {
    SetToolTipAndDescription(SpeedTrackBar, Wording::SpeedHint(SpeedTrackBar->value()));
    SetToolTipAndDescription(SpacingTrackBar, Wording::SpacingHint(SpacingTrackBar->value()));
}

void TMorseMain::ShowCaption() {
    const std::string speed = Wording::SpeedHint(SpeedTrackBar->value()).toStdString();
    const std::string spacing = Wording::SpacingHint(SpacingTrackBar->value()).toStdString();
    setWindowTitle(Qs(captionBySpeed_ ? CaptionAfterSpeedChange(speed, spacing)
                                      : CaptionAfterSpacingChange(speed, spacing)));
}

void TMorseMain::PitchTrackBarChange() {
    session_->SetPitchPosition(PitchTrackBar->value());
    ShowToneHints();
}

void TMorseMain::VolTrackBarChange() {
    session_->SetVolumePosition(VolTrackBar->value());
    ShowToneHints();
}

// The pitch and the volume as the keyer has them.
void TMorseMain::ShowToneHints() {
    SetToolTipAndDescription(PitchTrackBar, Wording::PitchHint(session_->Keying().ToneFrequency()));
    SetToolTipAndDescription(VolTrackBar, Wording::VolumeHint(session_->Keying().VolumeLevel()));
}

void TMorseMain::UseLanguageForThisRun(Language language) {
    language_ = language;
    translations::Use(language);
    RetranslateUi();
}

void TMorseMain::ChooseLanguage(Language language) {
    session_->SetLanguage(language);
    language_ = session_->ChosenLanguage();
    // Every window, this one too, words its texts again on the change event that follows.
    translations::Use(language_);
}

void TMorseMain::TextFileBtnClick() {
    if (session_->ChosenTextType() != vantrel::TextType::File) {
        return;
    }
    if (std::optional<std::filesystem::path> file = chooseFile_(this)) {
        session_->SetTextFile(std::move(*file));
    }
}

void TMorseMain::N6Click() {
    TextFileBtnClick();
}

void TMorseMain::CheckBox1Click() {
    TextWin->setVisible(CheckBox1->isChecked());
    Memo1->setEnabled(CheckBox1->isChecked());
}

void TMorseMain::CheckBox2Click() {
    session_->Interference().CheckBox2Click(CheckBox2->isChecked());
}

void TMorseMain::CheckBox3Click() {
    session_->Interference().CheckBox3Click(CheckBox3->isChecked());
}

void TMorseMain::ScrollBar1Change() {
    session_->Interference().ScrollBar1Change(ScrollBar1->value());
}

void TMorseMain::ToolButton3Click() {
    const CheckOutcome outcome = session_->Check(FromWidgetText(Memo1->toPlainText()));
    if (!outcome.copied) {
        messages_.ShowMessage(Wording::EmptyCopy().toStdString());
        return;
    }
    messages_.ShowMessage(Wording::CheckResult(outcome.result).toStdString());
    Memo1->setEnabled(false);
    if (outcome.logError) {
        messages_.ShowError(Wording::FileError(*outcome.logError).toStdString());
    }
    progress_->ShowCheck(outcome.comparison, outcome.historyNotices);
    if (outcome.offeredLesson) {
        lessonTab_->OfferNextLesson();
        messages_.ShowMessage(Wording::LessonOffer(*outcome.offeredLesson).toStdString());
    }
}

void TMorseMain::ToolButton5Click() {
    Memo1->clear();
}

void TMorseMain::ToolButton1Click() {
    Memo2->clear();
}

void TMorseMain::N12Click() {
    // Modal to this window, without a local event loop: the handler returns at once.
    if (about_ != nullptr) {
        about_->open();
    }
}

void TMorseMain::N14Click() {
    close();
}

// Renders the next practice text of the chosen type, as Start would build it, to a WAV file.
void TMorseMain::ExportAudioClick() {
    if (!exportCommand_->Running()) {
        exportCommand_->Start(session_->PrepareExport(KeyboardText()));
    }
}

void TMorseMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        FitWidthToTexts();
    }
    QMainWindow::changeEvent(event);
}

// The run is silenced at once. When a command is still waiting for its device, the window
// closes as soon as that command has returned.
void TMorseMain::closeEvent(QCloseEvent* event) {
    if (!session_->StopNow()) {
        event->ignore();
        QTimer::singleShot(kCloseRetryMs, this, &TMorseMain::close);
        return;
    }
    event->accept();
}

std::string TMorseMain::KeyboardText() const {
    return FromWidgetText(Memo2->toPlainText());
}

// ---------------------------------------------------------------------------------------------
// What the playback engine shows and asks

// The label tells screen readers of its change itself, but they do not read labels that change
// away from the focus: the announcement does.
void TMorseMain::SetStatus(RunStatus status) {
    status_ = status;
    StatusText->setText(Wording::Status(status));
    announcer_->Announce(StatusText->text());
}

void TMorseMain::SetStartEnabled(bool enabled) {
    StartBtn->setEnabled(enabled);
    StartBtnTool->setEnabled(enabled);
}

void TMorseMain::SetPauseEnabled(bool enabled) {
    PauseBtn->setEnabled(enabled);
    PauseBtnTool->setEnabled(enabled);
}

// A screen reader does not read the rename of the focused button on its own.
void TMorseMain::SetPauseCaption(PauseCaption caption) {
    const bool renamed = pauseCaption_.value_or(PauseCaption::Pause) != caption;
    pauseCaption_ = caption;
    ShowPauseCaption();
    const QWidget* focus = QApplication::focusWidget();
    if (renamed && focus != nullptr &&
        (focus == PauseBtn || focus == ToolBar1->widgetForAction(PauseBtnTool))) {
        announcer_->Announce(AccessibleCaption(PauseBtn->text()));
    }
}

// Before the first run the tool button shows its caption without the mnemonic marker.
void TMorseMain::ShowPauseCaption() {
    PauseBtn->setText(Wording::Pause(pauseCaption_.value_or(PauseCaption::Pause)));
    PauseBtnTool->setText(pauseCaption_ ? PauseBtn->text() : tr("Пауза"));
}

void TMorseMain::SetCheckEnabled(bool enabled) {
    ToolButton3->setEnabled(enabled);
}

// The text grows by whole words; only what is new is added, so a long text costs no more per
// word than a short one.
void TMorseMain::ShowKeyedText(const std::string& cp1251, int caret) {
    const bool extends = !shownText_.empty() && cp1251.size() >= shownText_.size() &&
                         cp1251.compare(0, shownText_.size(), shownText_) == 0;
    if (extends) {
        QTextCursor end(TextWin->document());
        end.movePosition(QTextCursor::End);
        end.insertText(ToWidgetText(std::string_view(cp1251).substr(shownText_.size())));
    } else {
        TextWin->setPlainText(ToWidgetText(cp1251));
    }
    shownText_ = cp1251;
    QTextCursor cursor(TextWin->document());
    cursor.setPosition(
        std::clamp(WidgetOffset(cp1251, caret), 0, TextWin->document()->characterCount() - 1));
    TextWin->setTextCursor(cursor);
    TextWin->ensureCursorVisible();
}

void TMorseMain::ClearKeyedText() {
    TextWin->clear();
    shownText_.clear();
}

void TMorseMain::ShowAudioOpenError(audio::MMResult result) {
    messages_.ShowWarning(Wording::AudioOpenError(result).toStdString());
}

void TMorseMain::ShowFileError(const files::FileError& error) {
    messages_.ShowError(Wording::FileError(error).toStdString());
}

}  // namespace vantrel
