// The band conditions' cost per second of keyed audio: a digit text keyed character by
// character as the playback engine keys it, alone and through the band with every condition on
// and five other stations keying generated contact overs.
#include <benchmark/benchmark.h>

#include <vector>

#include "band/BandSimulator.h"
#include "bench/EveryCondition.h"
#include "trainer/ContactGenerator.h"
#include "trainer/Keyer.h"
#include "trainer/PracticeTextBuilder.h"

namespace vantrel {
namespace {

void KeyText(benchmark::State& state, bool withBand) {
    Random random(1);
    const ContactTexts contacts;
    PracticeTextBuilder builder(random, contacts);
    const std::string text = builder.Build({TextType::Digits, {}, {}}).text;
    Keyer keyer;
    keyer.SetSpeed(static_cast<int>(state.range(0)));
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(0);
    band::BandSettings settings = bench::EveryCondition();
    const band::Keying keying{800.0, keyer.DotLength(), 32767};
    std::vector<int16_t> buffer(Keyer::kMaxCharacterSamples);
    int64_t samples = 0;
    for (auto _ : state) {
        band::BandSimulator band(
            settings, keying, 7, [](uint8_t c) { return MorseCode(c); },
            [&contacts](uint64_t seed) {
                Random overRandom(seed);
                return BuildContactText(contacts, overRandom);
            });
        for (char c : text) {
            const int count =
                keyer.RenderCharacter(buffer.data(), buffer.size(), static_cast<uint8_t>(c)) / 2;
            if (withBand) {
                band.Process(std::span(buffer.data(), static_cast<std::size_t>(count)));
            }
            samples += count;
            benchmark::DoNotOptimize(buffer.data());
        }
        benchmark::ClobberMemory();
    }
    state.counters["x realtime"] = benchmark::Counter(
        static_cast<double>(samples) / band::kSampleRate, benchmark::Counter::kIsRate);
}

void BM_KeyingAlone(benchmark::State& state) {
    KeyText(state, false);
}
void BM_KeyingThroughTheBand(benchmark::State& state) {
    KeyText(state, true);
}
BENCHMARK(BM_KeyingAlone)->Arg(12)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyingThroughTheBand)->Arg(12)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
