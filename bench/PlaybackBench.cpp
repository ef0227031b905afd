// Playback engine measurements: how long a Start takes to get its first buffer to the device,
// and how much CPU the engine spends per second of keyed audio.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>

#include "bench/CpuTime.h"
#include "platform/audio/VirtualWaveOut.h"
#if VANTREL_BENCH_PORTAUDIO
#include "platform/audio/PortAudioWaveOut.h"
#endif
#include "tests/trainer/PlaybackStandIns.h"
#include "trainer/ManualNotificationQueue.h"
#include "trainer/PlaybackEngine.h"

namespace vantrel {
namespace {

using bench::CpuSeconds;
using bench::ProcessCpuSeconds;

using Clock = std::chrono::steady_clock;

// A digit text as the text builder frames it: 150 groups of five, fixed seed.
std::string DigitText() {
    std::mt19937 random(12345);
    std::string text = "\xC6\xC6\xC6 = ";
    for (int group = 0; group < 150; ++group) {
        for (int i = 0; i < 5; ++i) {
            text.push_back(static_cast<char>('0' + random() % 10));
        }
        text.push_back(' ');
    }
    return text + " ";
}

// Forwards to another system and notes when the first header of a stream is written.
class FirstWriteProbe final : public audio::WaveOutSystem {
  public:
    explicit FirstWriteProbe(audio::WaveOutSystem& inner) : inner_(inner) {}
    Clock::time_point firstWrite{};

    int DeviceCount() override { return inner_.DeviceCount(); }
    std::string DeviceName(int index) override { return inner_.DeviceName(index); }
    audio::MMResult Open(int deviceId, const audio::WaveFormat& format,
                         audio::WaveCallback callback,
                         std::unique_ptr<audio::WaveOut>* stream) override {
        std::unique_ptr<audio::WaveOut> inner;
        const audio::MMResult result = inner_.Open(deviceId, format, std::move(callback), &inner);
        if (result == audio::MMSYSERR_NOERROR) {
            *stream = std::make_unique<Stream>(std::move(inner), *this);
        }
        return result;
    }

  private:
    class Stream final : public audio::WaveOut {
      public:
        Stream(std::unique_ptr<audio::WaveOut> inner, FirstWriteProbe& probe)
            : inner_(std::move(inner)), probe_(probe) {}
        audio::MMResult Prepare(audio::WaveHeader* h) override { return inner_->Prepare(h); }
        audio::MMResult Unprepare(audio::WaveHeader* h) override { return inner_->Unprepare(h); }
        audio::MMResult Write(audio::WaveHeader* h) override {
            const audio::MMResult result = inner_->Write(h);
            if (probe_.firstWrite == Clock::time_point{}) {
                probe_.firstWrite = Clock::now();
            }
            return result;
        }
        audio::MMResult Pause() override { return inner_->Pause(); }
        audio::MMResult Restart() override { return inner_->Restart(); }
        audio::MMResult Reset() override { return inner_->Reset(); }
        audio::MMResult Close() override { return inner_->Close(); }
        audio::MMResult GetPosition(uint64_t* frames) override {
            return inner_->GetPosition(frames);
        }

      private:
        std::unique_ptr<audio::WaveOut> inner_;
        FirstWriteProbe& probe_;
    };

    audio::WaveOutSystem& inner_;
};

// A device that takes no time: every header comes back as soon as it is written, so a run
// costs exactly what the engine itself does.
class InstantWaveSystem final : public audio::WaveOutSystem {
  public:
    uint64_t samplesWritten = 0;

    int DeviceCount() override { return 1; }
    std::string DeviceName(int) override { return "Instant"; }
    audio::MMResult Open(int, const audio::WaveFormat&, audio::WaveCallback callback,
                         std::unique_ptr<audio::WaveOut>* stream) override {
        callback(audio::WaveMessage::Open, nullptr);
        *stream = std::make_unique<Stream>(std::move(callback), *this);
        return audio::MMSYSERR_NOERROR;
    }

  private:
    class Stream final : public audio::WaveOut {
      public:
        Stream(audio::WaveCallback callback, InstantWaveSystem& system)
            : callback_(std::move(callback)), system_(system) {}
        audio::MMResult Prepare(audio::WaveHeader*) override { return audio::MMSYSERR_NOERROR; }
        audio::MMResult Unprepare(audio::WaveHeader*) override { return audio::MMSYSERR_NOERROR; }
        audio::MMResult Write(audio::WaveHeader* header) override {
            system_.samplesWritten += header->length / 2;
            callback_(audio::WaveMessage::Done, header);
            return audio::MMSYSERR_NOERROR;
        }
        audio::MMResult Pause() override { return audio::MMSYSERR_NOERROR; }
        audio::MMResult Restart() override { return audio::MMSYSERR_NOERROR; }
        audio::MMResult Reset() override { return audio::MMSYSERR_NOERROR; }
        audio::MMResult Close() override {
            if (!closed_) {
                closed_ = true;
                callback_(audio::WaveMessage::Close, nullptr);
            }
            return audio::MMSYSERR_NOERROR;
        }
        audio::MMResult GetPosition(uint64_t* frames) override {
            *frames = 0;
            return audio::MMSYSERR_NOERROR;
        }

      private:
        audio::WaveCallback callback_;
        InstantWaveSystem& system_;
        bool closed_ = false;
    };
};

Keyer MakeKeyer() {
    Keyer keyer;
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(0);
    return keyer;
}

// Start to the first Write at the device, on a device that plays in real time. The run is a
// single "E" at 30 groups per minute, so stopping it between iterations is quick.
void StartToFirstBuffer(benchmark::State& state, audio::WaveOutSystem& device) {
    FirstWriteProbe probe(device);
    ManualNotificationQueue queue;
    Keyer keyer = MakeKeyer();
    test::KeptView view;
    test::FixedTextHost host(keyer, 30, "E");
    PlaybackEngine engine(keyer, probe, queue, view, host);
    double startCall = 0.0;
    for (auto _ : state) {
        probe.firstWrite = {};
        const Clock::time_point start = Clock::now();
        engine.StartBtnClick();
        startCall += std::chrono::duration<double>(Clock::now() - start).count();
        if (!engine.Playing()) {
            state.SkipWithError("the device did not open");
            return;
        }
        queue.RunUntil([&] { return probe.firstWrite != Clock::time_point{}; });
        state.SetIterationTime(std::chrono::duration<double>(probe.firstWrite - start).count());
        queue.RunUntil([&] { return engine.DeviceClosed(); });
    }
    // The part spent inside StartBtnClick (building the text and opening the device); the
    // rest is the wait for the open notification and the rendering of the first character.
    state.counters["start_call_us"] = startCall * 1e6 / static_cast<double>(state.iterations());
}

void BM_StartToFirstBufferVirtual(benchmark::State& state) {
    audio::VirtualWaveSystem device(audio::VirtualWaveSystem::Clock::RealTime);
    StartToFirstBuffer(state, device);
}
BENCHMARK(BM_StartToFirstBufferVirtual)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMicrosecond);

#if VANTREL_BENCH_PORTAUDIO
void BM_StartToFirstBufferPortAudio(benchmark::State& state) {
    audio::PortAudioWaveSystem device;
    if (device.DeviceCount() == 0) {
        state.SkipWithError("no PortAudio output device");
        for (auto _ : state) {
        }
        return;
    }
    StartToFirstBuffer(state, device);
    state.counters["write_to_callback_us"] =
        static_cast<double>(device.Stats().lastStartLatencyNs) / 1000.0;
}
BENCHMARK(BM_StartToFirstBufferPortAudio)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMicrosecond);

#endif

// A whole 907-character digit run at Arg(0) groups per minute on the instant device, timed by
// this thread's CPU clock. cpu_per_audio_s is the engine's CPU seconds per keyed second.
void BM_EngineCpuPerKeyedSecond(benchmark::State& state) {
    ManualNotificationQueue queue;
    InstantWaveSystem device;
    Keyer keyer = MakeKeyer();
    test::KeptView view;
    test::FixedTextHost host(keyer, static_cast<int>(state.range(0)), DigitText());
    PlaybackEngine engine(keyer, device, queue, view, host);
    double cpu = 0.0;
    for (auto _ : state) {
        const double before = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        engine.StartBtnClick();
        queue.RunUntil([&] { return engine.DeviceClosed(); });
        cpu += CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - before;
    }
    const double audioSeconds = static_cast<double>(device.samplesWritten) / 8000.0;
    state.counters["audio_s_per_run"] = audioSeconds / static_cast<double>(state.iterations());
    state.counters["cpu_per_audio_s"] = cpu / audioSeconds;
}
BENCHMARK(BM_EngineCpuPerKeyedSecond)->Arg(12)->Arg(30)->Unit(benchmark::kMillisecond);

// The same run on the virtual device's hand-driven clock, fast-forwarded 10 ms per step; the
// process CPU clock also counts the device's notification thread and its recording.
void BM_VirtualRunCpuPerKeyedSecond(benchmark::State& state) {
    audio::VirtualWaveSystem device(audio::VirtualWaveSystem::Clock::Manual);
    uint64_t frames = 0;
    ManualNotificationQueue queue([&] {
        device.Advance(80);
        frames += 80;
    });
    Keyer keyer = MakeKeyer();
    test::KeptView view;
    test::FixedTextHost host(keyer, 12, DigitText());
    auto engine = std::make_unique<PlaybackEngine>(keyer, device, queue, view, host);
    double cpu = 0.0;
    for (auto _ : state) {
        const double before = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        engine->StartBtnClick();
        queue.RunUntil([&] { return engine->DeviceClosed(); });
        cpu += CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - before;
    }
    engine.reset();
    state.counters["cpu_per_audio_s"] = cpu / (static_cast<double>(frames) / 8000.0);
}
BENCHMARK(BM_VirtualRunCpuPerKeyedSecond)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
