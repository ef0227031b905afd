// Runs the audio device's notifications on the window's thread, through Qt's event queue.
#pragma once

#include <QObject>
#include <functional>
#include <utility>

#include "trainer/PlaybackEngine.h"

namespace vantrel {

class QtNotificationQueue : public QObject, public NotificationQueue {
    Q_OBJECT
  public:
    explicit QtNotificationQueue(QObject* parent = nullptr);

    // Queued events to one receiver are delivered in posting order; posting is thread-safe.
    void Post(std::function<void()> work) override;
    // A nested loop that dispatches every event (user input included) until `done()` holds.
    void RunUntil(const std::function<bool()>& done) override;

    // Called by RunUntil instead of waiting for the next event, when set (a test advances a
    // virtual device's clock there).
    using IdleHook = std::function<void()>;
    void SetIdleHook(IdleHook idle) { idle_ = std::move(idle); }

  private:
    IdleHook idle_;
};

}  // namespace vantrel
