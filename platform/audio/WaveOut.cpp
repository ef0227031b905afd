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

MMResult MarkPrepared(WaveHeader* header) {
    if (!header) {
        return MMSYSERR_INVALPARAM;
    }
    header->prepared = true;
    return MMSYSERR_NOERROR;
}

MMResult MarkUnprepared(WaveHeader* header) {
    if (!header) {
        return MMSYSERR_INVALPARAM;
    }
    if (header->queued) {
        return WAVERR_STILLPLAYING;
    }
    header->prepared = false;
    return MMSYSERR_NOERROR;
}

MMResult CheckWritable(const WaveHeader* header, bool closed) {
    if (!header || (!header->data && header->length > 0)) {
        return MMSYSERR_INVALPARAM;
    }
    if (closed) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!header->prepared) {
        return WAVERR_UNPREPARED;
    }
    return header->queued ? WAVERR_STILLPLAYING : MMSYSERR_NOERROR;
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
