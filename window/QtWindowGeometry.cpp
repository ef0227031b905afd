#include "window/QtWindowGeometry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vantrel {

int QtWindowGeometry::Top() const {
    return window_.frameGeometry().top();
}

int QtWindowGeometry::Left() const {
    return window_.frameGeometry().left();
}

int QtWindowGeometry::Width() const {
    return window_.frameGeometry().width();
}

int QtWindowGeometry::Height() const {
    return window_.frameGeometry().height();
}

WindowState QtWindowGeometry::State() const {
    if (window_.isMinimized()) {
        return WindowState::Minimized;
    }
    if (window_.isMaximized()) {
        return WindowState::Maximized;
    }
    return WindowState::Normal;
}

void QtWindowGeometry::SetTop(int top) {
    window_.move(window_.pos().x(), top);
}

void QtWindowGeometry::SetLeft(int left) {
    window_.move(left, window_.pos().y());
}

// The frame adds the same amount to the outer size whatever the client size.
void QtWindowGeometry::SetWidth(int width) {
    const int frame = window_.frameGeometry().width() - window_.width();
    window_.resize(width - frame, window_.height());
}

void QtWindowGeometry::SetHeight(int height) {
    const int frame = window_.frameGeometry().height() - window_.height();
    window_.resize(window_.width(), height - frame);
}

void QtWindowGeometry::Maximize() {
    window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
}

int QtWindowGeometry::ScreenWidth() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 0;
}

void QtWindowGeometry::ProcessPendingEvents() {
    QCoreApplication::sendPostedEvents(&window_);
}

}  // namespace vantrel
