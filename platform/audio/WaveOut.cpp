#include "platform/audio/WaveOut.h"

namespace vantrel::audio {

bool IsValidPcm(const WaveFormat& format) {
    if (format.formatTag != 1) {
        return false;
    }
    if (format.channels < 1 || format.channels > 8) {
        return false;
    }
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) {
        return false;
    }
    if (format.samplesPerSec < 1000 || format.samplesPerSec > 384000) {
        return false;
    }
    const uint32_t blockAlign = format.channels * (format.bitsPerSample / 8u);
    return format.blockAlign == blockAlign &&
           format.avgBytesPerSec == blockAlign * format.samplesPerSec;
}

std::string CutDeviceName(const std::string& name) {
    constexpr std::size_t kMaxNameBytes = 31;
    if (name.size() <= kMaxNameBytes) {
        return name;
    }
    std::size_t cut = kMaxNameBytes;
    // Never split a UTF-8 sequence: back off while the first byte dropped continues one.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return name.substr(0, cut);
}

}  // namespace vantrel::audio
