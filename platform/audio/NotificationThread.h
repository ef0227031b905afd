// The thread on which one stream delivers its notifications.
//
// Work posted from any thread runs on this thread, one item at a time, in posting order, never
// inside Post. A real-time producer that must not lock or allocate calls Wake instead; the
// thread then runs its drain routine (only then, so that posted work costs no drain), which
// turns whatever that producer handed over (through a lock-free queue of the owner's) into
// posted work. Stop drops the work not yet started and
// returns once no work item is running; after it nothing more runs.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace vantrel::audio {

class NotificationThread {
  public:
    using Work = std::function<void()>;

    // `drain`, when given, runs on the thread after a Wake, before the next look at the posted
    // work; it may Post.
    explicit NotificationThread(Work drain = {});
    ~NotificationThread();

    NotificationThread(const NotificationThread&) = delete;
    NotificationThread& operator=(const NotificationThread&) = delete;

    // Thread-safe. Work posted after Stop is dropped.
    void Post(Work work);
    // Like Post, but the work runs no earlier than `after` from now (still in posting order).
    void PostAfter(std::chrono::nanoseconds after, Work work);
    // Lock-free and allocation-free: safe from an audio callback.
    void Wake() noexcept;
    // Work posted from now on runs no earlier than `delay` after it was posted.
    void SetDelay(std::chrono::nanoseconds delay);
    // Waits until every item posted so far has run or been dropped. Returns at once on this
    // thread or after Stop.
    void Flush();
    // Drops pending work and waits until the running item, if any, has returned. Called on the
    // thread itself (from inside a work item) it only marks the thread stopped; the thread then
    // ends by itself once the item returns.
    void Stop();

    // True on this thread.
    bool OnThread() const;
    // True on any NotificationThread while it runs a work item.
    static bool InsideWork();

  private:
    struct Core;
    std::shared_ptr<Core> core_;  // shared with the thread, which may outlive this object
    std::thread thread_;
};

}  // namespace vantrel::audio
