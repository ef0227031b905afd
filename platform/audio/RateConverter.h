// Converts a stream of 16-bit frames from one sample rate to another by linear interpolation.
//
// The source is pulled one frame at a time, exactly `fromRate` source frames for every
// `toRate` output frames (integer arithmetic, so timing never drifts and pitch stays exact).
// No allocation: fit for an audio callback.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel::audio {

class RateConverter {
  public:
    static constexpr int kMaxChannels = 8;

    RateConverter() = default;
    RateConverter(uint32_t fromRate, uint32_t toRate, int channels)
        : from_(fromRate), to_(toRate), channels_(channels) {}

    // Forgets the frames seen so far (after a reset of the stream).
    void Clear() {
        previous_.fill(0);
        next_.fill(0);
        phase_ = 0;
        primed_ = false;
    }

    // Writes one output frame of `channels` samples. `pull(int16_t* frame)` fills the next
    // source frame.
    template <typename Pull>
    void Produce(int16_t* out, Pull&& pull) {
        if (!primed_) {
            pull(next_.data());
            primed_ = true;
        }
        phase_ += from_;
        while (phase_ >= to_) {
            phase_ -= to_;
            previous_ = next_;
            pull(next_.data());
        }
        // Weight of `next_` is phase_/to_: the output instant lies between the two frames.
        for (int c = 0; c < channels_; ++c) {
            const int64_t a = previous_[c];
            const int64_t b = next_[c];
            out[c] = static_cast<int16_t>(a + (b - a) * static_cast<int64_t>(phase_) /
                                                  static_cast<int64_t>(to_));
        }
    }

  private:
    uint32_t from_ = 1;
    uint32_t to_ = 1;
    int channels_ = 1;
    uint32_t phase_ = 0;
    bool primed_ = false;
    std::array<int16_t, kMaxChannels> previous_{};
    std::array<int16_t, kMaxChannels> next_{};
};

}  // namespace vantrel::audio
