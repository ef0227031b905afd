// Measurements of captured or synthesised audio, for tests: level, pitch, on/off pattern and
// the Morse text that pattern keys. Mono signed 16-bit samples throughout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantrel::audio::test {

// Root mean square of the samples (0 for none).
double Rms(std::span<const int16_t> samples);

// Fundamental frequency in Hz from the rising zero crossings (interpolated between samples, with
// hysteresis against noise), or 0 when there are fewer than two. Meant for one steady tone.
double FundamentalHz(std::span<const int16_t> samples, double sampleRate);

// A run of tone ("on") or silence, in samples.
struct Segment {
    bool on = false;
    std::size_t start = 0;
    std::size_t length = 0;
};

// Splits the signal into tone and silence with an envelope follower (peak hold decaying in 3 ms)
// and a threshold at half the loudest envelope, with hysteresis. Leading and trailing silence
// are included as segments.
std::vector<Segment> SegmentOnOff(std::span<const int16_t> samples, double sampleRate);

// The Morse text keyed by the segments: the median short tone sets the dot; tones up to two dots
// are dots, longer ones dashes; gaps under two dots join elements, under four dots end a
// character, longer ones end a word (one blank). Unknown patterns decode to '#'.
std::string DecodeMorse(const std::vector<Segment>& segments);

// Frequency of the longest tone segment, trimmed by `trim` samples at both ends (0 for none).
double ToneFrequencyHz(std::span<const int16_t> samples, const std::vector<Segment>& segments,
                       double sampleRate, std::size_t trim);

}  // namespace vantrel::audio::test
