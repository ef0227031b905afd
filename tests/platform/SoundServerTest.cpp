// End to end on a real sound server: keyed text goes through the PortAudio device into the
// private PulseAudio null sink of scripts/test.sh, its monitor is captured with parec, and the
// capture must carry the set pitch and decode back to the text.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>

#include "platform/audio/PortAudioWaveOut.h"
#include "tests/platform/AudioAnalysis.h"
#include "tests/platform/MonitorCapture.h"
#include "tests/platform/WaveEventLog.h"
#include "trainer/Keyer.h"

namespace vantrel::audio::test {
namespace {

constexpr double kCaptureRate = MonitorCapture::kRate;

// Keys a text through one stream with two one-character buffers in circulation.
class KeyedRun {
  public:
    KeyedRun(std::string text, int speed, int pitchPosition) : text_(std::move(text)) {
        keyer_.SetSpeed(speed);
        keyer_.SetSpacing(0);
        keyer_.SetPitchPosition(pitchPosition);
        keyer_.SetVolumePosition(2);
        for (auto& b : buffers_) {
            b.assign(Keyer::kMaxCharacterSamples, 0);
        }
    }

    WaveCallback Callback() {
        return log_.Callback([this](WaveMessage message, WaveHeader* header) {
            if (message == WaveMessage::Done && next_ < text_.size()) {
                Fill(*header);
            }
        });
    }

    void Begin(WaveOut& stream) {
        stream_ = &stream;
        for (int i = 0; i < 2; ++i) {
            headers_[i].data = reinterpret_cast<const uint8_t*>(buffers_[i].data());
            stream.Prepare(&headers_[i]);
            Fill(headers_[i]);
        }
    }

    bool WaitUntilPlayed() {
        const int count = static_cast<int>(text_.size());
        return log_.WaitFor([count](const std::vector<WaveEvent>& events) {
            int done = 0;
            for (const WaveEvent& e : events) {
                done += e.message == WaveMessage::Done;
            }
            return done >= count;
        });
    }

  private:
    void Fill(WaveHeader& header) {
        std::lock_guard lock(fillMutex_);
        const std::size_t index = &header == &headers_[0] ? 0 : 1;
        header.length = static_cast<uint32_t>(keyer_.RenderCharacter(
            buffers_[index].data(), buffers_[index].size(), static_cast<uint8_t>(text_[next_++])));
        stream_->Write(&header);
    }

    std::mutex fillMutex_;  // Begin and the first Done may overlap
    Keyer keyer_;
    std::string text_;
    std::size_t next_ = 0;
    std::vector<int16_t> buffers_[2];
    WaveHeader headers_[2];
    WaveOut* stream_ = nullptr;
    WaveEventLog log_;
};

// What one keyed run left at the sink.
struct Heard {
    std::vector<int16_t> captured;
    std::vector<Segment> segments;
    PortAudioStats stats;
    uint64_t hostUnderflowsDuringText = 0;
    bool completed = false;
};

Heard KeyThroughTheSink(PortAudioWaveSystem& system, const std::string& sink) {
    Heard heard;
    MonitorCapture capture(sink);
    if (!capture.WaitUntilRecording()) {
        return heard;
    }
    KeyedRun run("PARIS 73", 20, 8);  // 20 groups per minute: 60 ms dots; 800 Hz
    std::unique_ptr<WaveOut> stream;
    if (system.Open(WAVE_MAPPER, WaveFormat::Pcm(1, 8000, 16), run.Callback(), &stream) !=
        MMSYSERR_NOERROR) {
        return heard;
    }
    const uint64_t underflowsBefore = system.Stats().hostUnderruns;
    run.Begin(*stream);
    heard.completed = run.WaitUntilPlayed();
    heard.hostUnderflowsDuringText = system.Stats().hostUnderruns - underflowsBefore;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // let the tail reach parec
    stream.reset();
    heard.captured = capture.Stop();
    heard.segments = SegmentOnOff(heard.captured, kCaptureRate);
    heard.stats = system.Stats();
    if (const char* keep = std::getenv("VANTREL_KEEP_CAPTURE")) {
        // For a look at a failure: the raw capture, s16le mono 22050 Hz.
        std::ofstream(keep, std::ios::binary)
            .write(reinterpret_cast<const char*>(heard.captured.data()),
                   static_cast<std::streamsize>(heard.captured.size() * 2));
    }
    return heard;
}

long Tones(const Heard& heard) {
    return std::count_if(heard.segments.begin(), heard.segments.end(),
                         [](const Segment& s) { return s.on; });
}

class SoundServerTest : public ::testing::TestWithParam<double> {};

TEST_P(SoundServerTest, KeyedTextReachesTheSinkAtItsPitchAndDecodesBack) {
    const char* sink = std::getenv("VANTREL_PULSE_SINK");
    if (!sink || !*sink) {
        GTEST_SKIP() << "Skipped: no private sound server (VANTREL_PULSE_SINK unset); "
                        "scripts/test.sh starts one";
    }
    PortAudioOptions options;
    options.deviceRate = GetParam();
    if (const char* latency = std::getenv("VANTREL_MIN_LATENCY")) {
        options.minLatency = std::atof(latency);  // for measurements
    }
    if (const char* callbackMs = std::getenv("VANTREL_CALLBACK_MS")) {
        options.callbackMs = std::atof(callbackMs);
    }
    PortAudioWaveSystem system(options);
    if (system.DeviceCount() == 0) {
        GTEST_SKIP() << "Skipped: PortAudio finds no output device on sink " << sink;
    }

    // A host that did not call back in time (a starved machine) reports underflows; only such a
    // run is tried again. Faults of our own (gaps, wrong pitch, underruns) fail at once.
    Heard heard;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        heard = KeyThroughTheSink(system, sink);
        if (heard.captured.empty()) {
            GTEST_SKIP() << "Skipped: parec cannot record " << sink << ".monitor";
        }
        const PortAudioStats& stats = heard.stats;
        std::cout << "attempt " << attempt << ": device rate " << stats.lastDeviceRate
                  << (stats.lastConverted ? " (converted)" : "")
                  << ", first write to first consumed " << stats.lastStartLatencyNs / 1e6
                  << " ms, host output latency " << stats.lastOutputLatency * 1000
                  << " ms, underruns " << stats.underruns << ", host underflows during the text "
                  << heard.hostUnderflowsDuringText << "\n";
        const bool good = Tones(heard) == 24 && DecodeMorse(heard.segments) == "PARIS 73";
        if (good || heard.hostUnderflowsDuringText == 0) {
            break;
        }
    }

    ASSERT_TRUE(heard.completed);
    EXPECT_EQ(Tones(heard), 24) << "a gap inside a tone splits it";
    EXPECT_EQ(DecodeMorse(heard.segments), "PARIS 73")
        << "host underflows during the text: " << heard.hostUnderflowsDuringText;
    EXPECT_NEAR(ToneFrequencyHz(heard.captured, heard.segments, kCaptureRate, 220), 800.0, 2.0);
}

INSTANTIATE_TEST_SUITE_P(DeviceRates, SoundServerTest, ::testing::Values(0.0, 48000.0),
                         [](const auto& info) {
                             return info.param == 0.0 ? std::string("StreamRate")
                                                      : std::string("Converted48k");
                         });

}  // namespace
}  // namespace vantrel::audio::test
