// The stream format of the interference chain: the 18-byte PCM wave format record and the
// format objects that generators own and publish.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/audio/WaveOut.h"

namespace vantrel::signal {

class TOWObject;  // OWLocks.h

// The PCM wave format record (WAVEFORMATEX layout), serialised little-endian in 18 bytes.
struct TALWaveFormat {
    static constexpr size_t kSize = 18;
    static constexpr uint16_t kPcmTag = 1;

    uint16_t formatTag = kPcmTag;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;

    // A PCM record with block align and byte rate derived from the other three values.
    static TALWaveFormat Pcm(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);

    void WriteTo(uint8_t* out) const;  // kSize bytes
    static TALWaveFormat ReadFrom(const uint8_t* in);
    std::array<uint8_t, kSize> Bytes() const;

    // The same record in the audio device layer's type.
    audio::WaveFormat ToDeviceFormat() const;

    friend bool operator==(const TALWaveFormat&, const TALWaveFormat&) = default;
};

// Channels, sample width and rate of a stream, held as a wave format record.
//
// Every setter and getter runs under the write or read lock of the owning component's lock
// object (when one is given), so a generator computing a block under that lock never sees a
// half-changed format. A setter that changes the format calls the change callback, still under
// the lock.
class TALAudioFormatBasic {
  public:
    using ChangeCallback = std::function<void(TALAudioFormatBasic& format)>;

    static constexpr uint32_t kDefaultChannels = 2;
    static constexpr uint32_t kDefaultBits = 16;
    static constexpr uint32_t kDefaultSampleRate = 11025;
    static constexpr uint32_t kMaxChannels = 32;

    // `lock` may be null (a free-standing format, no locking); it must outlive the format.
    explicit TALAudioFormatBasic(TOWObject* lock = nullptr, ChangeCallback onChange = {});
    virtual ~TALAudioFormatBasic() = default;

    TALAudioFormatBasic(const TALAudioFormatBasic&) = delete;
    TALAudioFormatBasic& operator=(const TALAudioFormatBasic&) = delete;

    uint32_t Channels() const;
    // Clamped to 1..32.
    void SetChannels(uint32_t channels);

    uint32_t Bits() const;
    // Below 8 and 8 give 8; anything above 8 gives 16.
    void SetBits(uint32_t bits);

    uint32_t SampleRate() const;
    // Stored as given; always notifies.
    void SetSampleRate(uint32_t rate);

    TALWaveFormat WaveFormat() const;

  protected:
    class ReadSection;
    class WriteSection;

    void Notify();
    TOWObject* LockObject() const { return lock_; }

  private:
    void Recompute();

    TOWObject* lock_;
    ChangeCallback onChange_;
    TALWaveFormat record_;
};

// A stream format with the block size: the number of samples per channel in one block.
class TALAudioFormat : public TALAudioFormatBasic {
  public:
    static constexpr uint32_t kDefaultBufferSize = 1024;

    explicit TALAudioFormat(TOWObject* lock = nullptr, ChangeCallback onChange = {});

    uint32_t BufferSize() const;
    // Below 1 gives 1.
    void SetBufferSize(uint32_t samples);

    // Copies channels, bits, rate and block size from another format, through the setters.
    void Assign(const TALAudioFormat& other);

  private:
    uint32_t bufferSize_ = kDefaultBufferSize;
};

}  // namespace vantrel::signal
