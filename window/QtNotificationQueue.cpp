#include "window/QtNotificationQueue.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <utility>

namespace vantrel {

QtNotificationQueue::QtNotificationQueue(QObject* parent) : QObject(parent) {}

void QtNotificationQueue::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void QtNotificationQueue::RunUntil(const std::function<bool()>& done) {
    // Wakes the wait now and then, so that `done` is asked again when nothing happens.
    QTimer recheck;
    recheck.start(kRecheck);
    while (!done()) {
        if (idle_) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (!done()) {
                idle_();
            }
        } else {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
}

}  // namespace vantrel
