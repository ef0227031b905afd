// What screen readers get from the window's track bars and its noise level scroll bar: the
// control's own accessible name (no end label or group box takes its place), a value that grows
// with what the control sets (groups per minute, hertz, loudness), and the hint as value text.
#pragma once

#include <QAccessibleWidget>

#include "trainer/TrackBarHints.h"

class QAbstractSlider;

namespace vantrel {

class Announcer;

class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    AccessibleSlider(QAbstractSlider* slider, SpokenScale scale);

    // Gives `slider` this interface. Call it right after creating the slider, before anything
    // asks for the slider's accessibility.
    static void Install(QAbstractSlider* slider, SpokenScale scale);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

  private:
    QAbstractSlider* Slider() const;

    SpokenScale scale_;
};

// Has `announcer` speak the hint of `slider` when it changes while the slider has the focus
// and says more than the number the screen reader reads anyway ("13 гр./мин.", "Увеличенные
// паузы"). Connect it after the handler that sets the hint.
void AnnounceHintChanges(QAbstractSlider* slider, Announcer& announcer);

}  // namespace vantrel
