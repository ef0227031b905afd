#include "platform/audio/WavWriter.h"

#include <string_view>

#include "platform/files/ReplaceFile.h"

namespace vantrel::audio {

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

}  // namespace

std::vector<uint8_t> WavWriter::Encode(const WaveFormat& format, const uint8_t* data,
                                       std::size_t size) {
    // A RIFF chunk size is 32 bits; longer recordings are cut at the last whole frame below.
    const std::size_t align = format.blockAlign ? format.blockAlign : 1;
    const std::size_t limit = (0xFFFFFFFFu - 36 - 1) / align * align;
    if (size > limit) {
        size = limit;
    }
    const std::size_t padded = size + (size & 1);
    std::vector<uint8_t> out;
    out.reserve(44 + padded);
    PutTag(out, "RIFF");
    Put32(out, static_cast<uint32_t>(36 + padded));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, format.formatTag);
    Put16(out, format.channels);
    Put32(out, format.samplesPerSec);
    Put32(out, format.avgBytesPerSec);
    Put16(out, format.blockAlign);
    Put16(out, format.bitsPerSample);
    PutTag(out, "data");
    Put32(out, static_cast<uint32_t>(size));
    if (size > 0) {
        out.insert(out.end(), data, data + size);
    }
    if (padded != size) {
        out.push_back(0);
    }
    return out;
}

std::optional<files::FileError> WavWriter::Write(const std::filesystem::path& path,
                                                 const WaveFormat& format, const uint8_t* data,
                                                 std::size_t size) {
    const std::vector<uint8_t> bytes = Encode(format, data, size);
    return files::ReplaceFile(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace vantrel::audio
