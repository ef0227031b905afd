// End to end on a real sound server, through the PortAudio and the libpulse devices into the
// private PulseAudio null sink of scripts/test.sh, whose monitor is captured with parec: text
// keyed by the keying engine decodes back at its pitch; the interference tone plays at its pitch
// and level, and an untick is silent soon, also after a burst of toggles; a server killed during
// a run ends the run with the audio error, after which a new run plays; the program started
// without a server plays through one that comes up later.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <span>
#include <thread>

#include "platform/audio/DeferredWaveSystem.h"
#include "platform/audio/PortAudioWaveOut.h"
#include "platform/audio/SoundSystemChoice.h"
#include "platform/audio/WorkerWaveSystem.h"
#include "tests/trainer/PlaybackStandIns.h"
#include "trainer/InterferenceControls.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/PlaybackEngine.h"
#ifdef VANTREL_HAVE_PULSE
#include "platform/audio/PulseWaveOut.h"
#endif
#include "tests/platform/AudioAnalysis.h"
#include "tests/platform/MonitorCapture.h"
#include "trainer/Keyer.h"

namespace vantrel::audio::test {
namespace {

constexpr double kCaptureRate = MonitorCapture::kRate;

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
        keyer_.SetSpeed(20);  // 60 ms dots
        keyer_.SetSpacing(0);
        keyer_.SetPitchPosition(8);  // 800 Hz
        keyer_.SetVolumePosition(2);
        engine_ = std::make_unique<PlaybackEngine>(keyer_, *system_, queue_, view_, host_);
    }

    // Runs the queue until `done` holds; false after 10 s, so that a test fails, not hangs.
    bool RunUntil(const std::function<bool()>& done) {
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        late_ = false;
        queue_.RunUntil([&] { return done() || late_; });
        return !late_;
    }

    // Runs the queue until the run has keyed `done` characters, or to its end (0).
    bool KeyUntil(int done = 0) {
        return RunUntil(
            [&] { return done > 0 ? engine_->DoneCount() >= done : engine_->DeviceClosed(); });
    }

    std::unique_ptr<WaveOutSystem> system_;
    std::function<uint64_t()> underflows_;
    std::string sink_;
    Keyer keyer_;
    vantrel::test::KeptView view_;
    vantrel::test::FixedTextHost host_{keyer_, 0, ""};
    std::chrono::steady_clock::time_point deadline_;
    bool late_ = false;
    ManualNotificationQueue queue_{[this] {
        late_ = std::chrono::steady_clock::now() > deadline_;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }};
    std::unique_ptr<PlaybackEngine> engine_;
};

TEST_P(SoundServerTest, KeyedTextReachesTheSinkWholeFromItsFirstElementAtItsPitch) {
    // A host that did not call back in time (a starved machine) reports underflows; only such a
    // run is tried again. Faults of our own (gaps, wrong pitch, underruns) fail at once.
    // Once the text is used up the run resets the device, cutting what is still queued, so a
    // practice text ends with a blank.
    host_.text = "PARIS 73 ";
    std::vector<int16_t> captured;
    std::vector<Segment> segments;
    uint64_t underflows = 0;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        MonitorCapture capture(sink_);
        ASSERT_TRUE(capture.WaitUntilRecording()) << "parec cannot record " << sink_;
        underflows = underflows_();
        engine_->StartBtnClick();
        ASSERT_TRUE(KeyUntil());
        underflows = underflows_() - underflows;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));  // let the tail reach parec
        captured = capture.Stop();
        segments = SegmentOnOff(captured, kCaptureRate);
        if (DecodeMorse(segments) == "PARIS 73" || underflows == 0) {
            break;
        }
    }
    const auto tones =
        std::count_if(segments.begin(), segments.end(), [](auto& s) { return s.on; });
    EXPECT_EQ(tones, 24) << "a gap inside a tone splits it";
    EXPECT_EQ(DecodeMorse(segments), "PARIS 73")
        << "host underflows during the text: " << underflows;
    EXPECT_NEAR(ToneFrequencyHz(captured, segments, kCaptureRate, 220), 800.0, 2.0);
    // Through the libpulse device the first element, a dot of 60 ms, is heard whole.
    const auto first = std::find_if(segments.begin(), segments.end(),
                                    [](const Segment& segment) { return segment.on; });
    ASSERT_NE(first, segments.end());
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
INSTANTIATE_TEST_SUITE_P(Pulse, SoundServerTest, ::testing::Values(Backend{"Pulse", 0.0, true}),
                         BackendName);
#endif

// Runs a helper of scripts/pulse.sh (pulse_kill, pulse_revive).
bool Pulse(const std::string& helper) {
    const char* script = std::getenv("VANTREL_PULSE_SCRIPT");
    return script && std::system(("bash -c 'source \"$VANTREL_PULSE_SCRIPT\" && " + helper +
                                  "' >/dev/null 2>&1")
                                     .c_str()) == 0;
}

TEST_P(SoundServerTest, AServerKilledDuringARunEndsItWithTheAudioErrorAndANewRunPlaysOnceBack) {
    if (!std::getenv("VANTREL_PULSE_SCRIPT")) {
        GTEST_SKIP() << "Skipped: VANTREL_PULSE_SCRIPT unset; scripts/pulse.sh exports it";
    }
    host_.text = "PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS ";
    engine_->StartBtnClick();
    ASSERT_TRUE(KeyUntil(3));
    ASSERT_TRUE(Pulse("pulse_kill"));
    ASSERT_TRUE(KeyUntil()) << "the run did not end";
    ASSERT_EQ(view_.boxes.size(), 1u);
    EXPECT_EQ(view_.boxes[0].rfind("audio error: ", 0), 0u);
    EXPECT_EQ(view_.status, RunStatus::Stopped);

    ASSERT_TRUE(Pulse("pulse_revive"));
    MonitorCapture capture(sink_);
    ASSERT_TRUE(capture.WaitUntilRecording());
    engine_->StartBtnClick();
    ASSERT_TRUE(KeyUntil(4));
    engine_->StopNow();
    const std::vector<int16_t> captured = capture.Stop();
    EXPECT_EQ(view_.boxes.size(), 1u);
    EXPECT_GT(Rms(captured), 100.0) << "the new run was not heard";
}

// Started while no sound server answers, the program's sound system (made as main() makes it,
// used as the window uses it) gives the audio error at Start; once a server has come up, the
// next Start plays through it and decodes, and a tick of the noise box sounds, without a
// restart.
TEST(LateSoundServerTest, StartGivesTheAudioErrorThenPlaysOnceAServerHasComeUp) {
    const char* sink = std::getenv("VANTREL_PULSE_SINK");
    if (!sink || !std::getenv("VANTREL_PULSE_SCRIPT")) {
        GTEST_SKIP() << "Skipped: no private sound server; scripts/test.sh starts one";
    }
    ASSERT_TRUE(Pulse("pulse_kill"));
    struct Revive {
        bool done = false;
        ~Revive() {
            if (!done) {
                Pulse("pulse_revive");  // for the tests after this one
            }
        }
    } revive;
    DeferredWaveSystem audio([] { return OpenSoundSystem(""); });
    audio.StartLoading();
    WorkerWaveSystem keyingAudio(audio);
    Keyer keyer;
    keyer.SetSpeed(20);
    keyer.SetSpacing(0);
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(2);
    vantrel::test::KeptView view;
    vantrel::test::FixedTextHost host{keyer, 0, "PARIS "};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    ManualNotificationQueue queue;
    PlaybackEngine engine(keyer, keyingAudio, queue, view, host);
    InterferenceControls controls(audio, signal::TSLClockService::Instance(),
                                  InterferenceControls::Switching::Background);
    controls.ScrollBar1Change(12000);

    engine.StartBtnClick();
    EXPECT_EQ(view.boxes, std::vector<std::string>{"audio error: no device driver present"});

    ASSERT_TRUE(Pulse("pulse_revive"));
    revive.done = true;
    MonitorCapture capture(sink);
    ASSERT_TRUE(capture.WaitUntilRecording());
    engine.StartBtnClick();
    queue.RunUntil([&] {
        return (engine.DoneCount() > 0 && engine.DeviceClosed()) || view.boxes.size() > 1 ||
               std::chrono::steady_clock::now() > deadline;
    });
    ASSERT_TRUE(engine.DeviceClosed()) << "the run did not end";
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the tail reaches parec
    const std::size_t tick = capture.SamplesSoFar();
    controls.CheckBox2Click(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    controls.CheckBox2Click(false);
    controls.Settle();
    const std::vector<int16_t> captured = capture.Stop();
    const auto half = static_cast<std::size_t>(kCaptureRate / 2);
    ASSERT_GT(captured.size(), tick + 2 * half);
    const std::vector<int16_t> keyed(captured.begin(), captured.begin() + tick);
    EXPECT_EQ(DecodeMorse(SegmentOnOff(keyed, kCaptureRate)), "PARIS");
    EXPECT_GT(Rms(std::span<const int16_t>(captured.data() + tick + half, half)), 3000.0)
        << "the tick was not heard";
    EXPECT_EQ(view.boxes.size(), 1u);
}

}  // namespace
}  // namespace vantrel::audio::test
