#include "platform/audio/PulseContext.h"

#include <algorithm>
#include <mutex>

namespace vantrel::audio {

namespace {

// Longest single sleep of a waiter between looks, in case a change came without a Poke.
constexpr auto kWaitSlice = std::chrono::milliseconds(20);

bool Failed(pa_context_state_t state) {
    return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED;
}

}  // namespace

std::shared_ptr<PulseContext> PulseContext::Acquire() {
    // One instance for the process, kept alive by its users only.
    static std::mutex mutex;
    static std::weak_ptr<PulseContext> shared;
    std::lock_guard lock(mutex);
    std::shared_ptr<PulseContext> pulse = shared.lock();
    if (!pulse) {
        pulse = std::make_shared<PulseContext>();
        if (!pulse->Started()) {
            return nullptr;
        }
        shared = pulse;
    }
    return pulse;
}

PulseContext::PulseContext() {
    loop_ = pa_threaded_mainloop_new();
    if (loop_) {
        // Before the start: named later, libpulse would name the calling thread instead.
        pa_threaded_mainloop_set_name(loop_, "vantrel-pulse");
    }
    if (loop_ && pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }
}

PulseContext::~PulseContext() {
    if (!loop_) {
        return;
    }
    {
        Lock lock(*this);
        DropContextLocked();
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

PulseContext::Lock::Lock(PulseContext& pulse) : loop_(pulse.loop_) {
    pa_threaded_mainloop_lock(loop_);
}

PulseContext::Lock::~Lock() {
    Release();
}

void PulseContext::Lock::Release() {
    if (held_) {
        held_ = false;
        pa_threaded_mainloop_unlock(loop_);
    }
}

void PulseContext::OnContextState(pa_context*, void* self) {
    static_cast<PulseContext*>(self)->Poke();
}

void PulseContext::DropContextLocked() {
    if (!context_) {
        return;
    }
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

pa_context* PulseContext::Context() const {
    if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY) {
        return context_;
    }
    return nullptr;
}

bool PulseContext::Connect(Deadline deadline) {
    if (!loop_) {
        return false;
    }
    {
        Lock lock(*this);
        if (!context_ || Failed(pa_context_get_state(context_))) {
            DropContextLocked();
            pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
            context_ = pa_context_new(api, "Vantrel");
            if (!context_) {
                return false;
            }
            ++generation_;
            pa_context_set_state_callback(context_, &PulseContext::OnContextState, this);
            // Never start a server of our own: no server means the fallback backend.
            if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
                DropContextLocked();
                return false;
            }
        }
    }
    bool ready = false;
    WaitUntil(
        [&] {
            const pa_context_state_t state =
                context_ ? pa_context_get_state(context_) : PA_CONTEXT_FAILED;
            ready = state == PA_CONTEXT_READY;
            return ready || Failed(state);
        },
        deadline);
    return ready;
}

namespace {

struct SinkQuery {
    std::vector<PulseSink> sinks;
    std::string defaultSink;
    PulseContext* pulse = nullptr;
};

void OnSink(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto* query = static_cast<SinkQuery*>(userdata);
    if (eol == 0 && info) {
        query->sinks.push_back(
            {info->name ? info->name : "", info->description ? info->description : ""});
    }
    query->pulse->Poke();
}

void OnServer(pa_context*, const pa_server_info* info, void* userdata) {
    auto* query = static_cast<SinkQuery*>(userdata);
    if (info && info->default_sink_name) {
        query->defaultSink = info->default_sink_name;
    }
    query->pulse->Poke();
}

}  // namespace

bool PulseContext::ReadSinks(std::vector<PulseSink>& sinks, std::string& defaultSink,
                             Deadline deadline) {
    if (!Connect(deadline)) {
        return false;
    }
    SinkQuery query;
    query.pulse = this;
    pa_operation* listing = nullptr;
    pa_operation* server = nullptr;
    {
        Lock lock(*this);
        pa_context* context = Context();
        if (!context) {
            return false;
        }
        listing = pa_context_get_sink_info_list(context, &OnSink, &query);
        server = pa_context_get_server_info(context, &OnServer, &query);
    }
    auto done = [](pa_operation* op) {
        return !op || pa_operation_get_state(op) != PA_OPERATION_RUNNING;
    };
    const bool finished = WaitUntil([&] { return done(listing) && done(server); }, deadline);
    Lock lock(*this);
    bool complete = finished && listing && server;
    for (pa_operation* op : {listing, server}) {
        if (!op) {
            continue;
        }
        // A late answer must not write into the query once it is gone.
        if (pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
            pa_operation_cancel(op);
        }
        complete = complete && pa_operation_get_state(op) == PA_OPERATION_DONE;
        pa_operation_unref(op);
    }
    if (complete) {
        sinks = std::move(query.sinks);
        defaultSink = std::move(query.defaultSink);
    }
    return complete;
}

bool PulseContext::WaitUntil(const std::function<bool()>& ready, Deadline deadline) {
    for (;;) {
        {
            Lock lock(*this);
            if (ready()) {
                return true;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        (void)changed_.WaitUntil(std::min(deadline, now + kWaitSlice));
    }
}

}  // namespace vantrel::audio
