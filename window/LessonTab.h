// The tab "Урок": the Koch lesson that the text types "Урок" and "Слабые знаки" draw their
// characters from (alphabet and lesson, with the lesson's characters shown and those the
// character drill finds known), the button that takes the next lesson once a check or the drill
// has earned it, and the start delay.
#pragma once

#include <QWidget>
#include <vector>

#include "progress/KochLessons.h"
#include "trainer/TrainerSession.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace vantrel {

class LessonTab : public QWidget {
    Q_OBJECT
  public:
    // Shows the session's lesson settings and hands it every change.
    explicit LessonTab(TrainerSession& session, QWidget* parent = nullptr);

    // The tab's controls in keyboard order.
    std::vector<QWidget*> TabOrder() const;
    // Puts the session's alphabet, lesson and start delay on the controls.
    void ShowSettings();
    // A check has earned the next lesson: "Следующий урок" takes the learner there.
    void OfferNextLesson();
    // Shows which of the lesson's characters the drill finds known; all of them offer the next
    // lesson.
    void ShowKnowledge();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void RetranslateUi();
    void AlphabetChange();
    void LessonChange();
    void NextLessonBtnClick();

    TrainerSession& session_;

    QLabel* AlphabetLabel = nullptr;
    QLabel* LessonLabel = nullptr;
    QLabel* LessonCharsLabel = nullptr;
    QLabel* KnownCharsLabel = nullptr;
    QLabel* StartDelayLabel = nullptr;
    QComboBox* AlphabetBox = nullptr;
    QSpinBox* LessonSpin = nullptr;
    QLabel* LessonChars = nullptr;
    QLabel* KnownChars = nullptr;
    QPushButton* NextLessonBtn = nullptr;
    QSpinBox* StartDelaySpin = nullptr;
};

}  // namespace vantrel
