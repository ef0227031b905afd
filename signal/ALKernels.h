// Vector kernels of the interference chain.
//
// Plain functions over caller-owned blocks. None allocates, locks or throws: each returns a
// status, 0 on success and a negative code on failure (the codes below). A failing kernel leaves
// its outputs untouched, so a caller may test the status for zero or ignore it.
//
// Samples computed from floating values are truncated toward zero and saturated to the signed
// 16-bit range.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::signal {

// Kernel statuses.
inline constexpr int kKernelOk = 0;
inline constexpr int kKernelSizeError = -6;        // a length, count or element size below 1
inline constexpr int kKernelNullPointer = -8;      // a missing pointer
inline constexpr int kKernelStepError = -14;       // a stride below 1
inline constexpr int kKernelThresholdError = -18;  // high level below low level
inline constexpr int kTriangleAsymmetryError = -40;
inline constexpr int kTrianglePhaseError = -41;
inline constexpr int kTriangleFrequencyError = -42;
inline constexpr int kTriangleMagnitudeError = -43;
inline constexpr int kTonePhaseError = -44;
inline constexpr int kToneFrequencyError = -45;
inline constexpr int kToneMagnitudeError = -46;

// Exact 2π and its reciprocal, used by the phase advance of the tone and triangle kernels.
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kInvTwoPi = 0.15915494309189535;

// Copies `count` elements of `elementSize` bytes: element k is read at src + k * srcStep and
// written at dst + k * dstStep (steps in bytes). Used to interleave a mono block into a channel.
int BlockCopy(const void* src, int srcStep, void* dst, int dstStep, int elementSize, int count);

// Sets `bytes` bytes at `dst` to 0.
int ZeroBlock(void* dst, int bytes);

// x[k] = magnitude * cos(phase + 2π * relFreq * k) for k < length, with relFreq the frequency as
// a fraction of the sample rate in [0, 0.5). `*phase` (radians, [0, 2π)) is read as the phase of
// x[0] and replaced by the phase of the sample after the block, so consecutive calls join.
// `hint` selects an algorithm in other libraries and is ignored.
int ToneBlock(int16_t* dst, int length, int16_t magnitude, float relFreq, float* phase,
              int hint = 0);

// A triangle of peak `magnitude` that falls from +magnitude at phase 0 to -magnitude at phase
// π + asymmetry and rises back by 2π; asymmetry in [-π, π) skews it towards a falling (+π) or a
// rising (-π) sawtooth. Phase and relFreq as for ToneBlock.
int TriangleBlock(int16_t* dst, int length, int16_t magnitude, float relFreq, float asymmetry,
                  float* phase);

// srcDst[k] = saturate(src[k] + srcDst[k]).
int AddSaturate(const int16_t* src, int16_t* srcDst, int length);

// A sample below lowLevel becomes lowValue, otherwise a sample above highLevel becomes
// highValue.
int Threshold(int16_t* data, int length, int16_t lowLevel, int16_t lowValue, int16_t highLevel,
              int16_t highValue);

// Gaussian white noise: mean + stdDev * N(0, 1), from a lagged subtract-with-borrow generator
// combined with a congruential word, by the polar method. `*state` seeds the block and receives
// the seed of the next one, so consecutive calls continue one sequence.
int GaussBlock(int16_t* dst, int length, int16_t mean, int16_t stdDev, uint32_t* state);

}  // namespace vantrel::signal
