// The tab "Урок": the Koch lesson that the text types "Урок" and "Слабые знаки" draw their
// characters from (alphabet and lesson, with the lesson's characters shown), the button that
// takes the next lesson once a check has earned it, and the start delay.
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "progress/KochLessons.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace vantrel {

class LessonTab : public QWidget {
    Q_OBJECT
  public:
    explicit LessonTab(QWidget* parent = nullptr);

    progress::KochAlphabet Alphabet() const;
    int Lesson() const;
    int StartDelaySeconds() const;
    // The tab's controls in keyboard order.
    std::vector<QWidget*> TabOrder() const;

    // Stored values; out of range they are brought to the nearest end. Set the alphabet first,
    // since it fixes the last lesson.
    void SetAlphabet(int number);
    void SetLesson(int lesson);
    void SetStartDelaySeconds(int seconds);

    // After a check of a lesson text: when the copy earns it and a next lesson exists, offers
    // it (enables "Следующий урок") and returns the message that says so (UTF-8).
    std::optional<std::string> AfterCheck(std::string_view keyedCp1251,
                                          std::string_view copyCp1251);

  signals:
    void startDelayChanged(int seconds);

  private:
    void AlphabetChange();
    void LessonChange();
    void NextLessonBtnClick();

    QComboBox* AlphabetBox = nullptr;
    QSpinBox* LessonSpin = nullptr;
    QLabel* LessonChars = nullptr;
    QPushButton* NextLessonBtn = nullptr;
    QSpinBox* StartDelaySpin = nullptr;
};

}  // namespace vantrel
