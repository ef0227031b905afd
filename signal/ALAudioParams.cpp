#include "signal/ALAudioParams.h"

#include <utility>

namespace vantrel::signal {

TALWaveBuffer::TALWaveBuffer(audio::WaveOut* device, std::shared_ptr<TALAudioBuffer> buffer)
    : device_(device), buffer_(std::move(buffer)) {
    header_.user = reinterpret_cast<uintptr_t>(this);
}

void TALWaveBuffer::SetSamples(const uint8_t* data, uint32_t length) {
    header_.data = data;
    header_.length = length;
}

}  // namespace vantrel::signal
