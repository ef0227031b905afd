#include "signal/ALKernels.h"

#include <cmath>
#include <cstring>

namespace vantrel::signal {

namespace {

constexpr double kPi = 3.141592653589793;

// Truncates toward zero and saturates to the signed 16-bit range (NaN gives 0).
inline int16_t ToSample(double x) {
    if (x >= 32767.0) {
        return 32767;
    }
    if (x <= -32768.0) {
        return -32768;
    }
    if (std::isnan(x)) {
        return 0;
    }
    return static_cast<int16_t>(static_cast<int32_t>(x));
}

// Written so that NaN counts as out of range.
inline bool InHalfOpen(double value, double low, double high) {
    return value >= low && value < high;
}

// The phase after `length` samples, reduced to [0, 2π) and carried in single precision. A value
// that rounds up to 2π in single precision is stored as 0, so the next block's phase check
// accepts it.
float AdvancePhase(float phase, float relFreq, int length) {
    const double p = static_cast<double>(phase) + kTwoPi * static_cast<double>(relFreq) * length;
    double next = p - kTwoPi * std::floor(p * kInvTwoPi);
    if (!InHalfOpen(next, 0.0, kTwoPi)) {
        next = 0.0;
    }
    const float stored = static_cast<float>(next);
    return static_cast<double>(stored) < kTwoPi ? stored : 0.0f;
}

// Lagged subtract-with-borrow generator combined with a linear congruential word.
class GaussSource {
  public:
    explicit GaussSource(uint32_t state) : a_(state), b_(kMul * a_ + kInc), c_(kMul * b_ + kInc) {}

    // Draws pairs until one lies inside the unit circle and returns its polar-method factor
    // together with the pair.
    void NextPair(double& x, double& y, double& factor) {
        for (;;) {
            uint32_t t1 = borrow_ + b_ - c_;
            uint32_t b1 = 0;
            if (static_cast<int32_t>(t1) < 0) {
                b1 = ~0u;
                t1 -= 18;
            }
            uint32_t t2 = a_ - b_ + b1;
            uint32_t b2 = 0;
            if (static_cast<int32_t>(t2) < 0) {
                b2 = ~0u;
                t2 -= 18;
            }
            const uint32_t l1 = kMul * lcg_ + kInc;
            const uint32_t l2 = kMul * l1 + kInc;
            const auto u = static_cast<int32_t>(t1 + l1);
            const auto v = static_cast<int32_t>(t2 + l2);
            c_ = a_;
            b_ = t1;
            a_ = t2;
            borrow_ = b2;
            lcg_ = l2;

            x = u * kScale;
            y = v * kScale;
            const double s = x * x + y * y;
            if (s < 1.0 && s != 0.0) {
                factor = std::sqrt(-2.0 * std::log(s) / s);
                return;
            }
        }
    }

    uint32_t State() const { return a_; }

  private:
    static constexpr uint32_t kMul = 69069u;
    static constexpr uint32_t kInc = 1013904243u;
    static constexpr uint32_t kLcgStart = 1131199209u;
    static constexpr double kScale = 4.656612873077e-10;

    uint32_t a_;
    uint32_t b_;
    uint32_t c_;
    uint32_t borrow_ = ~0u;
    uint32_t lcg_ = kLcgStart;
};

// A strided copy of elements of a size known at compile time, which the compiler turns into
// plain loads and stores.
template <size_t kSize>
void CopyStrided(const uint8_t* from, int srcStep, uint8_t* to, int dstStep, int count) {
    for (int k = 0; k < count; ++k) {
        std::memcpy(to, from, kSize);
        from += srcStep;
        to += dstStep;
    }
}

}  // namespace

int BlockCopy(const void* src, int srcStep, void* dst, int dstStep, int elementSize, int count) {
    if (src == nullptr || dst == nullptr) {
        return kKernelNullPointer;
    }
    if (elementSize < 1 || count < 1) {
        return kKernelSizeError;
    }
    if (srcStep < 1 || dstStep < 1) {
        return kKernelStepError;
    }
    const auto* from = static_cast<const uint8_t*>(src);
    auto* to = static_cast<uint8_t*>(dst);
    const auto size = static_cast<size_t>(elementSize);
    if (srcStep == elementSize && dstStep == elementSize) {
        std::memmove(to, from, size * static_cast<size_t>(count));
        return kKernelOk;
    }
    switch (elementSize) {
        case 1:
            CopyStrided<1>(from, srcStep, to, dstStep, count);
            break;
        case 2:
            CopyStrided<2>(from, srcStep, to, dstStep, count);
            break;
        case 4:
            CopyStrided<4>(from, srcStep, to, dstStep, count);
            break;
        default:
            for (int k = 0; k < count; ++k) {
                std::memcpy(to, from, size);
                from += srcStep;
                to += dstStep;
            }
    }
    return kKernelOk;
}

int ZeroBlock(void* dst, int bytes) {
    if (dst == nullptr) {
        return kKernelNullPointer;
    }
    if (bytes < 1) {
        return kKernelSizeError;
    }
    std::memset(dst, 0, static_cast<size_t>(bytes));
    return kKernelOk;
}

int ToneBlock(int16_t* dst, int length, int16_t magnitude, float relFreq, float* phase,
              int /*hint*/) {
    if (phase == nullptr) {
        return kKernelNullPointer;
    }
    if (magnitude < 1) {
        return kToneMagnitudeError;
    }
    if (!InHalfOpen(relFreq, 0.0, 0.5)) {
        return kToneFrequencyError;
    }
    if (!InHalfOpen(*phase, 0.0, kTwoPi)) {
        return kTonePhaseError;
    }
    if (dst == nullptr) {
        return kKernelNullPointer;
    }
    if (length < 1) {
        return kKernelSizeError;
    }
    const double phi = *phase;
    *phase = AdvancePhase(*phase, relFreq, length);

    // c[k] = 2cos(2ω)·c[k-2] − c[k-4]: two interleaved cosine recurrences of step 2ω, so each
    // sample costs one multiplication and one subtraction.
    const double omega = kTwoPi * static_cast<double>(relFreq);
    const double coef = 2.0 * std::cos(2.0 * omega);
    const double m = magnitude;
    double c[4];
    for (int j = 0; j < 4; ++j) {
        c[j] = std::cos(phi + omega * j);
    }
    int k = 0;
    for (; k < 4 && k < length; ++k) {
        dst[k] = ToSample(m * c[k]);
    }
    double even2 = c[0], even = c[2];  // c[k-4] and c[k-2] of the sequence of k
    double odd2 = c[1], odd = c[3];
    for (; k + 1 < length; k += 2) {
        const double nextEven = coef * even - even2;
        const double nextOdd = coef * odd - odd2;
        dst[k] = ToSample(m * nextEven);
        dst[k + 1] = ToSample(m * nextOdd);
        even2 = even;
        even = nextEven;
        odd2 = odd;
        odd = nextOdd;
    }
    if (k < length) {
        dst[k] = ToSample(m * (coef * even - even2));
    }
    return kKernelOk;
}

int TriangleBlock(int16_t* dst, int length, int16_t magnitude, float relFreq, float asymmetry,
                  float* phase) {
    if (phase == nullptr) {
        return kKernelNullPointer;
    }
    if (magnitude < 1) {
        return kTriangleMagnitudeError;
    }
    if (!InHalfOpen(relFreq, 0.0, 0.5)) {
        return kTriangleFrequencyError;
    }
    if (!InHalfOpen(asymmetry, -kPi, kPi)) {
        return kTriangleAsymmetryError;
    }
    if (!InHalfOpen(*phase, 0.0, kTwoPi)) {
        return kTrianglePhaseError;
    }
    if (dst == nullptr) {
        return kKernelNullPointer;
    }
    if (length < 1) {
        return kKernelSizeError;
    }
    const double alpha = *phase;
    *phase = AdvancePhase(*phase, relFreq, length);

    const double m = magnitude;
    const double fall = kPi + asymmetry;  // length of the falling part, radians
    const double rise = kPi - asymmetry;  // length of the rising part
    const double d = 4.0 * kPi * m * static_cast<double>(relFreq);
    const double fallStep = -d / fall;
    const double riseStep = d / rise;
    const double riseToFall = rise / fall;
    const double fallToRise = fall / rise;
    const double fallWrap = 4.0 * kPi * m / fall;
    const double riseWrap = 4.0 * kPi * m / rise;

    bool rising = alpha >= fall;
    double y = rising ? m * (-1.0 + 2.0 * (alpha - fall) / rise) : m * (1.0 - 2.0 * alpha / fall);
    for (int k = 0; k < length; ++k) {
        dst[k] = ToSample(y);
        if (rising) {
            y += riseStep;
            if (y > m) {
                const double reflected = m + (m - y) * riseToFall;
                if (reflected < -m) {
                    y -= riseWrap;
                } else {
                    y = reflected;
                    rising = false;
                }
            }
        } else {
            y += fallStep;
            if (y < -m) {
                const double reflected = -m - (y + m) * fallToRise;
                if (reflected > m) {
                    y += fallWrap;
                } else {
                    y = reflected;
                    rising = true;
                }
            }
        }
    }
    return kKernelOk;
}

int AddSaturate(const int16_t* src, int16_t* srcDst, int length) {
    if (src == nullptr || srcDst == nullptr) {
        return kKernelNullPointer;
    }
    if (length < 1) {
        return kKernelSizeError;
    }
    for (int k = 0; k < length; ++k) {
        int32_t sum = int32_t{src[k]} + int32_t{srcDst[k]};
        sum = sum > 32767 ? 32767 : (sum < -32768 ? -32768 : sum);
        srcDst[k] = static_cast<int16_t>(sum);
    }
    return kKernelOk;
}

int Threshold(int16_t* data, int length, int16_t lowLevel, int16_t lowValue, int16_t highLevel,
              int16_t highValue) {
    if (data == nullptr) {
        return kKernelNullPointer;
    }
    if (length < 1) {
        return kKernelSizeError;
    }
    if (highLevel < lowLevel) {
        return kKernelThresholdError;
    }
    for (int k = 0; k < length; ++k) {
        if (data[k] < lowLevel) {
            data[k] = lowValue;
        } else if (data[k] > highLevel) {
            data[k] = highValue;
        }
    }
    return kKernelOk;
}

int GaussBlock(int16_t* dst, int length, int16_t mean, int16_t stdDev, uint32_t* state) {
    if (dst == nullptr || state == nullptr) {
        return kKernelNullPointer;
    }
    if (length < 1) {
        return kKernelSizeError;
    }
    GaussSource source(*state);
    const double m = mean;
    const double d = stdDev;
    double x, y, factor;
    source.NextPair(x, y, factor);
    int k = 0;
    for (; k + 1 < length; k += 2) {
        const double scale = factor * d;
        dst[k] = ToSample(m + scale * y);
        dst[k + 1] = ToSample(m + scale * x);
        source.NextPair(x, y, factor);
    }
    if (k < length) {
        dst[k] = ToSample(m + (factor * d) * y);
    }
    *state = source.State();
    return kKernelOk;
}

}  // namespace vantrel::signal
