// The wave output layer: start latency and underruns on a real sound server, and the cost of
// the virtual device and the rate converter.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/audio/PortAudioWaveOut.h"
#include "platform/audio/RateConverter.h"
#include "platform/audio/VirtualWaveOut.h"

namespace {

using namespace vantrel::audio;

// Counts Done notifications and lets the caller wait for a number of them.
class DoneCounter {
  public:
    WaveCallback Callback(std::function<void(WaveHeader*)> onDone = {}) {
        return [this, onDone = std::move(onDone)](WaveMessage message, WaveHeader* header) {
            if (message != WaveMessage::Done) {
                return;
            }
            if (onDone) {
                onDone(header);
            }
            {
                std::lock_guard lock(mutex_);
                ++done_;
            }
            changed_.notify_all();
        };
    }
    void WaitFor(uint64_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return done_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t done_ = 0;
};

std::vector<int16_t> Tone(std::size_t samples, double hz, double rate) {
    std::vector<int16_t> out(samples);
    for (std::size_t i = 0; i < samples; ++i) {
        out[i] = static_cast<int16_t>(12000 * std::sin(2 * std::numbers::pi * hz * i / rate));
    }
    return out;
}

// From the Write that finds the stream idle to the callback taking its first frames.
void BM_PortAudioWriteToFirstConsumed(benchmark::State& state) {
    PortAudioWaveSystem system;
    if (system.DeviceCount() == 0) {
        state.SkipWithError("no sound server or output device");
        return;
    }
    DoneCounter counter;
    std::unique_ptr<WaveOut> stream;
    if (system.Open(WAVE_MAPPER, WaveFormat::Pcm(1, 8000, 16), counter.Callback(), &stream) !=
        MMSYSERR_NOERROR) {
        state.SkipWithError("open failed");
        return;
    }
    std::vector<int16_t> samples = Tone(400, 800, 8000);  // 50 ms
    WaveHeader header;
    header.data = reinterpret_cast<const uint8_t*>(samples.data());
    header.length = static_cast<uint32_t>(samples.size() * 2);
    stream->Prepare(&header);
    uint64_t written = 0;
    for (auto _ : state) {
        stream->Write(&header);
        counter.WaitFor(++written);
        state.SetIterationTime(static_cast<double>(system.Stats().lastStartLatencyNs) / 1e9);
        // Idle for a moment so that the next write finds the stream idle at a random phase of
        // the host's period.
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
    state.counters["host_latency_ms"] = system.Stats().lastOutputLatency * 1000;
    stream->Close();
}
BENCHMARK(BM_PortAudioWriteToFirstConsumed)
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

// A continuous keyed tone through two 100 ms buffers in circulation for VANTREL_SOAK_SECONDS
// (default 20): underruns of the queue and underflows reported by the host.
void BM_PortAudioSoak(benchmark::State& state) {
    const char* env = std::getenv("VANTREL_SOAK_SECONDS");
    const int seconds = env ? std::atoi(env) : 20;
    PortAudioWaveSystem system;
    if (system.DeviceCount() == 0) {
        state.SkipWithError("no sound server or output device");
        return;
    }
    std::vector<int16_t> a = Tone(800, 800, 8000);
    std::vector<int16_t> b = a;
    WaveHeader headers[2];
    headers[0].data = reinterpret_cast<const uint8_t*>(a.data());
    headers[1].data = reinterpret_cast<const uint8_t*>(b.data());
    headers[0].length = headers[1].length = 1600;
    std::atomic<int> remaining{seconds * 10};
    WaveOut* raw = nullptr;
    DoneCounter counter;
    std::unique_ptr<WaveOut> stream;
    auto onDone = [&](WaveHeader* h) {
        if (remaining.fetch_sub(1) > 2) {
            raw->Write(h);
        }
    };
    for (auto _ : state) {
        if (system.Open(WAVE_MAPPER, WaveFormat::Pcm(1, 8000, 16), counter.Callback(onDone),
                        &stream) != MMSYSERR_NOERROR) {
            state.SkipWithError("open failed");
            return;
        }
        raw = stream.get();
        const PortAudioStats before = system.Stats();
        for (WaveHeader& h : headers) {
            stream->Prepare(&h);
            stream->Write(&h);
        }
        counter.WaitFor(static_cast<uint64_t>(seconds) * 10);
        const PortAudioStats after = system.Stats();
        // The queue runs dry once at the end.
        state.counters["underruns"] = static_cast<double>(after.underruns - before.underruns);
        state.counters["host_underflows"] =
            static_cast<double>(after.hostUnderruns - before.hostUnderruns);
        state.counters["seconds"] = seconds;
        stream.reset();
    }
}
BENCHMARK(BM_PortAudioSoak)->Iterations(1)->Unit(benchmark::kSecond);

// One second of sound on two virtual streams (8000 and 11025 Hz), in 10 ms steps.
void BM_VirtualSecondOfSound(benchmark::State& state) {
    VirtualWaveSystem system;
    DoneCounter counter;
    std::vector<int16_t> samples = Tone(80, 800, 8000);
    std::vector<WaveHeader> headers(2);
    std::unique_ptr<WaveOut> keyed;
    std::unique_ptr<WaveOut> noise;
    WaveOut* raw = nullptr;
    system.Open(WAVE_MAPPER, WaveFormat::Pcm(1, 8000, 16),
                counter.Callback([&](WaveHeader* h) { raw->Write(h); }), &keyed);
    system.Open(
        WAVE_MAPPER, WaveFormat::Pcm(2, 11025, 16), [](WaveMessage, WaveHeader*) {}, &noise);
    raw = keyed.get();
    for (WaveHeader& h : headers) {
        h.data = reinterpret_cast<const uint8_t*>(samples.data());
        h.length = 160;
        keyed->Prepare(&h);
        keyed->Write(&h);
    }
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            system.AdvanceMs(10);
        }
    }
    keyed.reset();
    noise.reset();
}
BENCHMARK(BM_VirtualSecondOfSound)->Unit(benchmark::kMillisecond);

// Converting 10 ms of 8000 Hz sound to 48000 Hz, as the callback does on a host that refuses
// the stream's rate.
void BM_RateConverter10ms(benchmark::State& state) {
    RateConverter converter(8000, 48000, 1);
    std::vector<int16_t> out(480);
    int16_t value = 0;
    for (auto _ : state) {
        for (int16_t& o : out) {
            converter.Produce(&o, [&](int16_t* f) { *f = value++; });
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_RateConverter10ms);

}  // namespace
