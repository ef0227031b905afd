// The block kernels, and the wave format record, audio format and buffers their blocks travel
// in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "signal/ALAudioBuffer.h"
#include "signal/ALAudioFormat.h"
#include "signal/ALKernels.h"
#include "signal/OWLocks.h"
#include "signal/SLBuffers.h"

namespace vantrel::signal {
namespace {

using Samples = std::vector<int16_t>;
constexpr double kPi = 3.141592653589793;
const float kProgramRelFreq = static_cast<float>(500.0 / 11025.0);

// The triangle evaluated directly at each sample's phase.
int16_t ClosedFormTriangle(double magnitude, double relFreq, double asymmetry, double phase,
                           int k) {
    const double fall = kPi + asymmetry;
    const double rise = kPi - asymmetry;
    const double alpha = std::fmod(phase + kTwoPi * relFreq * k, kTwoPi);
    const double tri = alpha < fall ? 1.0 - 2.0 * alpha / fall : -1.0 + 2.0 * (alpha - fall) / rise;
    return static_cast<int16_t>(std::trunc(magnitude * tri));
}

// The program's block, which the noise group's suite checks on the device, is exactly the
// closed form with its end phase; so is every shape up to the near-sawtooth limits at low and
// high frequencies, within one step of truncation.
TEST(TriangleKernel, FollowsTheClosedFormForEveryShapeAndFrequency) {
    Samples block(3000);
    float phase = 0.0f;
    ASSERT_EQ(TriangleBlock(block.data(), 1024, 20000, kProgramRelFreq, 0.0f, &phase), 0);
    EXPECT_FLOAT_EQ(phase, 2.7640417f);
    for (int k = 0; k < 1024; ++k)
        ASSERT_EQ(block[k], ClosedFormTriangle(20000, kProgramRelFreq, 0.0, 0.0, k)) << k;

    const float limit = static_cast<float>(3.141592621);  // just inside the accepted range
    for (float asymmetry : {-limit, -3.0f, -2.0f, -0.5f, 0.0f, 0.7f, 1.0f, 2.5f, limit}) {
        for (float relFreq : {0.01f, 0.013f, 0.3f, 0.45f, 0.4999f}) {
            phase = 1.0f;
            ASSERT_EQ(TriangleBlock(block.data(), 3000, 12000, relFreq, asymmetry, &phase), 0);
            for (int k = 0; k < 3000; ++k) {
                ASSERT_NEAR(block[k], ClosedFormTriangle(12000, relFreq, asymmetry, 1.0, k), 1)
                    << "asymmetry " << asymmetry << " frequency " << relFreq << " sample " << k;
            }
        }
    }
}

TEST(TriangleKernel, ChecksArgumentsInOrderAndLeavesPhaseOnFailure) {
    int16_t out[4] = {7, 7, 7, 7};
    float phase = 1.0f, badPhase = 7.0f;
    const float pi = static_cast<float>(kPi);
    EXPECT_EQ(TriangleBlock(out, 4, 100, 0.1f, 0.0f, nullptr), kKernelNullPointer);
    EXPECT_EQ(TriangleBlock(out, 4, 0, 0.7f, 5.0f, &phase), kTriangleMagnitudeError);
    EXPECT_EQ(TriangleBlock(out, 4, 100, 0.5f, 5.0f, &phase), kTriangleFrequencyError);
    EXPECT_EQ(TriangleBlock(out, 4, 100, -0.1f, 0.0f, &phase), kTriangleFrequencyError);
    for (float asymmetry : {pi, -pi, NAN})
        EXPECT_EQ(TriangleBlock(out, 4, 100, 0.1f, asymmetry, &phase), kTriangleAsymmetryError);
    EXPECT_EQ(TriangleBlock(nullptr, 0, 100, 0.1f, 0.0f, &badPhase), kTrianglePhaseError);
    EXPECT_EQ(TriangleBlock(nullptr, 4, 100, 0.1f, 0.0f, &phase), kKernelNullPointer);
    EXPECT_EQ(TriangleBlock(out, 0, 100, 0.1f, 0.0f, &phase), kKernelSizeError);
    EXPECT_EQ(phase, 1.0f);
    EXPECT_EQ(out[0], 7);
}

TEST(PhaseAdvance, ResultThatRoundsUpToTwoPiInSinglePrecisionRestartsAtZero) {
    // 6.2831850 is the largest single below 2π; a tiny advance lands on a double that rounds to
    // the single above 2π, which the next block would refuse.
    for (bool tone : {true, false}) {
        float phase = 6.2831850f;
        int16_t out[1];
        const auto run = [&] {
            return tone ? ToneBlock(out, 1, 1000, 4.3e-8f, &phase)
                        : TriangleBlock(out, 1, 1000, 4.3e-8f, 0.0f, &phase);
        };
        ASSERT_EQ(run(), 0);
        EXPECT_LT(static_cast<double>(phase), kTwoPi);
        EXPECT_EQ(run(), 0) << "the following block is still generated";
    }
}

// Each block follows the cosine from the phase where the last one ended, and a long block of a
// low tone does not drift from it.
TEST(ToneKernel, MatchesTheCosineAcrossBlocksAndWithinLongOnes) {
    struct Case {
        int16_t magnitude;
        float relFreq, phase;
        int length, blocks;
    };
    for (const Case& c : {Case{25000, 0.0371f, 0.25f, 1000, 3}, Case{32767, 1e-5f, 0, 200000, 1}}) {
        Samples block(c.length);
        float phase = c.phase;
        for (int round = 0; round < c.blocks; ++round) {
            const double start = phase;
            ASSERT_EQ(ToneBlock(block.data(), c.length, c.magnitude, c.relFreq, &phase), 0);
            for (int k = 0; k < c.length; ++k) {
                const double exact = c.magnitude * std::cos(start + kTwoPi * c.relFreq * k);
                ASSERT_NEAR(block[k], std::trunc(exact), 1) << "round " << round << " sample " << k;
            }
            const double end = start + kTwoPi * c.relFreq * c.length;
            EXPECT_NEAR(std::remainder(phase - end, kTwoPi), 0.0, 1e-5) << round;
        }
    }
}

TEST(ToneKernel, ChecksArgumentsInOrder) {
    int16_t out[4];
    float phase = 1.0f, badPhase = -0.1f;
    EXPECT_EQ(ToneBlock(out, 4, 1000, 0.1f, nullptr), kKernelNullPointer);
    EXPECT_EQ(ToneBlock(out, 4, 0, 0.6f, &badPhase), kToneMagnitudeError);
    EXPECT_EQ(ToneBlock(out, 4, 1000, 0.6f, &badPhase), kToneFrequencyError);
    EXPECT_EQ(ToneBlock(nullptr, 0, 1000, NAN, &phase), kToneFrequencyError);
    EXPECT_EQ(ToneBlock(nullptr, 0, 1000, 0.1f, &badPhase), kTonePhaseError);
    EXPECT_EQ(ToneBlock(nullptr, 4, 1000, 0.1f, &phase), kKernelNullPointer);
    EXPECT_EQ(ToneBlock(out, 0, 1000, 0.1f, &phase), kKernelSizeError);
    EXPECT_EQ(phase, 1.0f);
}

TEST(AddAndThreshold, SaturateAndRefuseCrossedLevels) {
    const int16_t src[3] = {30000, -30000, 5};
    Samples dst = {10000, -10000, -7};
    ASSERT_EQ(AddSaturate(src, dst.data(), 3), 0);
    EXPECT_EQ(dst, (Samples{32767, -32768, -2}));
    EXPECT_EQ(Threshold(dst.data(), 3, 1, 1, 0, 0), kKernelThresholdError);
    EXPECT_EQ(dst[0], 32767) << "refused without touching the data";
    ASSERT_EQ(Threshold(dst.data(), 3, -3, -3, 3, 3), 0);
    EXPECT_EQ(dst, (Samples{3, -3, -2}));
}

TEST(BlockCopy, InterleavesWholeSamplesOrTheirLowBytes) {
    const int16_t mono[3] = {0x0102, 0x0304, -2};
    Samples stereo(6);
    ASSERT_EQ(BlockCopy(mono, 2, stereo.data() + 1, 4, 2, 3), 0);  // second channel
    EXPECT_EQ(stereo, (Samples{0, 0x0102, 0, 0x0304, 0, -2}));
    std::vector<uint8_t> bytes(3);
    ASSERT_EQ(BlockCopy(mono, 2, bytes.data(), 1, 1, 3), 0);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x02, 0x04, 0xFE}));
    EXPECT_EQ(BlockCopy(mono, 2, bytes.data(), 1, 1, 0), kKernelSizeError);
    EXPECT_EQ(BlockCopy(mono, 0, bytes.data(), 1, 1, 3), kKernelStepError);
}

// Whole blocks of the program's noise are checked by the noise group's suite. Odd lengths use
// half of the last pair and still draw one pair more than they write.
TEST(GaussKernel, SeedFiveHundredGivesTheKnownSequenceAndTheDeviationScalesIt) {
    Samples block(256);
    uint32_t state = 500;
    ASSERT_EQ(GaussBlock(block.data(), 1, 0, 9000, &state), 0);
    EXPECT_EQ(block[0], -7689);
    EXPECT_EQ(state, 3246529034u);
    state = 500;
    ASSERT_EQ(GaussBlock(block.data(), 3, 0, 9000, &state), 0);
    EXPECT_EQ(Samples(block.begin(), block.begin() + 3), (Samples{-7689, 2982, 3819}));
    EXPECT_EQ(state, 383956963u);

    ASSERT_EQ(GaussBlock(block.data(), 256, -1234, 0, &state), 0);
    EXPECT_EQ(block, Samples(256, -1234));
    ASSERT_EQ(GaussBlock(block.data(), 256, 0, 32767, &state), 0);
    const auto clipped =
        std::ranges::count_if(block, [](int s) { return s == 32767 || s == -32768; });
    EXPECT_GT(clipped, 50);  // about a third lies beyond one deviation
    EXPECT_EQ(GaussBlock(block.data(), 1, 0, 1, nullptr), kKernelNullPointer);
    EXPECT_EQ(GaussBlock(nullptr, 1, 0, 1, &state), kKernelNullPointer);
    EXPECT_EQ(GaussBlock(block.data(), 0, 0, 1, &state), kKernelSizeError);
}

TEST(WaveFormatRecord, SerialisesLittleEndianInEighteenBytes) {
    const TALWaveFormat record = TALWaveFormat::Pcm(2, 11025, 16);
    const std::array<uint8_t, 18> expected = {1,    0, 2, 0, 0x11, 0x2B, 0, 0, 0x44,
                                              0xAC, 0, 0, 4, 0,    16,   0, 0, 0};
    EXPECT_EQ(record.Bytes(), expected);
    EXPECT_EQ(TALWaveFormat::ReadFrom(expected.data()), record);
    EXPECT_EQ(record.ToDeviceFormat().avgBytesPerSec, 44100u);
}

TEST(AudioFormat, SettersNormaliseTheirValuesAndNotifyOnlyRealChangesExceptForTheRate) {
    int calls = 0;
    TALAudioFormat format(nullptr, [&](TALAudioFormatBasic&) { ++calls; });
    format.SetChannels(2);
    format.SetBits(16);
    format.SetBufferSize(1024);
    EXPECT_EQ(calls, 0) << "neither the defaults set at creation nor repeating them";
    format.SetSampleRate(11025);
    EXPECT_EQ(calls, 1);

    std::vector<uint32_t> normalised;
    for (auto [bits, channels] : {std::pair{12, 0}, {4, 40}, {8, 32}}) {
        format.SetBits(bits);
        format.SetChannels(channels);
        normalised.insert(normalised.end(), {format.Bits(), format.Channels()});
    }
    EXPECT_EQ(normalised, (std::vector<uint32_t>{16, 1, 8, 32, 8, 32}));
    EXPECT_EQ(calls, 4);
    format.SetBufferSize(0);
    EXPECT_EQ(format.BufferSize(), 1u);
    format.SetSampleRate(8000);
    EXPECT_EQ(format.WaveFormat(), TALWaveFormat::Pcm(32, 8000, 8));
    EXPECT_EQ(calls, 6);

    TALAudioFormat copy;
    copy.Assign(format);
    EXPECT_EQ(copy.WaveFormat(), format.WaveFormat());
    EXPECT_EQ(copy.BufferSize(), 1u);
}

TEST(AudioFormat, CallbackRunsUnderTheOwnersLock) {
    TOWObject owner;
    bool held = false;
    TALAudioFormat format(
        &owner, [&](TALAudioFormatBasic&) { held = owner.LockObject()->HeldByCurrentThread(); });
    format.SetBufferSize(256);
    EXPECT_TRUE(held);
    EXPECT_FALSE(owner.LockObject()->HeldByCurrentThread());
}

TEST(AudioBuffer, HoldsItsRecordThenFramesAddressedByFrameAndChannel) {
    auto access = TALAudioBuffer::Create(16, 4, 2)->AudioAccess();
    EXPECT_EQ(access->ByteSize(), 18u + 16u);
    EXPECT_EQ(access->FrameCount(), 4u);
    EXPECT_EQ(access->WaveFormat(), TALWaveFormat::Pcm(2, 11025, 16));
    EXPECT_EQ(access->Data(), access->ReadPointer() + 18);
    EXPECT_EQ(access->Sample(3, 1), 0);
    access->SetSample(3, 1, -12345);
    access->SetSample(0, 0, 70000);  // stored as its low 16 bits
    const uint8_t* data = access->Data();
    EXPECT_EQ(data[3 * 4 + 2], 0xC7);  // -12345 = 0xCFC7, little-endian
    EXPECT_EQ(data[3 * 4 + 3], 0xCF);
    EXPECT_EQ(access->Sample(3, 1), -12345);
    EXPECT_EQ(access->Sample(0, 0), static_cast<int16_t>(70000));

    auto bytes = TALAudioBuffer::Create(8, 3, 1)->AudioAccess();
    bytes->SetSample(2, 0, 200);
    EXPECT_EQ(bytes->Sample(2, 0), 200);
    EXPECT_EQ(bytes->DataBytes(), 3u);
}

TEST(AudioBuffer, OutOfRangeAccessRaisesWithTheOffendingValue) {
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;
    auto access = TALAudioBuffer::Create(16, 4, 2)->AudioAccess();
    // The channel is checked first.
    EXPECT_THAT([&] { access->Sample(9, 2); },
                ThrowsMessage<ERangeError>(StrEq("Channel out of rabge = 2")));
    EXPECT_THAT([&] { access->SetSample(4, 1, 0); },
                ThrowsMessage<ERangeError>(StrEq("Index out of rabge = 4")));
}

TEST(AudioBuffer, ForeignOrTruncatedBlocksReadSafely) {
    // A block too short for a record, and one whose record claims more than it holds.
    auto tiny = TSLBlockBuffer::Create(10);
    auto fromTiny = TALAudioBuffer::CreateFrom(*tiny)->AudioAccess();
    EXPECT_EQ(fromTiny->Channels() + fromTiny->FrameCount() + fromTiny->DataBytes(), 0u);
    EXPECT_THROW(fromTiny->Sample(0, 0), ERangeError);

    auto lying = TSLBlockBuffer::Create(20);
    TALWaveFormat claim = TALWaveFormat::Pcm(2, 8000, 16);
    claim.blockAlign = 1;  // frames would overlap and run off the end
    claim.WriteTo(lying->WritePointer());
    auto access = TALAudioBuffer::CreateFrom(*lying)->AudioAccess();
    EXPECT_EQ(access->FrameCount(), 2u);
    EXPECT_THROW(access->Sample(1, 1), ERangeError);
}

TEST(SharedBuffers, WritingThroughOneLeavesTheOtherUnchanged) {
    auto original = TALAudioBuffer::Create(16, 8, 2);
    original->AudioAccess()->SetSample(5, 0, 111);
    auto wrapped = TALAudioBuffer::CreateFrom(*original);
    EXPECT_EQ(wrapped->SharedBlock(), original->SharedBlock()) << "sharing copies nothing";
    EXPECT_TRUE(original->IsShared());

    auto access = wrapped->AudioAccess();
    access->SetSample(5, 0, 222);
    EXPECT_EQ(access->Sample(5, 0), 222);
    EXPECT_EQ(original->AudioAccess()->Sample(5, 0), 111);
    EXPECT_FALSE(original->IsShared() || wrapped->IsShared());
    EXPECT_EQ(access->WaveFormat(), TALWaveFormat::Pcm(2, 11025, 16));
}

}  // namespace
}  // namespace vantrel::signal
