// Measurements of the real sound backends on a sound server, through the playback engine and the
// interference controls as the program drives them, with what reaches the sink read from its
// monitor. Run under scripts/pulse.sh (a private null sink); see scripts/measure-sound.sh.
//
//   vantrel_measure_sound cpu      pulse|portaudio SECONDS keyed|all|band
//   vantrel_measure_sound start    pulse|portaudio RUNS
//   vantrel_measure_sound toggles  pulse|portaudio COUNT
//   vantrel_measure_sound dropouts pulse|portaudio SECONDS
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/CpuTime.h"
#include "bench/EveryCondition.h"
#include "platform/audio/PortAudioWaveOut.h"
#include "platform/audio/PulseWaveOut.h"
#include "tests/platform/AudioAnalysis.h"
#include "tests/platform/MonitorCapture.h"
#include "tests/trainer/PlaybackStandIns.h"
#include "trainer/ContactData.h"
#include "trainer/InterferenceControls.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/PlaybackEngine.h"

namespace vantrel {
namespace {

using bench::CpuSeconds;
using bench::ProcessCpuSeconds;

using audio::test::MonitorCapture;
using Clock = std::chrono::steady_clock;
constexpr double kRate = MonitorCapture::kRate;
constexpr int kSpeed = 12;  // groups per minute: a dot is 100 ms

// The playback engine on the calling thread, as the window runs it.
struct Keying {
    explicit Keying(audio::WaveOutSystem& system) : engine(keyer, system, queue, view, host) {
        keyer.SetPitchPosition(8);
        keyer.SetVolumePosition(2);
    }
    // Runs the engine's notifications until `until`.
    void RunFor(Clock::duration duration) {
        const auto until = Clock::now() + duration;
        std::thread waker([&] {
            std::this_thread::sleep_until(until);
            queue.Post([] {});
        });
        queue.RunUntil([&] { return Clock::now() >= until; });
        waker.join();
    }
    Keyer keyer;
    test::KeptView view;
    test::FixedTextHost host{keyer, kSpeed, test::DigitGroups(400)};
    ManualNotificationQueue queue;
    PlaybackEngine engine;
};

double Ms(std::size_t samples) {
    return static_cast<double>(samples) * 1000 / kRate;
}

void Summary(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    if (values.empty()) {
        return;
    }
    std::printf("%s: median %.1f ms, worst %.1f ms, best %.1f ms (%zu)\n", what,
                values[values.size() / 2], values.back(), values.front(), values.size());
}

// `what`: "keyed" alone, "all" with the noise and the tone, "band" through the band with every
// condition on and five other stations.
void MeasureCpu(audio::WaveOutSystem& system, int seconds, const std::string& what) {
    Keying keying(system);
    keying.keyer.SetSpeed(kSpeed);
    const band::BandSettings everything = bench::EveryCondition();
    KeyedBand band(everything, keying.keyer, 7, std::make_shared<const ContactTexts>());
    if (what == "band") {
        keying.engine.SetBand(&band);
    }
    std::unique_ptr<InterferenceControls> controls;
    if (what == "all") {
        controls = std::make_unique<InterferenceControls>(system);
        controls->ScrollBar1Change(4000);
        controls->CheckBox2Click(true);
        controls->CheckBox3Click(true);
    }
    keying.engine.StartBtnClick();
    keying.RunFor(std::chrono::seconds(2));  // past the start-up
    const double cpu = ProcessCpuSeconds();
    const double keyingCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const auto wall = Clock::now();
    keying.RunFor(std::chrono::seconds(seconds));
    const double used = ProcessCpuSeconds() - cpu;
    const double keyingUsed = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - keyingCpu;
    const double elapsed = std::chrono::duration<double>(Clock::now() - wall).count();
    std::printf("process CPU %.2f ms per second over %.1f s, the keying thread %.3f (%s)\n",
                used * 1000 / elapsed, elapsed, keyingUsed * 1000 / elapsed,
                what == "all"    ? "keyed + noise + tone"
                : what == "band" ? "keyed through the band, every condition on"
                                 : "keyed alone");
    if (auto* pulse = dynamic_cast<audio::PulseWaveSystem*>(&system)) {
        const audio::PulseStats stats = pulse->Stats();
        std::printf("libpulse: %llu timer wake-ups, %llu headers sent on a later tick\n",
                    static_cast<unsigned long long>(stats.timerWakeups),
                    static_cast<unsigned long long>(stats.headersHeld));
    }
    keying.engine.StopNow();
}

void MeasureStart(audio::WaveOutSystem& system, int runs, const std::string& sink) {
    std::vector<double> latency;
    std::vector<double> firstLength;
    std::vector<double> laterDots;
    for (int run = 0; run < runs; ++run) {
        MonitorCapture capture(sink);
        if (!capture.WaitUntilRecording()) {
            std::fprintf(stderr, "parec cannot record\n");
            return;
        }
        Keying keying(system);
        const std::size_t startedAt = capture.SamplesSoFar();
        keying.engine.StartBtnClick();
        keying.RunFor(std::chrono::milliseconds(2600));
        keying.engine.StopNow();
        const std::vector<int16_t> captured = capture.Stop();
        const auto segments = audio::test::SegmentOnOff(captured, kRate);
        const auto first = std::find_if(segments.begin(), segments.end(), [&](const auto& s) {
            return s.on && s.start >= startedAt;
        });
        if (first == segments.end()) {
            std::printf("run %d: nothing heard\n", run);
            continue;
        }
        latency.push_back(Ms(first->start - startedAt));
        firstLength.push_back(Ms(first->length));
        // The next dot heard whole ("2" after the four dashes of "1"), measured alike.
        for (auto s = std::next(first); s != segments.end() && std::next(s) != segments.end();
             ++s) {
            if (s->on && Ms(s->length) < 200) {
                laterDots.push_back(Ms(s->length));
                break;
            }
        }
    }
    Summary("Start to first element at the sink", latency);
    Summary("first element heard (a dot: 100 ms)", firstLength);
    Summary("a later dot, measured alike", laterDots);
}

void MeasureToggles(audio::WaveOutSystem& system, int count, const std::string& sink) {
    std::vector<double> toSound;
    std::vector<double> toSilence;
    MonitorCapture capture(sink);
    if (!capture.WaitUntilRecording()) {
        return;
    }
    std::vector<std::pair<std::size_t, std::size_t>> marks;  // tick, untick positions
    {
        InterferenceControls controls(system);
        controls.ScrollBar1Change(8000);
        for (int toggle = 0; toggle < count; ++toggle) {
            const std::size_t tick = capture.SamplesSoFar();
            controls.CheckBox2Click(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            const std::size_t untick = capture.SamplesSoFar();
            controls.CheckBox2Click(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            marks.emplace_back(tick, untick);
        }
    }
    const std::vector<int16_t> captured = capture.Stop();
    auto loud = [&](std::size_t i) { return i < captured.size() && std::abs(captured[i]) > 1000; };
    for (const auto& [tick, untick] : marks) {
        std::size_t first = tick;
        while (first < untick && !loud(first)) {
            ++first;
        }
        std::size_t last = untick;
        for (std::size_t i = untick; i < untick + static_cast<std::size_t>(kRate * 0.69); ++i) {
            last = loud(i) ? i : last;
        }
        toSound.push_back(Ms(first - tick));
        toSilence.push_back(Ms(last - untick));
    }
    Summary("tick to sound", toSound);
    Summary("untick to silence", toSilence);
}

void MeasureDropouts(audio::WaveOutSystem& system, int seconds, const std::string& sink) {
    MonitorCapture capture(sink);
    if (!capture.WaitUntilRecording()) {
        return;
    }
    {
        Keying keying(system);
        keying.engine.StartBtnClick();
        keying.RunFor(std::chrono::seconds(seconds));
        keying.engine.StopNow();
    }
    const std::vector<int16_t> captured = capture.Stop();
    const auto segments = audio::test::SegmentOnOff(captured, kRate);
    // Every tone is a dot (100 ms) or a dash (300 ms); a gap inside one splits it into pieces
    // of other lengths.
    int tones = 0;
    int broken = 0;
    const auto last =
        std::find_if(segments.rbegin(), segments.rend(), [](const auto& s) { return s.on; }).base();
    for (auto s = segments.begin(); s != segments.end(); ++s) {
        if (!s->on || std::next(s) == last) {
            continue;  // the last tone may be cut by the stop
        }
        ++tones;
        const double ms = Ms(s->length);
        broken += !(std::abs(ms - 100) < 8 || std::abs(ms - 300) < 8);
    }
    std::printf("%d tones in %d s (the last left out), %d not a whole dot or dash\n", tones,
                seconds, broken);
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
    using namespace vantrel;
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: %s cpu|start|toggles|dropouts pulse|portaudio N [keyed|all|band]\n",
                     argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const std::string backend = argv[2];
    const int n = std::atoi(argv[3]);
    const char* sink = std::getenv("VANTREL_PULSE_SINK");
    std::unique_ptr<audio::WaveOutSystem> system;
    if (backend == "pulse") {
        system = std::make_unique<audio::PulseWaveSystem>();
    } else {
        system = std::make_unique<audio::PortAudioWaveSystem>();
    }
    if (system->DeviceCount() == 0 || !sink) {
        std::fprintf(stderr, "no sound server (run under scripts/pulse.sh)\n");
        return 1;
    }
    if (mode == "cpu") {
        MeasureCpu(*system, n, argc > 4 ? argv[4] : "keyed");
    } else if (mode == "start") {
        MeasureStart(*system, n, sink);
    } else if (mode == "toggles") {
        MeasureToggles(*system, n, sink);
    } else if (mode == "dropouts") {
        MeasureDropouts(*system, n, sink);
    }
    return 0;
}
