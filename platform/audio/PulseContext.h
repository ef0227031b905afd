// The process's one connection to the desktop's sound server (PulseAudio, or PipeWire through its
// PulseAudio server): a libpulse threaded main loop and a context on it, shared by every stream.
//
// Acquire hands out the one instance, made on first use and ended with its last holder. The
// context is connected on demand (never spawning a server) and made anew after the server went
// away, so a server that comes back is found again without a restart. Every wait for the server
// is bounded.
//
// All libpulse calls on the context, and everything a stream's libpulse callbacks touch, happen
// under the loop's lock (Lock below); the callbacks themselves run on the loop's thread with that
// lock held. Never wait for the server while holding the lock.
#pragma once

#include <pulse/pulseaudio.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/WakeSignal.h"

namespace vantrel::audio {

struct PulseSink {
    std::string name;         // the server's name for it
    std::string description;  // what the desktop shows
};

class PulseContext {
  public:
    using Deadline = std::chrono::steady_clock::time_point;

    // The process's instance; empty when libpulse cannot even start its loop.
    static std::shared_ptr<PulseContext> Acquire();

    PulseContext();
    ~PulseContext();
    PulseContext(const PulseContext&) = delete;
    PulseContext& operator=(const PulseContext&) = delete;

    // Holds the loop's lock for its scope; may be released early. Not on the loop's thread.
    class Lock {
      public:
        explicit Lock(PulseContext& pulse);
        ~Lock();
        void Release();

      private:
        pa_threaded_mainloop* loop_;
        bool held_ = true;
    };

    bool Started() const { return loop_ != nullptr; }
    pa_threaded_mainloop* Loop() const { return loop_; }

    // Connects when not connected (a new context when the last one failed) and waits for the
    // server until `deadline`. True when connected. Without the lock.
    bool Connect(Deadline deadline);
    // Reads the server's sinks in its order and the default sink's name. Without the lock.
    bool ReadSinks(std::vector<PulseSink>& sinks, std::string& defaultSink, Deadline deadline);

    // Under the lock: the connected context, or nullptr.
    pa_context* Context() const;
    // Under the lock: counts the contexts made, so users can tell a new server from the old.
    uint64_t Generation() const { return generation_; }

    // Waits without the lock until `ready` (checked under the lock) holds; false at `deadline`.
    // Loop callbacks that change what a waiter looks at call Poke.
    bool WaitUntil(const std::function<bool()>& ready, Deadline deadline);
    // Lock-free and allocation-free: wakes the waiters.
    void Poke() noexcept { changed_.Signal(); }

  private:
    static void OnContextState(pa_context* context, void* self);
    void DropContextLocked();

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;  // under the lock
    uint64_t generation_ = 0;        // under the lock
    WakeSignal changed_;
};

}  // namespace vantrel::audio
