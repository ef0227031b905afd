#include "signal/ALAudioFormat.h"

#include "signal/OWLocks.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace vantrel::signal {

namespace {

void PutU16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(uint8_t* out, uint32_t value) {
    PutU16(out, static_cast<uint16_t>(value));
    PutU16(out + 2, static_cast<uint16_t>(value >> 16));
}

uint16_t GetU16(const uint8_t* in) {
    return static_cast<uint16_t>(in[0] | (in[1] << 8));
}

uint32_t GetU32(const uint8_t* in) {
    return GetU16(in) | (static_cast<uint32_t>(GetU16(in + 2)) << 16);
}

}  // namespace

TALWaveFormat TALWaveFormat::Pcm(uint16_t channels, uint32_t samplesPerSec,
                                 uint16_t bitsPerSample) {
    TALWaveFormat format;
    format.formatTag = kPcmTag;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = bitsPerSample;
    format.blockAlign = static_cast<uint16_t>(bitsPerSample / 8 * channels);
    format.avgBytesPerSec = format.blockAlign * samplesPerSec;
    format.extraSize = 0;
    return format;
}

void TALWaveFormat::WriteTo(uint8_t* out) const {
    PutU16(out + 0, formatTag);
    PutU16(out + 2, channels);
    PutU32(out + 4, samplesPerSec);
    PutU32(out + 8, avgBytesPerSec);
    PutU16(out + 12, blockAlign);
    PutU16(out + 14, bitsPerSample);
    PutU16(out + 16, extraSize);
}

TALWaveFormat TALWaveFormat::ReadFrom(const uint8_t* in) {
    TALWaveFormat format;
    format.formatTag = GetU16(in + 0);
    format.channels = GetU16(in + 2);
    format.samplesPerSec = GetU32(in + 4);
    format.avgBytesPerSec = GetU32(in + 8);
    format.blockAlign = GetU16(in + 12);
    format.bitsPerSample = GetU16(in + 14);
    format.extraSize = GetU16(in + 16);
    return format;
}

std::array<uint8_t, TALWaveFormat::kSize> TALWaveFormat::Bytes() const {
    std::array<uint8_t, kSize> bytes{};
    WriteTo(bytes.data());
    return bytes;
}

audio::WaveFormat TALWaveFormat::ToDeviceFormat() const {
    audio::WaveFormat format;
    format.formatTag = formatTag;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.avgBytesPerSec = avgBytesPerSec;
    format.blockAlign = blockAlign;
    format.bitsPerSample = bitsPerSample;
    format.extraSize = extraSize;
    return format;
}

// Scoped holds of the owning component's lock; nothing to hold for a free-standing format.
class TALAudioFormatBasic::ReadSection {
  public:
    explicit ReadSection(TOWObject* lock) {
        if (lock != nullptr) {
            section_.emplace(*lock);
        }
    }

  private:
    std::optional<TOWReadLockSection> section_;
};

class TALAudioFormatBasic::WriteSection {
  public:
    explicit WriteSection(TOWObject* lock) {
        if (lock != nullptr) {
            section_.emplace(*lock);
        }
    }

  private:
    std::optional<TOWWriteLockSection> section_;
};

TALAudioFormatBasic::TALAudioFormatBasic(TOWObject* lock, ChangeCallback onChange) : lock_(lock) {
    // The callback is installed last: the owner is still being built and must not hear of the
    // defaults.
    SetChannels(kDefaultChannels);
    SetBits(kDefaultBits);
    SetSampleRate(kDefaultSampleRate);
    onChange_ = std::move(onChange);
}

uint32_t TALAudioFormatBasic::Channels() const {
    ReadSection section(lock_);
    return record_.channels;
}

void TALAudioFormatBasic::SetChannels(uint32_t channels) {
    WriteSection section(lock_);
    const uint32_t value = std::clamp<uint32_t>(channels, 1, kMaxChannels);
    if (value != record_.channels) {
        record_.channels = static_cast<uint16_t>(value);
        Recompute();
        Notify();
    }
}

uint32_t TALAudioFormatBasic::Bits() const {
    ReadSection section(lock_);
    return record_.bitsPerSample;
}

void TALAudioFormatBasic::SetBits(uint32_t bits) {
    WriteSection section(lock_);
    const uint32_t value = bits <= 8 ? 8 : 16;
    if (value != record_.bitsPerSample) {
        record_.bitsPerSample = static_cast<uint16_t>(value);
        Recompute();
        Notify();
    }
}

uint32_t TALAudioFormatBasic::SampleRate() const {
    ReadSection section(lock_);
    return record_.samplesPerSec;
}

void TALAudioFormatBasic::SetSampleRate(uint32_t rate) {
    WriteSection section(lock_);
    record_.samplesPerSec = rate;
    Recompute();
    Notify();
}

TALWaveFormat TALAudioFormatBasic::WaveFormat() const {
    ReadSection section(lock_);
    return record_;
}

void TALAudioFormatBasic::Notify() {
    if (onChange_) {
        onChange_(*this);
    }
}

void TALAudioFormatBasic::Recompute() {
    record_.formatTag = TALWaveFormat::kPcmTag;
    record_.blockAlign = static_cast<uint16_t>(record_.bitsPerSample / 8 * record_.channels);
    record_.avgBytesPerSec = record_.blockAlign * record_.samplesPerSec;
    record_.extraSize = 0;
}

TALAudioFormat::TALAudioFormat(TOWObject* lock, ChangeCallback onChange)
    : TALAudioFormatBasic(lock, std::move(onChange)) {}

uint32_t TALAudioFormat::BufferSize() const {
    ReadSection section(LockObject());
    return bufferSize_;
}

void TALAudioFormat::SetBufferSize(uint32_t samples) {
    WriteSection section(LockObject());
    const uint32_t value = std::max<uint32_t>(samples, 1);
    if (value != bufferSize_) {
        bufferSize_ = value;
        Notify();
    }
}

void TALAudioFormat::Assign(const TALAudioFormat& other) {
    if (&other == this) {
        return;
    }
    const TALWaveFormat record = other.WaveFormat();
    const uint32_t bufferSize = other.BufferSize();
    WriteSection section(LockObject());
    SetChannels(record.channels);
    SetBits(record.bitsPerSample);
    SetSampleRate(record.samplesPerSec);
    SetBufferSize(bufferSize);
}

}  // namespace vantrel::signal
