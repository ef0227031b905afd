// The program's one pseudo-random generator, behind the practice texts and the contact
// generator. A fixed algorithm (xoshiro256**, seeded through SplitMix64) makes every sequence
// reproducible from its seed on every platform and standard library.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

class Random {
  public:
    explicit Random(uint64_t seed);
    // Seeded from the clock, for a fresh sequence each time the program starts.
    static Random FromClock();

    // Uniform in 0..n-1 without bias; 0 when n is 0.
    uint32_t operator()(uint32_t n);
    // The character lo + Random(hi - lo + 1), both bounds included; lo when hi < lo.
    uint8_t Char(uint8_t lo, uint8_t hi);
    // 64 random bits: the seed of something that draws from a generator of its own.
    uint64_t NextSeed() { return Next64(); }

  private:
    uint64_t Next64();
    uint32_t Next32() { return static_cast<uint32_t>(Next64() >> 32); }

    std::array<uint64_t, 4> state_{};
};

}  // namespace vantrel
