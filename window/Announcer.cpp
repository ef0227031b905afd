#include "window/Announcer.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QComboBox>
#include <QWidget>

namespace vantrel {
namespace {

// One announcement. A screen reader reads its text a moment after it has been told of it, so
// each announcement keeps its own text until several later ones have come.
class Notice : public QObject {
  public:
    explicit Notice(QObject* parent) : QObject(parent) {}
    QString text;
};

// A notice as screen readers see it: a notification named by its text, a child of the window
// that has no place on the screen.
class AccessibleNotice : public QAccessibleObject {
  public:
    AccessibleNotice(Notice* notice, QWidget* window)
        : QAccessibleObject(notice), notice_(notice), window_(window) {}

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(window_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Name ? notice_->text : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }

  private:
    Notice* notice_;
    QWidget* window_;
};

}  // namespace

Announcer::Announcer(QWidget* window) : QObject(window) {
    setObjectName(QLatin1String("Announcer"));
    for (QObject*& notice : notices_) {
        auto* made = new Notice(this);
        QAccessible::registerAccessibleInterface(new AccessibleNotice(made, window));
        notice = made;
    }
}

void Announcer::Announce(const QString& text) {
    text_ = text;
    next_ = (next_ + 1) % notices_.size();
    auto* notice = static_cast<Notice*>(notices_[next_]);
    notice->text = text;
    QAccessibleEvent event(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
    emit Announced(text_);
}

void SpeakChoices(QComboBox* box, Announcer& announcer) {
    box->setAccessibleDescription(box->currentText());
    QObject::connect(box, &QComboBox::currentIndexChanged, &announcer, [box, &announcer] {
        box->setAccessibleDescription(box->currentText());
        if (box->hasFocus()) {
            announcer.Announce(box->currentText());
        }
    });
}

}  // namespace vantrel
