// The trainer's main window: the keyed text with Start and Pause above, the settings, the copy
// and the keyboard text in tabs below, a menu and a status bar.
//
// The window is thin: it shows what the playback engine, the text builder and the copy check
// decide, and keeps only the state of its controls. Every control carries its designer name as
// object name, so tests find it with findChild.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/audio/WaveOut.h"
#include "trainer/Keyer.h"
#include "trainer/PlaybackEngine.h"
#include "trainer/ResultLog.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QLabel;
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
class LessonTab;
class Announcer;
class MessagePresenter;
class PracticeTextBuilder;
class QtNotificationQueue;
class InterferenceControls;
class LearnerProgress;
class Random;
struct ContactTexts;

namespace settings {
class SettingsBackend;
}

class TMorseMain : public QMainWindow, private PlaybackView, private PlaybackHost {
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
    // Replaces the clock of the result log (tests).
    void SetTimeOfDayClock(TimeOfDayClock clock);

    AudioExportCommand& AudioExporter() { return *exportCommand_; }

    const PlaybackEngine& Engine() const { return *engine_; }
    // The noise and tone sources of the group " Шумы ".
    InterferenceControls& Interference() { return *interference_; }
    QtNotificationQueue& Notifications() { return *notifications_; }
    // The comparison of each check, the learner's history and the statistics window.
    LearnerProgress& Progress() { return *progress_; }
    const std::filesystem::path& TextFileName() const { return textFileName_; }

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
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    // Layout.
    void CreateActions();
    void CreateMenus();
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
    QWidget* FirstTabStop() const;
    void FixWindowSize();

    // Creation and destruction.
    void FormCreate();
    void FormDestroy();
    int TextTypeIndex() const;
    void SetTextTypeIndex(int index);

    // PlaybackView.
    void SetStatusText(const std::string& text) override;
    void SetStartEnabled(bool enabled) override;
    void SetPauseEnabled(bool enabled) override;
    void SetPauseCaption(const std::string& caption) override;
    void SetCheckEnabled(bool enabled) override;
    void ShowKeyedText(const std::string& cp1251, int caret) override;
    void ClearKeyedText() override;
    void ShowWarning(const std::string& text) override;

    // PlaybackHost.
    void ApplyTiming() override;
    bool BuildPracticeText(std::string& text, int32_t& cursor) override;

    std::string CopyText() const;

    audio::WaveOutSystem& audio_;
    settings::SettingsBackend& settings_;
    MessagePresenter& messages_;
    QDialog* about_ = nullptr;
    FileChooser chooseFile_;

    Keyer keyer_;
    // The keyed text's device calls never hold up the window for long.
    std::unique_ptr<audio::WaveOutSystem> keyingAudio_;
    std::unique_ptr<Random> random_;
    std::unique_ptr<ContactTexts> contactTexts_;
    std::unique_ptr<PracticeTextBuilder> builder_;
    QtNotificationQueue* notifications_ = nullptr;
    std::unique_ptr<PlaybackEngine> engine_;
    std::unique_ptr<InterferenceControls> interference_;
    std::unique_ptr<LearnerProgress> progress_;
    ResultLog resultLog_;
    std::filesystem::path textFileName_;
    LessonTab* lessonTab_ = nullptr;
    AudioExportCommand* exportCommand_ = nullptr;
    // The text window's content as keyed (Windows-1251, CR LF kept), which the copy check reads.
    std::string shownText_;

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
