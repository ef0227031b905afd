// End to end on a real sound server: the interference sources play through the PortAudio
// device into the private PulseAudio null sink of scripts/test.sh, whose monitor is captured.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

#include "platform/audio/PortAudioWaveOut.h"
#include "tests/platform/AudioAnalysis.h"
#include "tests/platform/MonitorCapture.h"
#include "trainer/InterferenceControls.h"

namespace vantrel {
namespace {

using audio::test::MonitorCapture;

class InterferenceSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* sink = std::getenv("VANTREL_PULSE_SINK");
        if (!sink || !*sink) {
            GTEST_SKIP() << "Skipped: no private sound server (VANTREL_PULSE_SINK unset); "
                            "scripts/test.sh starts one";
        }
        system_ = std::make_unique<audio::PortAudioWaveSystem>();
        if (system_->DeviceCount() == 0) {
            GTEST_SKIP() << "Skipped: PortAudio finds no output device on sink " << sink;
        }
        capture_ = std::make_unique<MonitorCapture>(sink);
        if (!capture_->WaitUntilRecording()) {
            GTEST_SKIP() << "Skipped: parec cannot record " << sink << ".monitor";
        }
        controls_ = std::make_unique<InterferenceControls>(*system_);
    }

    // Plays for about `seconds` and returns the capture from half a second after the start
    // (past the stream's start-up).
    std::vector<int16_t> PlayAndCapture(double seconds) {
        const std::size_t begin = capture_->SamplesSoFar();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const std::size_t end = capture_->SamplesSoFar();
        std::vector<int16_t> all = capture_->Stop();
        const auto skip = static_cast<std::size_t>(0.5 * MonitorCapture::kRate);
        const std::size_t from = std::min(all.size(), begin + skip);
        const std::size_t to = std::min(all.size(), end);
        return {all.begin() + static_cast<std::ptrdiff_t>(from),
                all.begin() + static_cast<std::ptrdiff_t>(std::max(from, to))};
    }

    void TearDown() override {
        controls_.reset();
        const audio::PortAudioStats stats = system_ ? system_->Stats() : audio::PortAudioStats{};
        std::cout << "underruns " << stats.underruns << ", host underruns " << stats.hostUnderruns
                  << "\n";
    }

    std::unique_ptr<audio::PortAudioWaveSystem> system_;
    std::unique_ptr<MonitorCapture> capture_;
    std::unique_ptr<InterferenceControls> controls_;
};

// The stereo 11025 Hz stream through the real backend; the levels and the bar are proved on
// the virtual device.
TEST_F(InterferenceSoundTest, TheToneReachesTheSinkAtFiveHundredHertz) {
    controls_->ScrollBar1Change(12000);
    controls_->CheckBox3Click(true);
    const std::vector<int16_t> captured = PlayAndCapture(1.5);
    ASSERT_GT(captured.size(), MonitorCapture::kRate / 2);
    const double hz = audio::test::FundamentalHz(captured, MonitorCapture::kRate);
    const double rms = audio::test::Rms(captured);
    std::cout << "tone " << hz << " Hz, RMS " << rms << "\n";
    EXPECT_NEAR(hz, 500.0, 2.0);
    EXPECT_NEAR(rms, 12000.0 / std::sqrt(3.0), 800.0);  // a triangle's RMS is peak / sqrt(3)
}

}  // namespace
}  // namespace vantrel
