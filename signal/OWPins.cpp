#include "signal/OWPins.h"

#include <algorithm>
#include <typeinfo>
#include <utility>

namespace vantrel::signal {

namespace {

constexpr int32_t kUsageLimit = 10000;
constexpr int32_t kUsageStep = 4;
constexpr size_t kInlineSinks = 4;
constexpr const char* kSelfDependent =
    "The pin depends on itself. Please protect with functional dependency.";

// A copy of a short list kept on the stack, so a send to a few sinks allocates nothing.
template <class T>
class SmallCopy {
  public:
    explicit SmallCopy(const std::vector<T>& items) : size_(items.size()) {
        if (size_ <= kInlineSinks) {
            std::copy(items.begin(), items.end(), inline_.begin());
        } else {
            heap_ = items;
        }
    }
    size_t size() const { return size_; }
    const T& operator[](size_t i) const { return size_ <= kInlineSinks ? inline_[i] : heap_[i]; }

  private:
    size_t size_;
    std::array<T, kInlineSinks> inline_{};
    std::vector<T> heap_;
};

class DepthGuard {
  public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

  private:
    int& depth_;
};

std::string PinText(const TOWPin* pin, const char* none) {
    return pin != nullptr ? pin->DisplayName() : none;
}

}  // namespace

// --- TOWPin ---

TOWPin::TOWPin(TOWComponent* owner, std::string name) : owner_(owner), name_(std::move(name)) {}

std::string TOWPin::DisplayName() const {
    if (owner_ == nullptr) {
        return "(No owner)";
    }
    return owner_->Name() + "." + name_;
}

// --- TOWSourcePin ---

TOWSourcePin::TOWSourcePin(TOWComponent* owner, std::string name, Handler onUpstream,
                           TOWStreamTypeId streamType)
    : TOWStreamPin(owner, std::move(name)),
      onUpstream_(std::move(onUpstream)),
      streamType_(streamType) {}

TOWSourcePin::~TOWSourcePin() {
    DisconnectAll();
}

bool TOWSourcePin::Connect(TOWSinkPin& sink) {
    TOWGlobalWriteLockSection global;
    if (sink.source_ == this) {
        return true;
    }
    if (!sink.Accepts(*this)) {
        return false;
    }
    if (sink.source_ != nullptr) {
        sink.source_->Disconnect(sink);
    }
    {
        // Source before sink, the order in which sends take them.
        TOWWriteLockSection own(*this);
        TOWWriteLockSection sinkLock(sink);
        sink.source_ = this;
        entries_.push_back({&sink, streamType_, 0});
    }
    SinkConnected(sink);
    return true;
}

void TOWSourcePin::Disconnect(TOWSinkPin& sink) {
    TOWGlobalWriteLockSection global;
    TOWWriteLockSection own(*this);
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& entry) { return entry.sink == &sink; });
    if (it == entries_.end()) {
        return;
    }
    entries_.erase(it);
    TOWWriteLockSection sinkLock(sink);
    sink.source_ = nullptr;
}

void TOWSourcePin::DisconnectAll() {
    TOWGlobalWriteLockSection global;
    while (!entries_.empty()) {
        Disconnect(*entries_.back().sink);
    }
}

bool TOWSourcePin::IsConnected() const {
    TOWGlobalReadLockSection global;
    return !entries_.empty();
}

std::vector<TOWSinkPin*> TOWSourcePin::Sinks() const {
    TOWWriteLockSection own(*this);
    std::vector<TOWSinkPin*> sinks;
    sinks.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        sinks.push_back(entry.sink);
    }
    return sinks;
}

std::string TOWSourcePin::SinkPinsText() const {
    std::string text = "(";
    const std::vector<TOWSinkPin*> sinks = Sinks();
    for (size_t i = 0; i < sinks.size(); ++i) {
        text += (i > 0 ? ", " : "") + sinks[i]->DisplayName();
    }
    return text + ")";
}

TOWSourcePin::Entry* TOWSourcePin::FindEntry(const TOWSinkPin* sink) {
    for (Entry& entry : entries_) {
        if (entry.sink == sink) {
            return &entry;
        }
    }
    return nullptr;
}

void TOWSourcePin::Notify(const TOWOperationPtr& operation, TOWSinkPin* target) {
    const TOWOperationPtr held = operation;  // alive until every sink has seen it
    TOWWriteLockSection own(*this);
    if (sendDepth_ > kMaxSendDepth) {
        throw EOWException(kSelfDependent);
    }
    // Handlers may connect or disconnect pins, so iterate over a copy of the entries.
    const SmallCopy<Entry> snapshot(entries_);
    // The mark goes to the last entry of the list, whether or not the send is aimed at it.
    const size_t last = snapshot.size() - 1;
    {
        DepthGuard depth(sendDepth_);
        for (size_t i = 0; i < snapshot.size(); ++i) {
            TOWSinkPin* sink = snapshot[i].sink;
            if ((target != nullptr && sink != target) || FindEntry(sink) == nullptr) {
                continue;  // not addressed, or disconnected by an earlier handler
            }
            bool handled = false;
            try {
                TOWWriteLockSection sinkLock(*sink);
                handled =
                    sink->Receive(snapshot[i].streamType, i == last ? kOWLastReceiver : 0, held);
            } catch (...) {
                // One failing sink must not keep the operation from the others.
            }
            Entry* live = FindEntry(sink);
            if (handled && live != nullptr && live->usage < kUsageLimit) {
                live->usage += kUsageStep;
            }
        }
    }
    UpdateOrder();
}

// Ages the usage counters and moves the busiest sinks to the end. Insertion sort: stable and
// free of allocation for the handful of sinks a pin has.
void TOWSourcePin::UpdateOrder() {
    for (Entry& entry : entries_) {
        if (entry.usage > 0) {
            --entry.usage;
        }
    }
    for (size_t i = 1; i < entries_.size(); ++i) {
        for (size_t j = i; j > 0 && entries_[j - 1].usage > entries_[j].usage; --j) {
            std::swap(entries_[j - 1], entries_[j]);
        }
    }
}

bool TOWSourcePin::ReceiveUpstream(const TOWOperationPtr& operation) {
    return onUpstream_ ? onUpstream_(*this, operation) : false;
}

// --- TOWSinkPin ---

TOWSinkPin::TOWSinkPin(TOWComponent* owner, std::string name, Handler handler)
    : TOWStreamPin(owner, std::move(name)) {
    if (handler) {
        handler_ = [handler = std::move(handler)](TOWSinkPin& pin, const TOWOperationPtr& op,
                                                  TOWNotifyFlags) { return handler(pin, op); };
    }
}

TOWSinkPin::TOWSinkPin(TOWComponent* owner, std::string name, FlagsHandler handler)
    : TOWStreamPin(owner, std::move(name)), handler_(std::move(handler)) {}

TOWSinkPin::~TOWSinkPin() {
    Disconnect();
}

void TOWSinkPin::Disconnect() {
    TOWGlobalWriteLockSection global;
    if (source_ != nullptr) {
        source_->Disconnect(*this);
    }
}

TOWSourcePin* TOWSinkPin::Source() const {
    TOWGlobalReadLockSection global;
    return source_;
}

std::string TOWSinkPin::SourcePinText() const {
    TOWGlobalReadLockSection global;
    return PinText(source_, "(Disconnected)");
}

bool TOWSinkPin::NotifyUpstream(const TOWOperationPtr& operation) {
    const TOWOperationPtr held = operation;
    TOWGlobalReadLockSection global;
    return source_ != nullptr && source_->ReceiveUpstream(held);
}

bool TOWSinkPin::Receive(const TOWStreamTypeId& streamType, TOWNotifyFlags flags,
                         const TOWOperationPtr& operation) {
    (void)streamType;
    return handler_ ? handler_(*this, operation, flags) : false;
}

// --- Stream pins that remember the running stream ---

void TSLOWSourcePin::Notify(const TOWOperationPtr& operation, TOWSinkPin* target) {
    TOWWriteLockSection own(*this);
    TOWSourcePin::Notify(operation, target);
    if (target == nullptr) {
        Remember(operation);
    }
}

void TSLOWSourcePin::Remember(const TOWOperationPtr& operation) {
    if (operation->Is<TOWStartOperation>()) {
        lastStart_ = operation;
    } else if (operation->Is<TOWStopOperation>()) {
        lastStart_.reset();
    }
}

void TSLOWSourcePin::SinkConnected(TOWSinkPin& sink) {
    TOWWriteLockSection own(*this);
    if (lastStart_) {
        Notify(lastStart_, &sink);
    }
}

TALOWAudioSourcePin::TALOWAudioSourcePin(TOWComponent* owner, std::string name, Handler onUpstream)
    : TSLOWSourcePin(owner, std::move(name), std::move(onUpstream), kALAudioStreamType) {}

void TALOWAudioSourcePin::Remember(const TOWOperationPtr& operation) {
    TSLOWSourcePin::Remember(operation);
    if (operation->Is<TOWSLResumeOperation>()) {
        lastResume_ = operation;
    } else if (operation->Is<TOWStopOperation>()) {
        lastResume_.reset();
    }
}

void TALOWAudioSourcePin::SinkConnected(TOWSinkPin& sink) {
    TOWWriteLockSection own(*this);
    TSLOWSourcePin::SinkConnected(sink);
    if (lastResume_) {
        Notify(lastResume_, &sink);
    }
}

// --- TOWClockSinkPin ---

TOWClockSinkPin::TOWClockSinkPin(TOWComponent* owner, std::string name, TickHandler onTick)
    : TOWSinkPin(owner, std::move(name),
                 Handler([onTick = std::move(onTick)](TOWSinkPin& pin, const TOWOperationPtr& op) {
                     if (!op->Is<TOWClockOperation>()) {
                         return false;
                     }
                     if (onTick) {
                         onTick(static_cast<TOWClockSinkPin&>(pin));
                     }
                     return true;
                 })) {}

// --- State pins ---

TOWStatePin::~TOWStatePin() {
    TOWGlobalWriteLockSection global;
    while (!peers_.empty()) {
        Disconnect(*peers_.back());
    }
}

bool TOWStatePin::Connect(TOWStatePin& other) {
    if (&other == this || typeid(other) != typeid(*this)) {
        return false;
    }
    TOWGlobalWriteLockSection global;
    if (std::find(peers_.begin(), peers_.end(), &other) == peers_.end()) {
        peers_.push_back(&other);
        other.peers_.push_back(this);
    }
    return true;
}

void TOWStatePin::Disconnect(TOWStatePin& other) {
    TOWGlobalWriteLockSection global;
    auto mine = std::find(peers_.begin(), peers_.end(), &other);
    if (mine == peers_.end()) {
        return;
    }
    peers_.erase(mine);
    other.peers_.erase(std::find(other.peers_.begin(), other.peers_.end(), this));
}

bool TOWStatePin::IsConnected() const {
    TOWGlobalReadLockSection global;
    return !peers_.empty();
}

void TOWStatePin::Broadcast(const TOWOperationPtr& operation) {
    TOWGlobalReadLockSection global;
    const std::vector<TOWStatePin*> peers = peers_;
    for (TOWStatePin* peer : peers) {
        try {
            TOWWriteLockSection peerLock(*peer);
            peer->Receive(operation);
        } catch (...) {
            // As for stream pins: one failing receiver does not stop the others.
        }
    }
}

TOWBoolStatePin::TOWBoolStatePin(TOWComponent* owner, std::string name, ChangeHandler onChange,
                                 bool value)
    : TOWStatePin(owner, std::move(name)), onChange_(std::move(onChange)), value_(value) {}

bool TOWBoolStatePin::Value() const {
    TOWReadLockSection own(*this);
    return value_;
}

void TOWBoolStatePin::SetValue(bool value) {
    {
        TOWWriteLockSection own(*this);
        if (value_ == value) {
            return;
        }
        value_ = value;
    }
    Broadcast(std::make_shared<TOWSuppliedBoolOperation>(value));
}

void TOWBoolStatePin::Receive(const TOWOperationPtr& operation) {
    const auto* supplied = operation->As<TOWSuppliedBoolOperation>();
    if (supplied == nullptr || supplied->Value == value_) {
        return;
    }
    value_ = supplied->Value;
    if (onChange_) {
        onChange_(*this, value_);
    }
}

TOWFloatIntStatePin::TOWFloatIntStatePin(TOWComponent* owner, std::string name,
                                         ChangeHandler onChange, float value)
    : TOWStatePin(owner, std::move(name)), onChange_(std::move(onChange)), value_(value) {}

float TOWFloatIntStatePin::Value() const {
    TOWReadLockSection own(*this);
    return value_;
}

void TOWFloatIntStatePin::SetValue(float value) {
    {
        TOWWriteLockSection own(*this);
        if (value_ == value) {
            return;
        }
        value_ = value;
    }
    Broadcast(std::make_shared<TOWSuppliedMulticastOperation>(value));
}

void TOWFloatIntStatePin::Receive(const TOWOperationPtr& operation) {
    const auto* supplied = operation->As<TOWSuppliedMulticastOperation>();
    if (supplied == nullptr || supplied->Value == value_) {
        return;
    }
    value_ = supplied->Value;
    if (onChange_) {
        onChange_(*this, value_);
    }
}

}  // namespace vantrel::signal
