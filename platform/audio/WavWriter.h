// Writes PCM audio as a RIFF WAVE file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

class WavWriter {
  public:
    // The whole file: RIFF header, "fmt " chunk of 16 bytes, "data" chunk (padded to an even
    // length, as RIFF requires).
    static std::vector<uint8_t> Encode(const WaveFormat& format, const uint8_t* data,
                                       std::size_t size);
    // Writes Encode's result to `path` through a temporary file renamed into place, so a
    // failure never leaves half a file. On failure returns false and, when `error` is given,
    // puts the system's text there.
    static bool Write(const std::string& path, const WaveFormat& format, const uint8_t* data,
                      std::size_t size, std::string* error = nullptr);
};

}  // namespace vantrel::audio
