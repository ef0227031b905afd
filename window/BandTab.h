// The tab "Эфир": the band conditions of the keyed tone (band/BandSettings.h): on or off, the
// profile, and the values a profile sets, each control named for screen readers and the
// sliders valued in their units. Every change goes to the session, which decides what it comes
// to (a profile sets its values, a changed value makes the profile "Свой"); the tab then shows
// what the session kept. The names of the profiles, fading kinds and filters are said here.
#pragma once

#include <QWidget>
#include <vector>

#include "trainer/TrainerSession.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace vantrel {

class BandTab : public QWidget {
    Q_OBJECT
  public:
    // Shows the session's band conditions and hands it every change.
    explicit BandTab(TrainerSession& session, QWidget* parent = nullptr);

    // The tab's controls in keyboard order.
    std::vector<QWidget*> TabOrder() const;
    // The sliders, whose values with their units are their hints, and the combo boxes.
    std::vector<QSlider*> Sliders() const;
    std::vector<QComboBox*> Choices() const;
    // Puts the session's band conditions on the controls.
    void ShowSettings();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QSlider* MakeSlider(const char* name, int min, int max);
    void RetranslateUi();
    // What the controls show now.
    band::BandSettings Shown() const;
    void Change();

    TrainerSession& session_;

    QCheckBox* BandBox = nullptr;
    QComboBox* ProfileBox = nullptr;
    QSlider* SnrBar = nullptr;
    QComboBox* FadingBox = nullptr;
    QSlider* DepthBar = nullptr;
    QSlider* StaticBar = nullptr;
    QSpinBox* StationsSpin = nullptr;
    QComboBox* FilterBox = nullptr;
    QCheckBox* AgcBox = nullptr;
    // The form's labels, in the order of the controls they name (ProfileBox to FilterBox).
    std::vector<QLabel*> labels_;
    // The sliders' values in their units, beside them.
    std::vector<QLabel*> shown_;
};

}  // namespace vantrel
