// End to end on a real sound server: keyed text and the interference tone go through the
// PortAudio and the libpulse devices into the private PulseAudio null sink of scripts/test.sh, its
// monitor is captured with parec, and the capture must carry the set pitch and decode back to the
// text. Through the libpulse device also: an untick is silent at the sink soon after a burst of
// toggles, and a server killed during a run ends the run with the audio error, after which a new
// run plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "platform/audio/PortAudioWaveOut.h"
#include "trainer/InterferenceControls.h"
#ifdef VANTREL_HAVE_PULSE
#include "platform/audio/PulseWaveOut.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/PlaybackEngine.h"
#endif
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
        return log_.WaitFor([count = text_.size()](const std::vector<WaveEvent>& events) {
            return WaveEventLog::Count(events, WaveMessage::Done) >= static_cast<int>(count);
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
    uint64_t hostUnderflowsDuringText = 0;
    bool completed = false;
};

// `underflows` reads the backend's count of host underflows.
Heard KeyThroughTheSink(WaveOutSystem& system, const std::string& sink,
                        const std::function<uint64_t()>& underflows) {
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
    const uint64_t underflowsBefore = underflows();
    run.Begin(*stream);
    heard.completed = run.WaitUntilPlayed();
    heard.hostUnderflowsDuringText = underflows() - underflowsBefore;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // let the tail reach parec
    stream.reset();
    heard.captured = capture.Stop();
    heard.segments = SegmentOnOff(heard.captured, kCaptureRate);
    return heard;
}

long Tones(const Heard& heard) {
    return std::count_if(heard.segments.begin(), heard.segments.end(),
                         [](const Segment& s) { return s.on; });
}

// One real backend: PortAudio at the stream's own rate or converting to 48 kHz, or libpulse.
struct Backend {
    const char* name;
    double deviceRate;
    bool pulse;
};

class SoundServerTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        const char* sink = std::getenv("VANTREL_PULSE_SINK");
        if (!sink || !*sink) {
            GTEST_SKIP() << "Skipped: no private sound server (VANTREL_PULSE_SINK unset); "
                            "scripts/test.sh starts one";
        }
        sink_ = sink;
        if (GetParam().pulse) {
#ifdef VANTREL_HAVE_PULSE
            auto pulse = std::make_unique<PulseWaveSystem>();
            underflows_ = [p = pulse.get()] { return p->Stats().underflows; };
            system_ = std::move(pulse);
#endif
        } else {
            PortAudioOptions options;
            options.deviceRate = GetParam().deviceRate;
            if (const char* latency = std::getenv("VANTREL_MIN_LATENCY")) {
                options.minLatency = std::atof(latency);  // for measurements
            }
            if (const char* callbackMs = std::getenv("VANTREL_CALLBACK_MS")) {
                options.callbackMs = std::atof(callbackMs);
            }
            auto portAudio = std::make_unique<PortAudioWaveSystem>(options);
            underflows_ = [p = portAudio.get()] { return p->Stats().hostUnderruns; };
            system_ = std::move(portAudio);
        }
        if (!system_ || system_->DeviceCount() == 0) {
            GTEST_SKIP() << "Skipped: " << GetParam().name << " finds no output on " << sink_;
        }
    }

    std::unique_ptr<WaveOutSystem> system_;
    std::function<uint64_t()> underflows_;
    std::string sink_;
};

TEST_P(SoundServerTest, KeyedTextReachesTheSinkWholeFromItsFirstElementAtItsPitch) {
    // A host that did not call back in time (a starved machine) reports underflows; only such a
    // run is tried again. Faults of our own (gaps, wrong pitch, underruns) fail at once.
    Heard heard;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        heard = KeyThroughTheSink(*system_, sink_, underflows_);
        if (heard.captured.empty()) {
            GTEST_SKIP() << "Skipped: parec cannot record " << sink_ << ".monitor";
        }
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
    // Through the libpulse device the first element, a dot of 60 ms, is heard whole.
    const auto first = std::find_if(heard.segments.begin(), heard.segments.end(),
                                    [](const Segment& segment) { return segment.on; });
    ASSERT_NE(first, heard.segments.end());
    EXPECT_TRUE(!GetParam().pulse || std::abs(first->length * 1000.0 / kCaptureRate - 60.0) < 6.0)
        << first->length * 1000.0 / kCaptureRate << " ms";
}

// The stereo 11025 Hz interference stream, ticked after `toggles` fast toggles of both boxes
// (switched as the window switches them): the triangle tone reaches the sink at 500 Hz and the
// level set (the levels and the bar are proved on the virtual device); after an untick of both
// the sink is silent soon.
TEST_P(SoundServerTest, TheInterferenceToneReachesTheSinkAtItsPitchAndAnUntickSilencesItSoon) {
    for (int toggles : {0, 30}) {
        MonitorCapture capture(sink_);
        ASSERT_TRUE(capture.WaitUntilRecording());
        std::size_t from = 0, untickedAt = 0;
        {
            InterferenceControls controls(*system_, signal::TSLClockService::Instance(),
                                          InterferenceControls::Switching::Background);
            controls.ScrollBar1Change(12000);
            for (int toggle = 0; toggle <= toggles; ++toggle) {
                controls.CheckBox2Click(toggle % 2 == 0 && toggle < toggles);
                controls.CheckBox3Click(toggle % 2 == 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(toggle % 2 == 0 ? 30 : 10));
            }
            from = capture.SamplesSoFar() + static_cast<std::size_t>(kCaptureRate / 2);
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            controls.CheckBox2Click(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            untickedAt = capture.SamplesSoFar();
            controls.CheckBox2Click(false);
            controls.CheckBox3Click(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
        }
        const std::vector<int16_t> all = capture.Stop();
        const std::size_t to = from + static_cast<std::size_t>(kCaptureRate / 2);
        ASSERT_GT(all.size(), to);
        const std::span<const int16_t> tone(all.data() + from, to - from);
        EXPECT_NEAR(FundamentalHz(tone, kCaptureRate), 500.0, 2.0);
        EXPECT_NEAR(Rms(tone), 12000.0 / std::sqrt(3.0), 800.0);  // a triangle's: peak / sqrt(3)
        std::size_t lastLoud = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            lastLoud = std::abs(all[i]) > 1000 ? i : lastLoud;
        }
        // The capture lags the sink a little, so this errs on the long side.
        const double ms =
            (static_cast<double>(lastLoud) - static_cast<double>(untickedAt)) * 1000 / kCaptureRate;
        std::cout << toggles << " toggles, untick to silence at the sink: " << ms << " ms\n";
        EXPECT_LT(ms, 450.0);
    }
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param.name;
}
INSTANTIATE_TEST_SUITE_P(PortAudio, SoundServerTest,
                         ::testing::Values(Backend{"StreamRate", 0.0, false},
                                           Backend{"Converted48k", 48000.0, false}),
                         BackendName);

#ifdef VANTREL_HAVE_PULSE
// What only the libpulse device is held to.
class PulseSoundServerTest : public SoundServerTest {
  protected:
    // Runs a helper of scripts/pulse.sh (pulse_kill, pulse_revive).
    static bool Pulse(const std::string& helper) {
        const char* script = std::getenv("VANTREL_PULSE_SCRIPT");
        return script && std::system(("bash -c 'source \"$VANTREL_PULSE_SCRIPT\" && " + helper +
                                      "' >/dev/null 2>&1")
                                         .c_str()) == 0;
    }
};
INSTANTIATE_TEST_SUITE_P(Pulse, SoundServerTest, ::testing::Values(Backend{"Pulse", 0.0, true}),
                         BackendName);
INSTANTIATE_TEST_SUITE_P(Pulse, PulseSoundServerTest,
                         ::testing::Values(Backend{"Pulse", 0.0, true}), BackendName);

// What the keying engine shows, kept for the test.
struct EngineView : PlaybackView {
    std::vector<std::string> warnings;
    std::string status;
    void SetStatusText(const std::string& text) override { status = text; }
    void SetStartEnabled(bool) override {}
    void SetPauseEnabled(bool) override {}
    void SetPauseCaption(const std::string&) override {}
    void SetCheckEnabled(bool) override {}
    void ShowKeyedText(const std::string&, int) override {}
    void ClearKeyedText() override {}
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
};

struct EngineHost : PlaybackHost {
    Keyer& keyer;
    explicit EngineHost(Keyer& k) : keyer(k) {}
    void ApplyTiming() override { keyer.SetSpeed(30), keyer.SetSpacing(0); }
    bool BuildPracticeText(std::string& text, int32_t& cursor) override {
        text = "PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS ";
        cursor = 1;
        return true;
    }
};

TEST_P(PulseSoundServerTest,
       AServerKilledDuringARunEndsItWithTheAudioErrorAndANewRunPlaysOnceBack) {
    if (!std::getenv("VANTREL_PULSE_SCRIPT")) {
        GTEST_SKIP() << "Skipped: VANTREL_PULSE_SCRIPT unset; scripts/pulse.sh exports it";
    }
    Keyer keyer;
    keyer.SetVolumePosition(2);
    EngineView view;
    EngineHost host(keyer);
    // Waits are bounded: after 10 s the queue stops waiting and the test fails instead of hanging.
    std::chrono::steady_clock::time_point deadline;
    bool late = false;
    ManualNotificationQueue queue([&] {
        late = std::chrono::steady_clock::now() > deadline;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    PlaybackEngine engine(keyer, *system_, queue, view, host);
    auto runUntil = [&](const std::function<bool()>& done) {
        deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        late = false;
        queue.RunUntil([&] { return done() || late; });
        return !late;
    };

    engine.StartBtnClick();
    ASSERT_TRUE(runUntil([&] { return engine.DoneCount() >= 3; }));
    ASSERT_TRUE(Pulse("pulse_kill"));
    ASSERT_TRUE(runUntil([&] { return engine.DeviceClosed(); })) << "the run did not end";
    ASSERT_EQ(view.warnings.size(), 1u);
    EXPECT_EQ(view.warnings[0].rfind("Ошибка открытия аудио!", 0), 0u);
    EXPECT_EQ(view.status, "Тестирование остановлено");

    ASSERT_TRUE(Pulse("pulse_revive"));
    MonitorCapture capture(sink_);
    ASSERT_TRUE(capture.WaitUntilRecording());
    engine.StartBtnClick();
    ASSERT_TRUE(runUntil([&] { return engine.DoneCount() >= 4; }));
    engine.StopNow();
    const std::vector<int16_t> captured = capture.Stop();
    EXPECT_EQ(view.warnings.size(), 1u);
    EXPECT_GT(Rms(captured), 100.0) << "the new run was not heard";
}
#endif

}  // namespace
}  // namespace vantrel::audio::test
