// Throughput of the sample kernels on one block, in samples per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "signal/ALGaussGen.h"
#include "signal/ALKernels.h"
#include "signal/ALSignalGen.h"
#include "signal/OWPins.h"

namespace vantrel::signal {
namespace {

constexpr int kBlock = 1024;
const float kRelFreq = static_cast<float>(500.0 / 11025.0);

void BM_GaussBlock(benchmark::State& state) {
    std::vector<int16_t> block(kBlock);
    uint32_t seed = 500;
    for (auto _ : state) {
        GaussBlock(block.data(), kBlock, 0, 9000, &seed);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_GaussBlock);

void BM_TriangleBlock(benchmark::State& state) {
    std::vector<int16_t> block(kBlock);
    float phase = 0.0f;
    for (auto _ : state) {
        TriangleBlock(block.data(), kBlock, 20000, kRelFreq, 0.0f, &phase);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_TriangleBlock);

void BM_ToneBlock(benchmark::State& state) {
    std::vector<int16_t> block(kBlock);
    float phase = 0.0f;
    for (auto _ : state) {
        ToneBlock(block.data(), kBlock, 20000, kRelFreq, &phase);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_ToneBlock);

// The square wave: two sawtooths, their sum and the threshold.
void BM_SquareBlock(benchmark::State& state) {
    const float limit = static_cast<float>(3.141592621);
    std::vector<int16_t> work(kBlock), other(kBlock);
    float phase = 0.0f;
    float second = limit;
    for (auto _ : state) {
        TriangleBlock(work.data(), kBlock, 32767, kRelFreq, limit, &phase);
        TriangleBlock(other.data(), kBlock, 32767, kRelFreq, -limit, &second);
        AddSaturate(other.data(), work.data(), kBlock);
        Threshold(work.data(), kBlock, -20000, -20000, 20000, 20000);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_SquareBlock);

// Fan-out of a mono block into both channels of a stereo frame block.
void BM_StereoFanOut(benchmark::State& state) {
    std::vector<int16_t> mono(kBlock, 7);
    std::vector<uint8_t> frames(kBlock * 4);
    for (auto _ : state) {
        for (int c = 0; c < 2; ++c) {
            BlockCopy(mono.data(), 2, frames.data() + c * 2, 4, 2, kBlock);
        }
        benchmark::DoNotOptimize(frames.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_StereoFanOut);

// Claims the pacing like an audio output and lets every block go.
class PumpingSink : public TOWComponent {
  public:
    PumpingSink()
        : TOWComponent("Sink"),
          input(this, "InputPin",
                TOWSinkPin::Handler([this](TOWSinkPin&, const TOWOperationPtr& op) {
                    if (auto* request = op->As<TOWPumpRequestOperation>()) {
                        request->Pumper = this;
                        request->ClaimLevel = TOWPumpRequestOperation::kClaimed;
                    }
                    return true;
                })) {}

    void Pump() { input.NotifyUpstream(std::make_shared<TOWMasterPumpOperation>(this)); }

    TALOWAudioSinkPin input;
};

// A whole stereo block of the default format as an output pulls it: audio buffer, kernel,
// fan-out and the send downstream. Items are frames.
template <class Generator>
void GeneratorBlock(benchmark::State& state, Generator& gen) {
    PumpingSink sink;
    gen.SetEnabled(false);
    gen.OutputPin().Connect(sink.input);
    gen.SetEnabled(true);
    for (auto _ : state) {
        sink.Pump();
    }
    gen.SetEnabled(false);
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_GaussGenBlock(benchmark::State& state) {
    TALGaussGen gen;
    gen.SetSeed(500);
    GeneratorBlock(state, gen);
}
BENCHMARK(BM_GaussGenBlock);

void BM_TriangleGenBlock(benchmark::State& state) {
    TALSignalGen gen;
    gen.SetSignalType(TALSignalType::atTriangle);
    GeneratorBlock(state, gen);
}
BENCHMARK(BM_TriangleGenBlock);

void BM_SquareGenBlock(benchmark::State& state) {
    TALSignalGen gen;
    gen.SetSignalType(TALSignalType::atSquare);
    GeneratorBlock(state, gen);
}
BENCHMARK(BM_SquareGenBlock);

}  // namespace
}  // namespace vantrel::signal
