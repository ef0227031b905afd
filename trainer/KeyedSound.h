// The keyed sound's one path: a character as the keyer renders it, after the silence of the
// start delay, then through the band conditions of the run. The playback engine's buffers and
// the export's file both come from RenderKeyed, so an exported text sounds as its run did.
//
// A KeyedBand is the band of one run, export or drill, drawn from one seed: the same seed,
// settings and keyed samples give the same sound to the last sample. With the conditions off it
// leaves the samples as they are. It runs on the thread that renders (the window's): it may
// allocate (a copy of the band before each buffer, another station's next over), never blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "band/BandSimulator.h"
#include "trainer/Keyer.h"

namespace vantrel {

struct ContactTexts;

// The key-down amplitude of the keyer's tone at its volume (the band's unit).
int KeyDownAmplitude(const Keyer& keyer);

class KeyedBand {
  public:
    // No band: the samples stay as rendered.
    KeyedBand() = default;
    // The band of `settings` (nothing when they are off) for the keyer's pitch, dot and volume
    // as they are now, every random choice from `seed`; the other stations key overs of the
    // contact generator from `texts`.
    KeyedBand(const band::BandSettings& settings, const Keyer& keyer, uint64_t seed,
              std::shared_ptr<const ContactTexts> texts);

    bool On() const { return band_.has_value(); }

    // Replaces `samples` (the next ones keyed) by what the receiver puts out.
    void Process(std::span<int16_t> samples);
    // The last buffer processed was not heard to its end and its character is keyed again:
    // the band goes back to where it was before that buffer, so it runs on without a jump. A
    // second call before the next Process changes nothing.
    void TakeBackLast();

    // The keyer's volume changed: the samples from now on have this key-down amplitude.
    void SetKeyDownAmplitude(int amplitude);
    // The keyer's pitch changed: the receiver is tuned to it, the band drawn again from the
    // run's seed (as a retuned receiver, it starts afresh).
    void Retune(double pitchHz);

  private:
    void Draw(double pitchHz);

    band::BandSettings settings_;
    int dotSamples_ = 0;
    int amplitude_ = 0;
    uint64_t seed_ = 0;
    std::shared_ptr<const ContactTexts> texts_;
    std::optional<band::BandSimulator> band_;
    // The band before the last buffer processed, while that buffer may still be taken back.
    std::optional<band::BandSimulator> beforeLast_;
    bool lastTakenBack_ = true;
};

// Renders `c` after `leadIn` samples of silence from buffer[0] on, the character cut at the
// buffer's end (and at Keyer::kMaxCharacterSamples), and passes the whole through `band` when
// there is one. Returns the samples written.
std::size_t RenderKeyed(Keyer& keyer, KeyedBand* band, uint8_t c, std::size_t leadIn,
                        std::span<int16_t> buffer);

}  // namespace vantrel
