// The audio buffer that travels from a generator to an output: a wave format record followed
// by interleaved sample frames, in one shared block (see SLBuffers.h for sharing and copy on
// write).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "signal/ALAudioFormat.h"
#include "signal/SLBuffers.h"

namespace vantrel::signal {

// A sample index outside a buffer's channels or frames.
class ERangeError : public std::out_of_range {
  public:
    explicit ERangeError(const std::string& message) : std::out_of_range(message) {}
};

// Access to the record and the frames of an audio buffer. The record is read afresh at every
// call, so the access follows the block the buffer holds now. A block shorter than a record
// reads as 0 channels, 0 bits and no frames.
class IALAudioDataAccess : public virtual ISLDataAccess {
  public:
    virtual TALWaveFormat WaveFormat() const = 0;
    virtual uint32_t Channels() const = 0;
    virtual uint32_t Bits() const = 0;
    virtual uint32_t BlockAlign() const = 0;
    // 18 + extra size, at most the block's size.
    virtual size_t HeaderSize() const = 0;
    // The first frame, past the record.
    virtual const uint8_t* Data() const = 0;
    // As Data(), after making the block private (see ISLDataAccess::WritePointer).
    virtual uint8_t* WriteData() = 0;
    virtual size_t DataBytes() const = 0;
    // DataBytes() / BlockAlign(); 0 when either is 0.
    virtual size_t FrameCount() const = 0;

    // 8-bit samples read and write as unsigned bytes, 16-bit ones as signed 16-bit values; other
    // widths read as 0 and are not written. Throws ERangeError for a channel at or beyond
    // Channels() ("Channel out of rabge = %u"), then for a frame at or beyond FrameCount()
    // ("Index out of rabge = %u").
    virtual int32_t Sample(size_t frame, uint32_t channel) const = 0;
    virtual void SetSample(size_t frame, uint32_t channel, int32_t value) = 0;
};

class IALAudioBuffer : public virtual ISLDataBuffer {
  public:
    virtual std::shared_ptr<IALAudioDataAccess> AudioAccess() = 0;
};

class TALAudioBuffer final : public TSLGenericBuffer, public IALAudioBuffer {
    struct Key {};

  public:
    // The record carries this rate: the creation parameters name none.
    static constexpr uint32_t kRecordSampleRate = 11025;

    // (bits div 8) * samplesPerChannel * channels data bytes after the record, zeroed. Throws
    // std::length_error when that size does not fit in memory.
    static std::shared_ptr<TALAudioBuffer> Create(uint32_t bits, uint32_t samplesPerChannel,
                                                  uint32_t channels);
    // Shares the block of `source` (an audio buffer received from upstream).
    static std::shared_ptr<TALAudioBuffer> CreateFrom(const ISLDataBuffer& source);

    TALAudioBuffer(Key, size_t bytes) : TSLGenericBuffer(bytes) {}
    TALAudioBuffer(Key, std::shared_ptr<TSLSmartBuffer> block)
        : TSLGenericBuffer(std::move(block)) {}

    std::shared_ptr<IALAudioDataAccess> AudioAccess() override;
};

}  // namespace vantrel::signal
