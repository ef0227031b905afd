#include "trainer/AudioExport.h"

#include <system_error>
#include <utility>

#include "platform/audio/WavWriter.h"
#include "trainer/Limits.h"

namespace vantrel {

namespace {

// The RIFF sizes are 32-bit: the data of one WAV file stays below 4 GB.
constexpr uint64_t kMaxWavDataBytes = 0xFFFFFFFFull - 36 - 1;

AudioExportError CannotWrite(const std::filesystem::path& file) {
    return {AudioExportError::Kind::NotWritten, file};
}

}  // namespace

AudioExport::AudioExport(const Keyer& keyer, std::string text, KeyedBand band, std::size_t leadIn)
    : keyer_(keyer),
      text_(std::move(text)),
      startingBand_(std::move(band)),
      leadIn_(text_.empty() ? 0 : leadIn),
      totalSamples_(leadIn_),
      character_(Keyer::kMaxCharacterSamples + leadIn_) {
    for (char c : text_) {
        totalSamples_ += keyer_.CharacterSamples(static_cast<uint8_t>(c));
    }
}

AudioExport::~AudioExport() {
    Abandon();
}

std::optional<AudioExportError> AudioExport::Begin(const std::filesystem::path& wavPath) {
    Abandon();
    target_ = wavPath;
    if (2 * totalSamples_ > kMaxWavDataBytes) {
        return AudioExportError{AudioExportError::Kind::TooLong, wavPath};
    }
    if (wav_.Begin(target_)) {
        return CannotWrite(target_);
    }
    // The sizes are known in advance, so the header goes first and the samples follow.
    const audio::WaveFormat format = audio::WaveFormat::Pcm(1, limits::kKeyedSampleRate, 16);
    std::vector<uint8_t> header = audio::WavWriter::Encode(format, nullptr, 0);
    const auto dataBytes = static_cast<uint32_t>(2 * totalSamples_);
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = static_cast<uint8_t>((36 + dataBytes) >> (8 * i));
        header[40 + i] = static_cast<uint8_t>(dataBytes >> (8 * i));
    }
    writeFailed_ = wav_.Write(std::string(header.begin(), header.end())).has_value();
    next_ = 0;
    band_ = startingBand_;
    return std::nullopt;
}

bool AudioExport::RenderSome(std::size_t characters) {
    for (; characters > 0 && !Finished() && wav_.IsOpen() && !writeFailed_; --characters, ++next_) {
        const std::size_t count = RenderKeyed(keyer_, &band_, static_cast<uint8_t>(text_[next_]),
                                              next_ == 0 ? leadIn_ : 0, character_);
        writeFailed_ = !WriteSamples(character_.data(), count);
    }
    return Finished() || writeFailed_ || !wav_.IsOpen();
}

bool AudioExport::WriteSamples(const int16_t* samples, std::size_t count) {
    if (count == 0) {
        return true;  // a character without a pattern keys nothing
    }
    bytes_.resize(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto u = static_cast<uint16_t>(samples[i]);
        bytes_[2 * i] = static_cast<char>(u & 0xFF);
        bytes_[2 * i + 1] = static_cast<char>(u >> 8);
    }
    return !wav_.Write(bytes_);
}

std::optional<AudioExportError> AudioExport::Commit() {
    const std::filesystem::path textPath = ExportTextPath(target_);
    // The samples are on disk before the text takes its place, so that only the renames are left.
    if (!wav_.IsOpen() || writeFailed_ || !Finished() || wav_.Flush()) {
        Abandon();
        return CannotWrite(target_);
    }
    if (files::ReplaceFile(textPath, text_)) {
        Abandon();
        return CannotWrite(textPath);
    }
    if (wav_.Commit()) {
        std::error_code ignored;
        std::filesystem::remove(textPath, ignored);
        return CannotWrite(target_);
    }
    return std::nullopt;
}

void AudioExport::Abandon() {
    wav_.Abandon();
}

std::filesystem::path ExportTextPath(const std::filesystem::path& wavPath) {
    std::filesystem::path text = wavPath;
    return text.replace_extension(".txt");
}

}  // namespace vantrel
