// Speaks short texts through the screen reader without moving the focus: each Announce shows an
// accessible notification of the window that carries the text, and screen readers read a
// notification out once as it appears. Nothing is drawn. (Name changes of a label away from the
// focus are not read, and Qt 6.4 has no announcement event.)
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstddef>

class QComboBox;
class QWidget;

namespace vantrel {

class Announcer : public QObject {
    Q_OBJECT
  public:
    // The notification belongs to `window` and lives as long as it.
    explicit Announcer(QWidget* window);

    void Announce(const QString& text);
    // The text of the last announcement.
    const QString& Text() const { return text_; }

  signals:
    // After each announcement.
    void Announced(const QString& text);

  private:
    // Used in turn, so that the text of an announcement stays while the screen reader reads it.
    std::array<QObject*, 8> notices_{};
    std::size_t next_ = 0;
    QString text_;
};

// Qt 6.4 gives screen readers neither the choice of a combo box nor its change (Orca says only
// the label and the role): `box` carries its choice as its description, which is read with the
// focus, and `announcer` speaks a new choice made while the box has the focus.
void SpeakChoices(QComboBox* box, Announcer& announcer);

}  // namespace vantrel
