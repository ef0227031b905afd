#include "band/BandRandom.h"

#include <cmath>
#include <numbers>

#include "signal/ALKernels.h"

namespace vantrel::band {

uint64_t BandRandom::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double BandRandom::Uniform() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double BandRandom::LogUniform(Range range) {
    return range.low * std::pow(range.high / range.low, Uniform());
}

double BandRandom::Exponential(double mean) {
    return -mean * std::log1p(-Uniform());
}

std::complex<double> BandRandom::ComplexGaussian() {
    const double radius = std::sqrt(-2.0 * std::log1p(-Uniform()));
    return std::polar(radius, 2.0 * std::numbers::pi * Uniform());
}

void GaussianStream::Refill() {
    signal::GaussBlock(chunk_.data(), kChunk, 0, kStdDev, &state_);
    next_ = 0;
}

}  // namespace vantrel::band
