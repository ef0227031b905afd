#include "window/ThemeColours.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace vantrel {
namespace {

const QColor kCopyGround(0xE8, 0xE8, 0xE8);
const QColor kCopyText(0x00, 0x00, 0x80);

bool IsLightScheme(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Base).lightnessF() >= 0.8 &&
           palette.color(QPalette::Active, QPalette::Text).lightnessF() < 0.5;
}

void ApplyCopyColours(QWidget* area) {
    QPalette palette = QApplication::palette(area);
    if (IsLightScheme(palette)) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Base, kCopyGround);
        }
        palette.setColor(QPalette::Active, QPalette::Text, kCopyText);
        palette.setColor(QPalette::Inactive, QPalette::Text, kCopyText);
    }
    area->setPalette(palette);
}

// Watches the application, which hears of every change of the scheme.
class SchemeFollower : public QObject {
  public:
    explicit SchemeFollower(QWidget* area) : QObject(area), area_(area) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() &&
            event->type() == QEvent::ApplicationPaletteChange) {
            ApplyCopyColours(area_);
        }
        return false;
    }

  private:
    QWidget* area_;
};

}  // namespace

void FollowThemeInCopyArea(QWidget* copyArea) {
    ApplyCopyColours(copyArea);
    QCoreApplication::instance()->installEventFilter(new SchemeFollower(copyArea));
}

}  // namespace vantrel
