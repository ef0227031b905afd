#include "window/AccessibleSlider.h"

#include <QAbstractSlider>
#include <QScrollBar>

#include "window/Announcer.h"

namespace vantrel {

AccessibleSlider::AccessibleSlider(QAbstractSlider* slider, SpokenScale scale)
    : QAccessibleWidget(slider, qobject_cast<QScrollBar*>(slider) != nullptr
                                    ? QAccessible::ScrollBar
                                    : QAccessible::Slider),
      scale_(scale) {}

void AccessibleSlider::Install(QAbstractSlider* slider, SpokenScale scale) {
    QAccessible::registerAccessibleInterface(new AccessibleSlider(slider, scale));
}

void* AccessibleSlider::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleSlider::text(QAccessible::Text type) const {
    switch (type) {
        case QAccessible::Name:
            return widget()->accessibleName();
        case QAccessible::Value:
            return widget()->toolTip().isEmpty() ? QString::number(currentValue().toInt())
                                                 : widget()->toolTip();
        default:
            return QAccessibleWidget::text(type);
    }
}

// The caption is the name: neither an end label nor the group box labels the control.
QList<QPair<QAccessibleInterface*, QAccessible::Relation>> AccessibleSlider::relations(
    QAccessible::Relation match) const {
    auto all = QAccessibleWidget::relations(match);
    all.removeIf([](const auto& relation) { return relation.second & QAccessible::Label; });
    return all;
}

QVariant AccessibleSlider::currentValue() const {
    return scale_.ValueAt(Slider()->value());
}

void AccessibleSlider::setCurrentValue(const QVariant& value) {
    Slider()->setValue(scale_.PositionFor(value.toDouble()));
}

QVariant AccessibleSlider::maximumValue() const {
    return scale_.MaximumValue();
}

QVariant AccessibleSlider::minimumValue() const {
    return scale_.MinimumValue();
}

QVariant AccessibleSlider::minimumStepSize() const {
    return scale_.unitsPerStep;
}

QAbstractSlider* AccessibleSlider::Slider() const {
    return static_cast<QAbstractSlider*>(widget());
}

void AnnounceHintChanges(QAbstractSlider* slider, Announcer& announcer) {
    QObject::connect(
        slider, &QAbstractSlider::valueChanged, &announcer,
        [slider, &announcer, spoken = slider->toolTip()]() mutable {
            const QString hint = slider->toolTip();
            QAccessibleInterface* self = QAccessible::queryAccessibleInterface(slider);
            const QAccessibleValueInterface* value = self ? self->valueInterface() : nullptr;
            const bool justTheNumber =
                value != nullptr && hint == QString::number(value->currentValue().toInt());
            if (slider->hasFocus() && hint != spoken && !justTheNumber) {
                announcer.Announce(hint);
            }
            spoken = hint;
        });
}

}  // namespace vantrel
