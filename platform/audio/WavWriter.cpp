#include "platform/audio/WavWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

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

bool WavWriter::Write(const std::string& path, const WaveFormat& format, const uint8_t* data,
                      std::size_t size, std::string* error) {
    const std::vector<uint8_t> bytes = Encode(format, data, size);
    const std::string temporary = path + ".part";
    auto fail = [&](int code) {
        if (error) {
            *error = std::system_category().message(code);
        }
        std::remove(temporary.c_str());
        return false;
    };
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        return fail(errno);
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        return fail(written ? errno : writeError);
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        return fail(renamed.value());
    }
    return true;
}

}  // namespace vantrel::audio
