// Rendering and text building throughput. Samples per second of the keyed tone are compared
// with real time, 8000 samples per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "trainer/Keyer.h"
#include "trainer/PracticeTextBuilder.h"

namespace vantrel {
namespace {

// Renders a whole digit text character by character, as the playback engine does.
void BM_RenderDigitText(benchmark::State& state) {
    Random random(1);
    const ContactTexts contacts;
    PracticeTextBuilder builder(random, contacts);
    const std::string text = builder.Build({vantrel::TextType::Digits, {}, {}}).text;
    Keyer keyer;
    keyer.SetSpeed(static_cast<int>(state.range(0)));
    keyer.SetSpacing(0);
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(0);
    std::vector<int16_t> buffer(Keyer::kMaxCharacterSamples);
    int64_t samples = 0;
    for (auto _ : state) {
        for (char c : text) {
            samples +=
                keyer.RenderCharacter(buffer.data(), buffer.size(), static_cast<uint8_t>(c)) / 2;
            benchmark::DoNotOptimize(buffer.data());
        }
        benchmark::ClobberMemory();
    }
    state.counters["samples/s"] =
        benchmark::Counter(static_cast<double>(samples), benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(static_cast<double>(samples) / 8000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderDigitText)->Arg(3)->Arg(12)->Arg(20)->Arg(30)->Unit(benchmark::kMillisecond);

void BM_BuildPracticeText(benchmark::State& state) {
    Random random(2);
    const ContactTexts contacts;
    PracticeTextBuilder builder(random, contacts);
    const PracticeTextRequest request{static_cast<TextType>(state.range(0)), {}, {}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(builder.Build(request));
    }
}
BENCHMARK(BM_BuildPracticeText)
    ->ArgName("type")
    ->Arg(0)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
