#include "signal/ALAudioBuffer.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace vantrel::signal {

namespace {

std::string RangeMessage(const char* what, unsigned long long value) {
    char text[64];
    std::snprintf(text, sizeof text, "%s out of rabge = %llu", what, value);
    return text;
}

class TALAudioDataAccess final : public TSLDataAccess, public IALAudioDataAccess {
  public:
    using TSLDataAccess::TSLDataAccess;

    TALWaveFormat WaveFormat() const override {
        if (ByteSize() < TALWaveFormat::kSize) {
            return TALWaveFormat{0, 0, 0, 0, 0, 0, 0};
        }
        return TALWaveFormat::ReadFrom(ReadPointer());
    }
    uint32_t Channels() const override { return WaveFormat().channels; }
    uint32_t Bits() const override { return WaveFormat().bitsPerSample; }
    uint32_t BlockAlign() const override { return WaveFormat().blockAlign; }

    size_t HeaderSize() const override { return HeaderSizeOf(WaveFormat()); }
    const uint8_t* Data() const override { return ReadPointer() + HeaderSize(); }
    uint8_t* WriteData() override {
        const size_t header = HeaderSize();
        return WritePointer() + header;
    }
    size_t DataBytes() const override { return ByteSize() - HeaderSize(); }
    size_t FrameCount() const override {
        const TALWaveFormat format = WaveFormat();
        if (format.blockAlign == 0) {
            return 0;
        }
        return (ByteSize() - HeaderSizeOf(format)) / format.blockAlign;
    }

    int32_t Sample(size_t frame, uint32_t channel) const override {
        const TALWaveFormat format = WaveFormat();
        const size_t offset = SampleOffset(format, frame, channel);
        const uint8_t* at = ReadPointer() + offset;
        switch (format.bitsPerSample) {
            case 8:
                return *at;
            case 16: {
                int16_t value;
                std::memcpy(&value, at, sizeof value);
                return value;
            }
            default:
                return 0;
        }
    }

    void SetSample(size_t frame, uint32_t channel, int32_t value) override {
        const TALWaveFormat format = WaveFormat();
        const size_t offset = SampleOffset(format, frame, channel);
        if (format.bitsPerSample == 8) {
            WritePointer()[offset] = static_cast<uint8_t>(value);
        } else if (format.bitsPerSample == 16) {
            const auto sample = static_cast<int16_t>(value);
            std::memcpy(WritePointer() + offset, &sample, sizeof sample);
        }
    }

  private:
    size_t HeaderSizeOf(const TALWaveFormat& format) const {
        const size_t size = ByteSize();
        if (size < TALWaveFormat::kSize) {
            return size;
        }
        const size_t header = TALWaveFormat::kSize + format.extraSize;
        return header < size ? header : size;
    }

    // Checks the channel, then the frame, and returns the byte offset of the sample. The frame
    // check also keeps a sample that would reach past the block out (a record whose block align
    // is smaller than channels times sample width).
    size_t SampleOffset(const TALWaveFormat& format, size_t frame, uint32_t channel) const {
        if (channel >= format.channels) {
            throw ERangeError(RangeMessage("Channel", channel));
        }
        const size_t width = format.bitsPerSample / 8;
        const size_t header = HeaderSizeOf(format);
        const size_t frames =
            format.blockAlign == 0 ? 0 : (ByteSize() - header) / format.blockAlign;
        const size_t offset = header + frame * format.blockAlign + channel * width;
        if (frame >= frames || offset + width > ByteSize()) {
            throw ERangeError(RangeMessage("Index", frame));
        }
        return offset;
    }
};

}  // namespace

std::shared_ptr<TALAudioBuffer> TALAudioBuffer::Create(uint32_t bits, uint32_t samplesPerChannel,
                                                       uint32_t channels) {
    const uint64_t width = bits / 8;
    const uint64_t blockAlign = width * channels;
    if (blockAlign > std::numeric_limits<uint16_t>::max() ||
        (samplesPerChannel != 0 &&
         blockAlign >
             (std::numeric_limits<size_t>::max() - TALWaveFormat::kSize) / samplesPerChannel)) {
        throw std::length_error("audio buffer too large");
    }
    const size_t bytes = static_cast<size_t>(blockAlign * samplesPerChannel) + TALWaveFormat::kSize;
    auto buffer = std::make_shared<TALAudioBuffer>(Key{}, bytes);
    TALWaveFormat::Pcm(static_cast<uint16_t>(channels), kRecordSampleRate,
                       static_cast<uint16_t>(bits))
        .WriteTo(buffer->WritePointer());
    return buffer;
}

std::shared_ptr<TALAudioBuffer> TALAudioBuffer::CreateFrom(const ISLDataBuffer& source) {
    return std::make_shared<TALAudioBuffer>(Key{}, source.SharedBlock());
}

std::shared_ptr<IALAudioDataAccess> TALAudioBuffer::AudioAccess() {
    return std::make_shared<TALAudioDataAccess>(shared_from_this());
}

}  // namespace vantrel::signal
