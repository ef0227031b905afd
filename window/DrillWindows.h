// The recognition drills' windows, both modeless, opened from the menu: the character drill
// ("Узнавание знаков", Ctrl+R) and the call-sign sprint ("Позывные", Ctrl+L). They hand the
// learner's choices and keys to the session and show what it returns; the result of each answer
// and each new state is spoken once through their Announcer.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <vector>

#include "trainer/TrainerSession.h"

class QAction;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace vantrel {

class Announcer;
class MessagePresenter;

// The character drill's answer field: a key that types a character is the answer, taken with
// its event's time stamp, and is not written into the field.
class AnswerField : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;

  signals:
    void Typed(const QString& text, quint64 timestampMs);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// What both drills' windows share: the session and the messages they report to, the announcer,
// the start/stop and close buttons below the drill's own fields, and a drill stopped when its
// window is closed (not when it is minimised).
class DrillWindow : public QDialog {
    Q_OBJECT
  public:
    Announcer& Announcements() const { return *announcer_; }

  protected:
    DrillWindow(TrainerSession& session, MessagePresenter& messages, const char* startName,
                QWidget* parent);

    virtual bool Running() const = 0;
    virtual void StopDrill() = 0;
    virtual void RetranslateUi() = 0;
    // The button's words; the windows add which of their fields may change.
    virtual void ShowRunning(bool running);
    // The start/stop and close buttons, side by side.
    QHBoxLayout* ButtonRow();
    void RetranslateButtons();
    void ShowFailure(audio::MMResult error);
    void ShowNotices(const std::vector<progress::HistoryNotice>& notices);
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    TrainerSession& session_;
    MessagePresenter& messages_;
    Announcer* announcer_;
    QPushButton* startStop_;
    QPushButton* close_;
    std::vector<QLabel*> captions_;
};

class CharacterDrillWindow : public DrillWindow, private CharacterDrillView {
    Q_OBJECT
  public:
    CharacterDrillWindow(TrainerSession& session, MessagePresenter& messages,
                         QWidget* parent = nullptr);
    ~CharacterDrillWindow() override;

    // Start or stop, as the button says.
    void StartStopClick();
    // The key typed (UTF-8 text of one character) at the event's stamp.
    void Type(const QString& text, quint64 timestampMs);
    QLabel* Result() const { return result_; }

  signals:
    // An answer was stored: the lesson's knowledge may have changed.
    void Answered();

  private:
    bool Running() const override;
    void StopDrill() override;
    void RetranslateUi() override;
    void DrillFailed(audio::MMResult error) override { ShowFailure(error); }
    void HistoryNotices(const std::vector<progress::HistoryNotice>& notices) override {
        ShowNotices(notices);
    }
    void CharacterAsked() override {}
    void AnswerGraded(const progress::DrillAnswer& answer,
                      const progress::CharacterMastery& mastery) override;
    void ShowRunning(bool running) override;

    QComboBox* set_;
    QSpinBox* speed_;
    QSpinBox* target_;
    QSpinBox* pause_;
    AnswerField* answer_;
    QLabel* result_;
    QLabel* totals_;
    int answers_ = 0;
    int right_ = 0;
};

class SprintWindow : public DrillWindow, private SprintView {
    Q_OBJECT
  public:
    SprintWindow(TrainerSession& session, MessagePresenter& messages, QWidget* parent = nullptr);
    ~SprintWindow() override;

    void StartStopClick();
    // Enter in the copy field.
    void AnswerEntered();
    // F6.
    void RepeatCall();
    QLineEdit* Copy() const { return copy_; }
    QTableWidget* Calls() const { return calls_; }
    QLabel* State() const { return state_; }

  private:
    bool Running() const override;
    void StopDrill() override;
    void RetranslateUi() override;
    void DrillFailed(audio::MMResult error) override { ShowFailure(error); }
    void HistoryNotices(const std::vector<progress::HistoryNotice>& notices) override {
        ShowNotices(notices);
    }
    void CallKeyed(int number, int speed) override;
    void CallGraded(const progress::SprintCall& call) override;
    void SprintFinished(const progress::SprintRun& run) override;
    void ShowRunning(bool running) override;

    QSpinBox* speed_;
    QLineEdit* copy_;
    QLabel* state_;
    QTableWidget* calls_;
};

// The menu items and the windows they open, made at first use.
class RecognitionDrills : public QObject {
    Q_OBJECT
  public:
    RecognitionDrills(TrainerSession& session, MessagePresenter& messages, QWidget* window);

    QAction* CharacterDrillAction() const { return characterAction_; }
    QAction* SprintAction() const { return sprintAction_; }
    CharacterDrillWindow* CharacterDrill() const { return characterDrill_; }
    SprintWindow* Sprint() const { return sprint_; }
    void ShowCharacterDrill();
    void ShowSprint();
    // Destroys the windows made so far.
    void CloseWindows();

  signals:
    void Answered();

  protected:
    // A change of language re-words the menu items (the windows re-word themselves).
    bool event(QEvent* event) override;

  private:
    void RetranslateUi();

    TrainerSession& session_;
    MessagePresenter& messages_;
    QWidget* window_;
    QAction* characterAction_;
    QAction* sprintAction_;
    QPointer<CharacterDrillWindow> characterDrill_;
    QPointer<SprintWindow> sprint_;
};

}  // namespace vantrel
