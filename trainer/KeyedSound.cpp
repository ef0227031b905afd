#include "trainer/KeyedSound.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "trainer/ContactGenerator.h"
#include "trainer/Random.h"

namespace vantrel {

int KeyDownAmplitude(const Keyer& keyer) {
    // The peak of the keyer's sine table.
    return static_cast<int>(std::lround(keyer.VolumeLevel() / 8.0 * 32767.0));
}

KeyedBand::KeyedBand(const band::BandSettings& settings, const Keyer& keyer, uint64_t seed,
                     std::shared_ptr<const ContactTexts> texts)
    : settings_(band::Clamped(settings)),
      dotSamples_(keyer.DotLength()),
      amplitude_(KeyDownAmplitude(keyer)),
      seed_(seed),
      texts_(std::move(texts)) {
    if (settings_.enabled) {
        Draw(static_cast<double>(keyer.ToneFrequency()));
    }
}

void KeyedBand::Draw(double pitchHz) {
    band::OverText over = [texts = texts_](uint64_t seed) {
        if (!texts) {
            return std::string();
        }
        Random random(seed);
        return BuildContactText(*texts, random);
    };
    band_.emplace(
        settings_, band::Keying{pitchHz, dotSamples_, amplitude_}, seed_,
        [](uint8_t c) { return MorseCode(c); }, std::move(over));
    beforeLast_.reset();
    lastTakenBack_ = true;
}

void KeyedBand::Process(std::span<int16_t> samples) {
    if (!band_) {
        return;
    }
    beforeLast_ = *band_;
    lastTakenBack_ = false;
    band_->Process(samples);
}

void KeyedBand::TakeBackLast() {
    if (!lastTakenBack_ && beforeLast_) {
        band_ = *beforeLast_;
    }
    lastTakenBack_ = true;
}

void KeyedBand::SetKeyDownAmplitude(int amplitude) {
    amplitude_ = amplitude;
    if (band_) {
        band_->SetKeyDownAmplitude(amplitude);
    }
    if (beforeLast_) {
        beforeLast_->SetKeyDownAmplitude(amplitude);
    }
}

void KeyedBand::Retune(double pitchHz) {
    if (band_ && band_->Plan().pitchHz != pitchHz) {
        Draw(pitchHz);
    }
}

std::size_t RenderKeyed(Keyer& keyer, KeyedBand* band, uint8_t c, std::size_t leadIn,
                        std::span<int16_t> buffer) {
    leadIn = std::min(leadIn, buffer.size());
    std::fill_n(buffer.begin(), leadIn, int16_t{0});
    const std::size_t capacity = std::min(buffer.size() - leadIn, Keyer::kMaxCharacterSamples);
    const int bytes = keyer.RenderCharacter(buffer.data() + leadIn, capacity, c);
    const std::size_t count = leadIn + static_cast<std::size_t>(bytes) / 2;
    if (band != nullptr) {
        band->Process(buffer.first(count));
    }
    return count;
}

}  // namespace vantrel
