// Export as audio: a 900-character practice text rendered at 12 groups per minute into a WAV
// file and a text file, flushed to disk, clean and through the band with every condition on and
// five other stations. Compared with real time, 8000 samples per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "bench/EveryCondition.h"
#include "trainer/AudioExport.h"
#include "trainer/ContactData.h"
#include "trainer/PracticeTextBuilder.h"

namespace vantrel {
namespace {

// The first 900 characters of a digit text, framing included.
std::string PracticeText() {
    Random random(3);
    const ContactTexts contacts;
    PracticeTextBuilder builder(random, contacts);
    return builder.Build({vantrel::TextType::Digits, {}, {}}).text.substr(0, 900);
}

Keyer KeyerAt12() {
    Keyer keyer;
    keyer.SetSpeed(12);
    keyer.SetSpacing(0);
    keyer.SetPitchPosition(8);
    keyer.SetVolumePosition(0);
    return keyer;
}

void Rates(benchmark::State& state, std::size_t samples) {
    const double total = static_cast<double>(samples) * static_cast<double>(state.iterations());
    state.counters["audio s"] = static_cast<double>(samples) / 8000.0;
    state.counters["x realtime"] = benchmark::Counter(total / 8000.0, benchmark::Counter::kIsRate);
}

// `withBand`: SNR 0 dB, flutter (the most fading updates) at full depth, full static, five
// stations, the 500 Hz filter and the AGC.
void Export(benchmark::State& state, bool withBand) {
    const std::string text = PracticeText();
    const Keyer keyer = KeyerAt12();
    const band::BandSettings everything = bench::EveryCondition();
    const auto contacts = std::make_shared<const ContactTexts>();
    const auto wav = std::filesystem::temp_directory_path() /
                     ("vantrel-bench-" + std::to_string(::getpid()) + ".wav");
    std::size_t samples = 0;
    for (auto _ : state) {
        AudioExport rendering(keyer, text,
                              withBand ? KeyedBand(everything, keyer, 7, contacts) : KeyedBand());
        const bool begun = !rendering.Begin(wav);
        while (!rendering.RenderSome(40)) {
        }
        if (!begun || rendering.Commit()) {
            state.SkipWithError("the export could not be written");
        }
        samples = rendering.TotalSamples();
    }
    std::filesystem::remove(wav);
    std::filesystem::remove(ExportTextPath(wav));
    Rates(state, samples);
}
void BM_ExportToFiles(benchmark::State& state) {
    Export(state, false);
}
void BM_ExportToFilesThroughTheBand(benchmark::State& state) {
    Export(state, true);
}
BENCHMARK(BM_ExportToFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportToFilesThroughTheBand)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vantrel
