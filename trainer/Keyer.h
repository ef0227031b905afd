// Keying core: the Morse code table, element timing and tone synthesis of the keyed tone.
//
// A Keyer owns the timing (DotLength, Spacing), the tone (ToneFrequency, TonePhase) and the
// volume-scaled SineTable, and renders one character at a time into a caller's buffer as
// signed 16-bit mono samples at 8000 samples per second. All of it runs on one thread.
//
// The setters precompute everything the render path needs (phase increment, the rise of the
// envelope); RenderCharacter only reads it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

// The dot/dash pattern of a Windows-1251 byte, or an empty view when it has no code.
// Characters sharing a pattern share one string.
std::string_view MorseCode(uint8_t c);

// Length of the elements of `c` with the one-dot gap after each, in dots (0 without a code).
int MorseDots(uint8_t c);

// The speed ranges a Keyer keys at (trainer/Limits.h): a run's, which is the speed track bar's,
// and the recognition drills' own.
enum class SpeedRange { Run, CharacterDrill, Sprint };

class Keyer {
  public:
    static constexpr int kSineTableSize = 32768;
    static constexpr int32_t kPhaseMask = (1 << 30) - 1;
    // The longest character: 29 dots at 3 groups per minute ("0" or "," at spacing 7).
    static constexpr std::size_t kMaxCharacterSamples = 92800;
    // Samples at each end of a tone that the envelope shapes.
    static constexpr int kEnvelopeSamples = 31;

    // SineTable all zeros (volume level 0), ToneFrequency 1000 Hz, DotLength 0, Spacing 0.
    Keyer();

    // SpeedTrackBar position (groups per minute): DotLength = 9600 div speed.
    // Positions outside 3..30 (or the drill's range) are brought to the nearest end.
    void SetSpeed(int groupsPerMinute, SpeedRange range = SpeedRange::Run);
    // SpacingTrackBar position: extra dots after every character (0..7, clamped).
    void SetSpacing(int spacing);
    // PitchTrackBar position: ToneFrequency = 100 * position (4..16, clamped).
    void SetPitchPosition(int position);
    // VolTrackBar position: VolumeLevel = 8 - position (0..8, clamped), then BuildSineTable.
    void SetVolumePosition(int position);

    void BuildSineTable();
    void ResetPhase() { TonePhase = 0; }

    // Samples that RenderCharacter writes for `c` with the current timing.
    std::size_t CharacterSamples(uint8_t c) const;
    // Renders the element plan of `c` from buffer[0] on and returns the bytes written
    // (2 per sample). Never writes more than `capacitySamples` samples: a character that does
    // not fit is cut at the capacity.
    int RenderCharacter(int16_t* buffer, std::size_t capacitySamples, uint8_t c);

    int32_t DotLength() const { return dotLength_; }
    int32_t Spacing() const { return spacing_; }
    long double ToneFrequency() const { return toneFrequency_; }
    int32_t VolumeLevel() const { return volumeLevel_; }
    // Phase advance per sample; 2^30 is one period.
    int32_t PhaseIncrement() const { return phaseIncrement_; }
    const std::array<int16_t, kSineTableSize>& SineTable() const { return sineTable_; }
    int32_t TonePhase = 0;

  private:
    void RenderTone(int16_t* buffer, std::size_t capacity, std::size_t& position, int64_t count);
    void RenderSilence(int16_t* buffer, std::size_t capacity, std::size_t& position, int64_t count);
    void RenderShortTone(int16_t* out, int64_t count, int64_t written);
    void UpdateTone();
    int16_t TableSample(uint32_t phase) const { return sineTable_[phase >> 15]; }

    int32_t dotLength_ = 0;
    int32_t spacing_ = 0;
    long double toneFrequency_ = 1000.0L;
    int32_t volumeLevel_ = 0;
    int32_t phaseIncrement_ = 0;
    // The first kEnvelopeSamples samples of every tone long enough for the rise and the fall
    // not to overlap: they depend only on the table and the increment.
    std::array<int16_t, kEnvelopeSamples> rise_{};
    std::array<int16_t, kSineTableSize> sineTable_{};
};

}  // namespace vantrel
