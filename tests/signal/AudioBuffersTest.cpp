#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "signal/ALAudioBuffer.h"
#include "signal/ALAudioFormat.h"
#include "signal/OWLocks.h"
#include "signal/SLBuffers.h"

namespace vantrel::signal {
namespace {

TEST(WaveFormatRecord, SerialisesLittleEndianInEighteenBytes) {
    const TALWaveFormat record = TALWaveFormat::Pcm(2, 11025, 16);
    const std::array<uint8_t, 18> expected = {1,    0, 2, 0, 0x11, 0x2B, 0, 0, 0x44,
                                              0xAC, 0, 0, 4, 0,    16,   0, 0, 0};
    EXPECT_EQ(record.Bytes(), expected);
    EXPECT_EQ(TALWaveFormat::ReadFrom(expected.data()), record);
    EXPECT_EQ(record.ToDeviceFormat().avgBytesPerSec, 44100u);
}

TEST(AudioFormat, SettersNormaliseTheirValues) {
    TALAudioFormat format;
    EXPECT_EQ(format.WaveFormat(), TALWaveFormat::Pcm(2, 11025, 16));
    EXPECT_EQ(format.BufferSize(), 1024u);

    std::vector<uint32_t> normalised;
    for (auto [bits, channels] : {std::pair{12, 0}, {4, 40}, {8, 32}}) {
        format.SetBits(bits);
        format.SetChannels(channels);
        normalised.insert(normalised.end(), {format.Bits(), format.Channels()});
    }
    EXPECT_EQ(normalised, (std::vector<uint32_t>{16, 1, 8, 32, 8, 32}));
    format.SetBufferSize(0);
    EXPECT_EQ(format.BufferSize(), 1u);

    format.SetSampleRate(8000);
    const TALWaveFormat record = format.WaveFormat();
    EXPECT_EQ(record.blockAlign, 32u);  // 8 bits, 32 channels
    EXPECT_EQ(record.avgBytesPerSec, 32u * 8000u);
}

TEST(AudioFormat, NotifiesOnlyRealChangesExceptForTheRate) {
    int calls = 0;
    TALAudioFormat format(nullptr, [&](TALAudioFormatBasic&) { ++calls; });
    format.SetChannels(2);
    format.SetBits(16);
    format.SetBufferSize(1024);
    EXPECT_EQ(calls, 0) << "neither the defaults set at creation nor repeating them";
    format.SetSampleRate(11025);
    EXPECT_EQ(calls, 1);
    format.SetChannels(1);
    format.SetBufferSize(512);
    EXPECT_EQ(calls, 3);

    TALAudioFormat copy;
    copy.Assign(format);
    EXPECT_EQ(copy.WaveFormat(), format.WaveFormat());
    EXPECT_EQ(copy.BufferSize(), 512u);
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

TEST(AudioBuffer, DefaultBlockHoldsRecordThenFrames) {
    auto buffer = TALAudioBuffer::Create(16, 1024, 2);
    auto access = buffer->AudioAccess();
    EXPECT_EQ(access->ByteSize(), 18u + 4096u);
    EXPECT_EQ(access->DataBytes(), 4096u);
    EXPECT_EQ(access->FrameCount(), 1024u);
    EXPECT_EQ(access->WaveFormat(), TALWaveFormat::Pcm(2, 11025, 16));
    EXPECT_EQ(access->Data(), access->ReadPointer() + 18);
    EXPECT_EQ(access->Sample(1023, 1), 0);
}

TEST(AudioBuffer, SamplesAreAddressedByFrameAndChannel) {
    auto buffer = TALAudioBuffer::Create(16, 4, 2);
    auto access = buffer->AudioAccess();
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
