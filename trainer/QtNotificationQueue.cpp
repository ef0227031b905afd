#include "trainer/QtNotificationQueue.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <utility>

namespace vantrel {

QtNotificationQueue::QtNotificationQueue(QObject* parent) : QObject(parent) {}

void QtNotificationQueue::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void QtNotificationQueue::RunUntil(const std::function<bool()>& done) {
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
