// Pins: the connection points of the interference chain's components.
//
// A source pin is connected to any number of sink pins; a sink pin to at most one source.
// Operations sent on a source pin go to all its sinks (downstream), operations sent on a sink
// pin go to its source (upstream). Delivery is synchronous, on the sender's thread.
//
// Locking (see OWLocks.h): connecting and disconnecting take the global write side; sending
// downstream holds the global read side, the sending pin's group lock and, for each delivery,
// the receiving pin's group lock; sending upstream holds the global read side only, so the
// source's owner takes its own lock where it needs one.
//
// A sink handler must not connect or disconnect pins of the chain it is called from (that
// takes the global write side while other senders may wait for the locks it holds).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "signal/OWComponent.h"
#include "signal/OWLocks.h"
#include "signal/OWOperations.h"

namespace vantrel::signal {

class EOWException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The 16-byte identity of the kind of data a stream pin carries.
struct TOWStreamTypeId {
    std::array<uint8_t, 16> bytes{};
    friend bool operator==(const TOWStreamTypeId&, const TOWStreamTypeId&) = default;
};

// Audio blocks (TALAudioBuffer) and their control operations.
inline constexpr TOWStreamTypeId kALAudioStreamType{{0x3c, 0x1e, 0x7a, 0x52, 0x9b, 0x04, 0x4d, 0x61,
                                                     0xa8, 0x2f, 0xd5, 0x90, 0x6e, 0x17, 0xc3,
                                                     0x48}};

// Delivery flags passed to a sink with each operation.
using TOWNotifyFlags = uint32_t;
inline constexpr TOWNotifyFlags kOWLastReceiver = 2;  // no sink after this one gets the operation

class TOWPin : public TOWObject {
  public:
    TOWPin(TOWComponent* owner, std::string name);

    TOWComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // "Owner.Pin", or "(No owner)".
    std::string DisplayName() const;

  private:
    TOWComponent* owner_;
    std::string name_;
};

class TOWStreamPin : public TOWPin {
  public:
    using TOWPin::TOWPin;
};

class TOWSinkPin;

class TOWSourcePin : public TOWStreamPin {
  public:
    // Receives the operations that connected sinks send upstream.
    using Handler = std::function<bool(TOWSourcePin& pin, const TOWOperationPtr& operation)>;

    static constexpr int kMaxSendDepth = 200;

    TOWSourcePin(TOWComponent* owner, std::string name, Handler onUpstream = {},
                 TOWStreamTypeId streamType = {});
    // Disconnects every sink.
    ~TOWSourcePin() override;

    // Connects `sink` to this pin, first disconnecting it from any other source. False when the
    // sink refuses this source. Connecting an already connected pair does nothing.
    bool Connect(TOWSinkPin& sink);
    void Disconnect(TOWSinkPin& sink);
    void DisconnectAll();

    bool IsConnected() const;
    // The connected sinks in delivery order.
    std::vector<TOWSinkPin*> Sinks() const;
    // "(Owner.Pin, ...)".
    std::string SinkPinsText() const;
    const TOWStreamTypeId& StreamType() const { return streamType_; }

    // Sends `operation` to every sink in order, or only to `target` when given. A handler that
    // throws does not stop the delivery to the others. Throws EOWException when the pin is
    // re-entered through its own sinks more than kMaxSendDepth levels deep.
    virtual void Notify(const TOWOperationPtr& operation, TOWSinkPin* target = nullptr);

  protected:
    // Called under the global write side after `sink` has been connected.
    virtual void SinkConnected(TOWSinkPin& sink) { (void)sink; }

  private:
    friend class TOWSinkPin;

    struct Entry {
        TOWSinkPin* sink;
        TOWStreamTypeId streamType;
        int32_t usage;
    };

    Entry* FindEntry(const TOWSinkPin* sink);
    void UpdateOrder();
    bool ReceiveUpstream(const TOWOperationPtr& operation);

    Handler onUpstream_;
    TOWStreamTypeId streamType_;
    std::vector<Entry> entries_;  // added and removed under the global write side only
    int sendDepth_ = 0;           // under the group lock
};

class TOWSinkPin : public TOWStreamPin {
  public:
    // The owner's handler for operations arriving from the source; true when it handled one.
    using Handler = std::function<bool(TOWSinkPin& pin, const TOWOperationPtr& operation)>;
    using FlagsHandler = std::function<bool(TOWSinkPin& pin, const TOWOperationPtr& operation,
                                            TOWNotifyFlags flags)>;

    TOWSinkPin(TOWComponent* owner, std::string name, Handler handler);
    TOWSinkPin(TOWComponent* owner, std::string name, FlagsHandler handler);
    // Disconnects from the source.
    ~TOWSinkPin() override;

    bool ConnectTo(TOWSourcePin& source) { return source.Connect(*this); }
    void Disconnect();
    TOWSourcePin* Source() const;
    bool IsConnected() const { return Source() != nullptr; }
    // "Owner.Pin" of the source, or "(Disconnected)".
    std::string SourcePinText() const;

    // Sends `operation` to the source's owner. False when there is no source or nobody
    // handled it.
    bool NotifyUpstream(const TOWOperationPtr& operation);

    // The compatibility test of Connect.
    virtual bool Accepts(const TOWSourcePin& source) const {
        (void)source;
        return true;
    }

  protected:
    // Called by the source with this pin's group lock held.
    virtual bool Receive(const TOWStreamTypeId& streamType, TOWNotifyFlags flags,
                         const TOWOperationPtr& operation);

  private:
    friend class TOWSourcePin;

    FlagsHandler handler_;
    TOWSourcePin* source_ = nullptr;  // changed under the global write side only
};

// Source pins that remember the start of the running stream (dropped at its stop) and replay it
// to a sink connected while the stream runs.
class TSLOWSourcePin : public TOWSourcePin {
  public:
    using TOWSourcePin::TOWSourcePin;
    void Notify(const TOWOperationPtr& operation, TOWSinkPin* target = nullptr) override;

  protected:
    void SinkConnected(TOWSinkPin& sink) override;
    virtual void Remember(const TOWOperationPtr& operation);

  private:
    TOWOperationPtr lastStart_;  // under the group lock
};

class TSLOWSinkPin : public TOWSinkPin {
  public:
    using TOWSinkPin::TOWSinkPin;
};

// A generator's output: audio blocks. Also remembers the resume of the running stream.
class TALOWAudioSourcePin : public TSLOWSourcePin {
  public:
    TALOWAudioSourcePin(TOWComponent* owner, std::string name, Handler onUpstream = {});

  protected:
    void SinkConnected(TOWSinkPin& sink) override;
    void Remember(const TOWOperationPtr& operation) override;

  private:
    TOWOperationPtr lastResume_;  // under the group lock
};

// An output's input: accepts audio sources only.
class TALOWAudioSinkPin : public TSLOWSinkPin {
  public:
    using TSLOWSinkPin::TSLOWSinkPin;
    bool Accepts(const TOWSourcePin& source) const override {
        return source.StreamType() == kALAudioStreamType;
    }
};

// Calls its owner's tick handler for every clock operation it receives.
class TOWClockSinkPin : public TOWSinkPin {
  public:
    using TickHandler = std::function<void(TOWClockSinkPin& pin)>;
    TOWClockSinkPin(TOWComponent* owner, std::string name, TickHandler onTick);
};

// A pin carrying one value, shared with the state pins of the same kind connected to it.
class TOWStatePin : public TOWPin {
  public:
    using TOWPin::TOWPin;
    ~TOWStatePin() override;

    // False for a pin of another kind.
    bool Connect(TOWStatePin& other);
    void Disconnect(TOWStatePin& other);
    bool IsConnected() const;

  protected:
    // Delivers `operation` to every connected pin's Receive.
    void Broadcast(const TOWOperationPtr& operation);
    virtual void Receive(const TOWOperationPtr& operation) = 0;

  private:
    std::vector<TOWStatePin*> peers_;  // changed under the global write side only
};

class TOWBoolStatePin : public TOWStatePin {
  public:
    using ChangeHandler = std::function<void(TOWBoolStatePin& pin, bool value)>;
    TOWBoolStatePin(TOWComponent* owner, std::string name, ChangeHandler onChange = {},
                    bool value = false);

    bool Value() const;
    // Stores the value and passes it to the connected pins when it differs.
    void SetValue(bool value);

  protected:
    void Receive(const TOWOperationPtr& operation) override;

  private:
    ChangeHandler onChange_;
    bool value_;  // under the group lock
};

class TOWFloatIntStatePin : public TOWStatePin {
  public:
    using ChangeHandler = std::function<void(TOWFloatIntStatePin& pin, float value)>;
    TOWFloatIntStatePin(TOWComponent* owner, std::string name, ChangeHandler onChange = {},
                        float value = 0.0f);

    float Value() const;
    void SetValue(float value);

  protected:
    void Receive(const TOWOperationPtr& operation) override;

  private:
    ChangeHandler onChange_;
    float value_;  // under the group lock
};

}  // namespace vantrel::signal
