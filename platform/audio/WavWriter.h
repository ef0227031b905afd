// Writes PCM audio as a RIFF WAVE file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/audio/WaveOut.h"
#include "platform/files/FileError.h"

namespace vantrel::audio {

class WavWriter {
  public:
    // The whole file: RIFF header, "fmt " chunk of 16 bytes, "data" chunk (padded to an even
    // length, as RIFF requires).
    static std::vector<uint8_t> Encode(const WaveFormat& format, const uint8_t* data,
                                       std::size_t size);
    // Replaces `path` with Encode's result (see files::ReplaceFile), so a failure never leaves
    // half a file.
    static std::optional<files::FileError> Write(const std::filesystem::path& path,
                                                 const WaveFormat& format, const uint8_t* data,
                                                 std::size_t size);
};

}  // namespace vantrel::audio
