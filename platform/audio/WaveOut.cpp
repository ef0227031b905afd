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

}  // namespace vantrel::audio
