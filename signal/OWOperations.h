// Operations: the messages that travel along the pins of the interference chain.
//
// Every operation is an immutable-identity object shared through TOWOperationPtr; the last
// holder frees it. Each receives at creation an id from a process-wide atomic counter (the
// first operation gets 1), so ids are unique and increase in creation order across threads.
//
// Receivers test an operation's class with Is<T>() / As<T>(), which follow the derivation
// order: a TOWEndStopOperation is also a TOWStopOperation, a TOWStartWaveOperation is also a
// TOWStartSampleRateOperation, a TOWSuppliedBufferOperation is also a TOWClockOperation.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "signal/ALAudioFormat.h"

namespace vantrel::signal {

class ISLDataBuffer;
class TOWComponent;

class TOWNotifyOperation {
  public:
    TOWNotifyOperation();
    virtual ~TOWNotifyOperation() = default;
    TOWNotifyOperation(const TOWNotifyOperation&) = delete;
    TOWNotifyOperation& operator=(const TOWNotifyOperation&) = delete;

    uint64_t Id() const { return id_; }

    template <class T>
    bool Is() const {
        return dynamic_cast<const T*>(this) != nullptr;
    }
    template <class T>
    T* As() {
        return dynamic_cast<T*>(this);
    }
    template <class T>
    const T* As() const {
        return dynamic_cast<const T*>(this);
    }

  private:
    uint64_t id_;
};

using TOWOperationPtr = std::shared_ptr<TOWNotifyOperation>;

// Asks downstream who paces the stream. A component that takes over the pacing replaces
// Pumper and Priority and sets ClaimLevel to kClaimed while the request passes through it.
class TOWPumpRequestOperation : public TOWNotifyOperation {
  public:
    static constexpr uint8_t kRequested = 2;
    static constexpr uint8_t kClaimed = 3;

    TOWPumpRequestOperation(TOWComponent* pumper, float rate, int32_t priority,
                            uint8_t claimLevel = kRequested)
        : Pumper(pumper), ClaimLevel(claimLevel), Priority(priority), Rate(rate) {}

    TOWComponent* Pumper;
    uint8_t ClaimLevel;
    int32_t Priority;
    float Rate;  // blocks per second
};

class TOWStartOperation : public TOWNotifyOperation {};

class TOWStartRateOperation : public TOWStartOperation {
  public:
    explicit TOWStartRateOperation(float rate = 0.0f) : Rate(rate) {}
    float Rate;
};

// A start with a block size and a creation value; the rate is value / blockSize (the value
// itself when the block size is below 1).
class TOWStartSampleRateOperation : public TOWStartRateOperation {
  public:
    TOWStartSampleRateOperation(int32_t blockSize, double value);

    int32_t BlockSize() const { return blockSize_; }
    double Value() const { return value_; }

  private:
    int32_t blockSize_;
    double value_;
};

// The start of a stream in the given wave format.
class TOWStartWaveOperation : public TOWStartSampleRateOperation {
  public:
    // PCM, 2 channels, 11024 samples/s, 16 bits.
    static TALWaveFormat DefaultFormat();

    TOWStartWaveOperation(int32_t blockSize, double value, const TALWaveFormat& format)
        : TOWStartSampleRateOperation(blockSize, value), Format(format) {}
    TOWStartWaveOperation(int32_t blockSize, double value)
        : TOWStartWaveOperation(blockSize, value, DefaultFormat()) {}

    TALWaveFormat Format;
};

// Tells the pump master to begin pulling blocks.
class TOWStartPumpOperation : public TOWNotifyOperation {};

// A pacing event; every supplied-data operation is one too.
class TOWClockOperation : public TOWNotifyOperation {};

class TOWSuppliedOperation : public TOWClockOperation {};

class TOWSuppliedBufferOperation : public TOWSuppliedOperation {
  public:
    explicit TOWSuppliedBufferOperation(std::shared_ptr<ISLDataBuffer> buffer)
        : Buffer(std::move(buffer)) {}
    std::shared_ptr<ISLDataBuffer> Buffer;
};

// The new value of a Boolean state pin.
class TOWSuppliedBoolOperation : public TOWSuppliedOperation {
  public:
    explicit TOWSuppliedBoolOperation(bool value) : Value(value) {}
    bool Value;
};

// The new value of a floating state pin.
class TOWSuppliedMulticastOperation : public TOWSuppliedOperation {
  public:
    explicit TOWSuppliedMulticastOperation(float value) : Value(value) {}
    float Value;
};

// Sent after the first blocks of a stream: the receiver may start playing.
class TOWSLResumeOperation : public TOWNotifyOperation {};

class TOWStopOperation : public TOWNotifyOperation {};

// The end of a stream.
class TOWEndStopOperation : public TOWStopOperation {};

// Sent upstream by the pump master to ask for one block.
class TOWMasterPumpOperation : public TOWNotifyOperation {
  public:
    explicit TOWMasterPumpOperation(TOWComponent* pumper) : Pumper(pumper) {}
    TOWComponent* Pumper;
};

}  // namespace vantrel::signal
