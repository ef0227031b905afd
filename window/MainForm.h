// The trainer's main window: the keyed text with Start and Pause above, the settings, the copy
// and the keyboard text in tabs below, a menu and a status bar.
//
// The window is thin: every command goes to the trainer session, and the window shows what the
// session returns and what its runs report; it keeps only the state of its controls. Every
// control carries its designer name as object name, so tests find it with findChild.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/audio/WaveOut.h"
#include "support/Language.h"
#include "trainer/TrainerSession.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace vantrel {

class AudioExportCommand;
class BandTab;
class LessonTab;
class RecognitionDrills;
class Announcer;
class MessagePresenter;
class QtNotificationQueue;
class LearnerProgress;

namespace settings {
class SettingsBackend;
}

class TMorseMain : public QMainWindow, private SessionView {
    Q_OBJECT
  public:
    // Asks for a text file; nothing when the learner cancels.
    using FileChooser = std::function<std::optional<std::filesystem::path>(QWidget* parent)>;

    // Restores the stored settings; `audio` plays the keyed text, `messages` shows the boxes.
    TMorseMain(audio::WaveOutSystem& audio, settings::SettingsBackend& settings,
               MessagePresenter& messages, QWidget* parent = nullptr);
    // Stores the window position and the five settings.
    ~TMorseMain() override;

    // The about window that "О программе" shows modal to this window.
    void SetAboutWindow(QDialog* about) { about_ = about; }
    // Replaces the open dialog (tests).
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // The interface in `language` for this run only: the stored choice stays (--language).
    void UseLanguageForThisRun(Language language);
    // The menu's choice: the interface re-labels itself at once, and the choice is stored.
    void ChooseLanguage(Language language);
    Language InterfaceLanguage() const { return language_; }

    TrainerSession& Session() { return *session_; }
    const PlaybackEngine& Engine() const { return session_->Engine(); }
    AudioExportCommand& AudioExporter() { return *exportCommand_; }
    QtNotificationQueue& Notifications() { return *notifications_; }
    // The comparison of each check and the statistics window.
    LearnerProgress& Progress() { return *progress_; }
    // The character drill and the call-sign sprint.
    RecognitionDrills& Drills() { return *drills_; }

  public slots:
    void StartBtnClick();
    void PauseBtnClick();
    void SpeedTrackBarChange();
    void SpacingTrackBarChange();
    void PitchTrackBarChange();
    void VolTrackBarChange();
    void TextFileBtnClick();
    void N6Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void ScrollBar1Change();
    void ToolButton3Click();
    void ToolButton5Click();
    void ToolButton1Click();
    void N12Click();
    void N14Click();
    void ExportAudioClick();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    // Layout.
    void CreateActions();
    void CreateMenus();
    void CreateCentralArea();
    QWidget* CreateUpperArea();
    QWidget* CreateSettingsTab();
    QWidget* CreateSpeedGroup();
    QWidget* CreateSpacingGroup();
    QWidget* CreatePitchGroup();
    QWidget* CreateVolumeGroup();
    QWidget* CreateTextTypeGroup();
    QWidget* CreateNoiseGroup();
    QWidget* CreateCheckTab();
    QWidget* CreateInputTab();
    void CreateStatusBar();
    void ConnectControls();
    void SetTabOrder();
    // Every text of the window in the interface's language.
    void RetranslateUi();
    QWidget* FirstTabStop() const;
    void FixWindowSize();
    void FitWidthToTexts();

    // Creation and destruction.
    void FormCreate();
    void FormDestroy();
    void SetTextTypeIndex(int index);
    void ShowTimingHints();
    void ShowToneHints();
    // The caption as the last speed or spacing change set it.
    void ShowCaption();
    void ShowPauseCaption();

    // SessionView.
    void SetStatus(RunStatus status) override;
    void SetStartEnabled(bool enabled) override;
    void SetPauseEnabled(bool enabled) override;
    void SetPauseCaption(PauseCaption caption) override;
    void SetCheckEnabled(bool enabled) override;
    void ShowKeyedText(const std::string& cp1251, int caret) override;
    void ClearKeyedText() override;
    void ShowAudioOpenError(audio::MMResult result) override;
    void ShowFileError(const files::FileError& error) override;

    std::string KeyboardText() const;

    MessagePresenter& messages_;
    QDialog* about_ = nullptr;
    FileChooser chooseFile_;
    QtNotificationQueue* notifications_ = nullptr;
    std::unique_ptr<TrainerSession> session_;
    std::unique_ptr<LearnerProgress> progress_;
    LessonTab* lessonTab_ = nullptr;
    BandTab* bandTab_ = nullptr;
    RecognitionDrills* drills_ = nullptr;
    AudioExportCommand* exportCommand_ = nullptr;
    // What the text window holds, which a new word extends.
    std::string shownText_;
    // What the texts that change with the run show, kept so that they can be worded again: the
    // status (none before the first run), the pause caption (none before
    // the first run), which change set the caption last.
    Language language_ = Language::Russian;
    std::optional<RunStatus> status_;
    std::optional<PauseCaption> pauseCaption_;
    bool captionBySpeed_ = false;

    QMenu* N1 = nullptr;            // "&Файл"
    QMenu* LanguageMenu = nullptr;  // "Язык / &Language"
    QMenu* N11 = nullptr;           // "&Справка"
    QAction* RussianItem = nullptr;
    QAction* EnglishItem = nullptr;
    // Commands: the menu items are never disabled, the tool buttons follow the run state.
    QAction* N4 = nullptr;           // "Пуск", Ctrl+Enter
    QAction* N5 = nullptr;           // "Пауза", Ctrl+P
    QAction* N6 = nullptr;           // "Открыть файл", Ctrl+O
    QAction* N14 = nullptr;          // "Выход", Alt+F4
    QAction* N12 = nullptr;          // "О программе", F1
    QAction* ExportAudio = nullptr;  // "Сохранить как звук...", Ctrl+S
    QAction* StartBtnTool = nullptr;
    QAction* PauseBtnTool = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* ToolButton5 = nullptr;
    QAction* ToolButton1 = nullptr;

    QTabWidget* PageControl2 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QPlainTextEdit* TextWin = nullptr;
    QPushButton* StartBtn = nullptr;
    QPushButton* PauseBtn = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QGroupBox* SpeedGroup = nullptr;
    QGroupBox* SpacingGroup = nullptr;
    QGroupBox* PitchGroup = nullptr;
    QGroupBox* VolumeGroup = nullptr;
    QGroupBox* TextTypeGroup = nullptr;
    QGroupBox* NoiseGroup = nullptr;
    QLabel* SpacingNormalLabel = nullptr;
    QLabel* SpacingLongLabel = nullptr;
    QSlider* SpeedTrackBar = nullptr;
    QSlider* SpacingTrackBar = nullptr;
    QSlider* PitchTrackBar = nullptr;
    QSlider* VolTrackBar = nullptr;
    QButtonGroup* TextType = nullptr;
    QPushButton* TextFileBtn = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QLabel* StatusText = nullptr;
    // Speaks the run state and the hints of the track bars through the screen reader.
    Announcer* announcer_ = nullptr;
    QWidget* firstInTabOrder_ = nullptr;
};

}  // namespace vantrel
