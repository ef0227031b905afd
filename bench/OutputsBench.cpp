// Interference output measurements: the CPU the two sources cost per second of playing, on the
// virtual device and on a real sound server beside a keyed text, with the underruns counted.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "bench/CpuTime.h"
#include "platform/audio/VirtualWaveOut.h"
#if VANTREL_BENCH_PORTAUDIO
#include "platform/audio/PortAudioWaveOut.h"
#endif
#include "tests/trainer/PlaybackStandIns.h"
#include "trainer/InterferenceControls.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/PlaybackEngine.h"

namespace vantrel {
namespace {

using bench::CpuSeconds;
using bench::ProcessCpuSeconds;

using Clock = std::chrono::steady_clock;

constexpr double kBlocksPerSecond = 11025.0 / 1024.0;

// The CPU of every thread but the calling one.
double OtherThreadsCpuSeconds() {
    return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// Both sources on the hand-driven virtual device: one iteration plays one block of each and
// waits until both outputs have pulled the next. The time is the CPU of the outputs' threads
// and the device's notification threads; the benchmark thread (the simulated clock and its
// wait) is left out.
void BM_BothSourcesOneBlockOnVirtualDevice(benchmark::State& state) {
    audio::VirtualWaveSystem system(audio::VirtualWaveSystem::Clock::Manual);
    InterferenceControls controls(system);
    controls.CheckBox2Click(true);
    controls.CheckBox3Click(true);
    // The noise's stream follows its two probes; the tone's is the last one opened.
    const std::size_t noise = 2;
    const std::size_t tone = system.StreamCount() - 1;
    uint64_t blocks = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double before = OtherThreadsCpuSeconds();
        system.Advance(1024);
        ++blocks;
        while (system.Log(noise).headersWritten < blocks + 2 ||
               system.Log(tone).headersWritten < blocks + 2) {
            std::this_thread::yield();
        }
        const double spent = OtherThreadsCpuSeconds() - before;
        cpu += spent;
        state.SetIterationTime(spent);
    }
    state.counters["cpu_us_per_block_pair"] = cpu / static_cast<double>(blocks) * 1e6;
    // Share of one core spent per second of playing both sources.
    state.counters["cpu_ms_per_audio_s"] =
        cpu / static_cast<double>(blocks) * kBlocksPerSecond * 1e3;
    controls.CheckBox2Click(false);
    controls.CheckBox3Click(false);
}
BENCHMARK(BM_BothSourcesOneBlockOnVirtualDevice)->UseManualTime()->Unit(benchmark::kMicrosecond);

#if VANTREL_BENCH_PORTAUDIO

// Both sources and a keyed text at 12 groups per minute on the real device for
// VANTREL_SOAK_SECONDS (default 10): the process's CPU per second and the underruns.
void BM_BothSourcesAndKeyingOnSoundServer(benchmark::State& state) {
    const char* sink = std::getenv("VANTREL_PULSE_SINK");
    if (!sink || !*sink) {
        state.SkipWithError("no private sound server (VANTREL_PULSE_SINK unset)");
        return;
    }
    const char* secondsText = std::getenv("VANTREL_SOAK_SECONDS");
    const double seconds = secondsText ? std::atof(secondsText) : 10.0;
    audio::PortAudioWaveSystem system;
    if (system.DeviceCount() == 0) {
        state.SkipWithError("PortAudio finds no output device");
        return;
    }
    for (auto _ : state) {
        Keyer keyer;
        ManualNotificationQueue queue;
        test::KeptView view;
        test::FixedTextHost host(keyer, 12, "\xC6\xC6\xC6 = " + test::DigitGroups(150));
        PlaybackEngine engine(keyer, system, queue, view, host);
        InterferenceControls controls(system);
        const double cpuBefore = ProcessCpuSeconds();
        const auto start = Clock::now();
        controls.CheckBox2Click(true);
        controls.CheckBox3Click(true);
        engine.StartBtnClick();
        const auto deadline = start + std::chrono::duration<double>(seconds);
        queue.RunUntil([&] { return Clock::now() >= deadline; });
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        const audio::PortAudioStats stats = system.Stats();
        controls.CheckBox2Click(false);
        controls.CheckBox3Click(false);
        engine.PauseBtnClick();
        queue.RunUntil([&] { return engine.DeviceClosed(); });
        state.counters["seconds"] = elapsed;
        state.counters["cpu_ms_per_s"] = cpu / elapsed * 1e3;
        state.counters["underruns"] = static_cast<double>(stats.underruns);
        state.counters["host_underruns"] = static_cast<double>(stats.hostUnderruns);
    }
}
BENCHMARK(BM_BothSourcesAndKeyingOnSoundServer)->Iterations(1)->Unit(benchmark::kSecond);
#endif

}  // namespace
}  // namespace vantrel
