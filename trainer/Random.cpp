#include "trainer/Random.h"

#include <chrono>

namespace vantrel {
namespace {

uint64_t SplitMix64(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr uint64_t RotateLeft(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

}  // namespace

Random::Random(uint64_t seed) {
    // SplitMix64 never yields an all-zero state, which xoshiro could not leave.
    for (auto& word : state_) {
        word = SplitMix64(seed);
    }
}

Random Random::FromClock() {
    const auto system = std::chrono::system_clock::now().time_since_epoch().count();
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    return Random(static_cast<uint64_t>(system) ^ RotateLeft(static_cast<uint64_t>(steady), 32));
}

uint64_t Random::Next64() {
    const uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 45);
    return result;
}

// Lemire's multiply-and-reject: the low word below 2^32 mod n marks the biased draws.
uint32_t Random::operator()(uint32_t n) {
    if (n == 0) {
        return 0;
    }
    uint64_t m = static_cast<uint64_t>(Next32()) * n;
    auto low = static_cast<uint32_t>(m);
    if (low < n) {
        const uint32_t threshold = (0u - n) % n;
        while (low < threshold) {
            m = static_cast<uint64_t>(Next32()) * n;
            low = static_cast<uint32_t>(m);
        }
    }
    return static_cast<uint32_t>(m >> 32);
}

uint8_t Random::Char(uint8_t lo, uint8_t hi) {
    if (hi < lo) {
        return lo;
    }
    return static_cast<uint8_t>(lo + (*this)(static_cast<uint32_t>(hi - lo) + 1));
}

}  // namespace vantrel
