// What only the virtual device offers: exact recordings, its clocks, failures on demand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/audio/VirtualWaveOut.h"
#include "platform/audio/WavWriter.h"
#include "tests/platform/WaveEventLog.h"

namespace vantrel::audio::test {
namespace {

struct Samples {
    explicit Samples(std::vector<int16_t> values) : data(std::move(values)) {
        header.data = reinterpret_cast<const uint8_t*>(data.data());
        header.length = static_cast<uint32_t>(data.size() * 2);
    }
    std::vector<int16_t> data;
    WaveHeader header;
};

class VirtualWaveOutTest : public ::testing::Test {
  protected:
    std::unique_ptr<WaveOut> Open(uint32_t rate = 8000) {
        std::unique_ptr<WaveOut> stream;
        EXPECT_EQ(system_.Open(WAVE_MAPPER, WaveFormat::Pcm(1, rate, 16), log_.Callback(), &stream),
                  MMSYSERR_NOERROR);
        return stream;
    }
    void Write(WaveOut& stream, Samples& s) {
        stream.Prepare(&s.header);
        ASSERT_EQ(stream.Write(&s.header), MMSYSERR_NOERROR);
    }

    VirtualWaveSystem system_;
    WaveEventLog log_;
};

// Nothing is recorded before the first buffer nor while paused. Notifications that come late
// (a slow device) are still all delivered before Advance returns.
TEST_F(VirtualWaveOutTest, RecordsBuffersBackToBackThenSilence) {
    system_.SetNotificationDelay(std::chrono::milliseconds(30));
    auto stream = Open();
    system_.Advance(100);
    Samples a({1, 2, 3}), b({4, 5}), c({6, 7, 8, 9});
    Write(*stream, a);
    Write(*stream, b);
    system_.Advance(4);  // a and the first sample of b
    Write(*stream, c);
    EXPECT_EQ(system_.QueuedHeaders(), 2);
    stream->Pause();
    system_.Advance(100);
    EXPECT_TRUE(system_.Log(0).paused);
    stream->Restart();
    system_.Advance(8);
    EXPECT_EQ(system_.PlayedSamples(0), (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
    EXPECT_EQ(system_.TotalWritten(), 3u);
    EXPECT_EQ(log_.Count(WaveMessage::Done), 3);
}

// An underrun is a dry spell of a stream that has played: counted once however long it lasts,
// neither before the first buffer, nor when the next one came in time, nor after a reset.
TEST_F(VirtualWaveOutTest, UnderrunsCountTheDrySpellsOfEveryStream) {
    auto stream = Open();
    system_.Advance(10);
    Samples a({1, 2}), b({3, 4}), c({5, 6}), d({7, 8});
    Write(*stream, a);
    system_.Advance(2);  // a ends just as the advance does
    Write(*stream, b);
    system_.Advance(2);  // and so does b
    stream->Reset();
    system_.Advance(3);
    EXPECT_EQ(system_.Underruns(), 0u);
    Write(*stream, c);
    system_.Advance(3);
    system_.Advance(3);
    EXPECT_EQ(system_.Underruns(), 1u);

    auto other = Open();
    Write(*other, d);
    system_.Advance(3);
    EXPECT_EQ(system_.Log(1).underruns, 1u);
    EXPECT_EQ(system_.Underruns(), 2u);  // summed over the streams
}

TEST_F(VirtualWaveOutTest, AdvanceMsCarriesFractionsOfAFramePerStreamRate) {
    auto slow = Open(8000);
    auto odd = Open(11025);
    Samples a(std::vector<int16_t>(20000, 1)), b(std::vector<int16_t>(20000, 1));
    Write(*slow, a);
    Write(*odd, b);
    for (int i = 0; i < 1000; ++i) {
        system_.AdvanceMs(1);
    }
    EXPECT_EQ(system_.PlayedSamples(0).size(), 8000u);
    EXPECT_EQ(system_.PlayedSamples(1).size(), 11025u);
}

TEST_F(VirtualWaveOutTest, ClosedStreamIsWrittenToAWavFileExactlyOddDataPadded) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("vantrel-wav-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    system_.RecordToWav(dir.string());
    auto stream = Open();
    Samples a({100, -100, 32767});
    Write(*stream, a);
    system_.Advance(3);
    stream->Close();

    std::ifstream file(dir / "stream-0.wav", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    std::filesystem::remove_all(dir);
    ASSERT_EQ(bytes.size(), 44u + 6u);
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
    uint32_t rate = 0, dataSize = 0;
    std::memcpy(&rate, bytes.data() + 24, 4);
    std::memcpy(&dataSize, bytes.data() + 40, 4);
    EXPECT_EQ(rate, 8000u);
    EXPECT_EQ(dataSize, 6u);
    EXPECT_EQ(std::memcmp(bytes.data() + 44, a.data.data(), 6), 0);

    // Odd data is padded to an even chunk; an unwritable path fails with the system's error.
    const uint8_t odd[3] = {0x80, 0x81, 0x82};
    const auto padded = WavWriter::Encode(WaveFormat::Pcm(1, 8000, 8), odd, 3);
    ASSERT_EQ(padded.size(), 48u);
    std::memcpy(&dataSize, padded.data() + 4, 4);
    EXPECT_EQ(dataSize, 40u);
    EXPECT_EQ(WavWriter::Write("/nonexistent-dir/x.wav", WaveFormat{}, odd, 3)->code,
              std::errc::no_such_file_or_directory);
}

TEST_F(VirtualWaveOutTest, InjectedFailuresAndDeviceListShapeTheOpenResult) {
    std::unique_ptr<WaveOut> stream;
    const WaveFormat format = WaveFormat::Pcm(1, 8000, 16);
    system_.FailNextOpen(MMSYSERR_ALLOCATED);
    EXPECT_EQ(system_.Open(0, format, log_.Callback(), &stream), MMSYSERR_ALLOCATED);
    EXPECT_EQ(system_.Open(0, format, log_.Callback(), &stream), MMSYSERR_NOERROR);
    stream.reset();
    system_.FailOpens(MMSYSERR_ERROR);
    EXPECT_EQ(system_.Open(0, format, log_.Callback(), &stream), MMSYSERR_ERROR);
    EXPECT_EQ(system_.Open(0, format, log_.Callback(), &stream), MMSYSERR_ERROR);
    system_.FailOpens(MMSYSERR_NOERROR);

    system_.SetDevices({"A device with a product name longer than thirty-one", "B"});
    EXPECT_EQ(system_.DeviceCount(), 2);
    EXPECT_EQ(system_.DeviceName(0).size(), 31u);
    EXPECT_EQ(system_.DeviceName(2), "");
    system_.SetDevices({});
    EXPECT_EQ(system_.Open(WAVE_MAPPER, format, log_.Callback(), &stream), MMSYSERR_NODRIVER);
    EXPECT_FALSE(stream);
    EXPECT_EQ(system_.OpenAttempts(), 5u);
    EXPECT_EQ(system_.StreamCount(), 1u);
}

TEST(VirtualWaveOutRealTime, PlaysWithoutBeingAdvanced) {
    VirtualWaveSystem system(VirtualWaveSystem::Clock::RealTime);
    WaveEventLog log;
    std::unique_ptr<WaveOut> stream;
    ASSERT_EQ(system.Open(WAVE_MAPPER, WaveFormat::Pcm(1, 8000, 16), log.Callback(), &stream),
              MMSYSERR_NOERROR);
    Samples a(std::vector<int16_t>(400, 5));  // 50 ms
    stream->Prepare(&a.header);
    stream->Write(&a.header);
    EXPECT_TRUE(log.WaitFor([](const std::vector<WaveEvent>& e) { return e.size() == 2; }));
    stream.reset();
    EXPECT_GE(system.PlayedSamples(0).size(), 400u);
}

}  // namespace
}  // namespace vantrel::audio::test
