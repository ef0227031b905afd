// Costs of the pin framework and the generator frame.
#include <benchmark/benchmark.h>

#include "tests/signal/CoreTestParts.h"

namespace vantrel::signal {
namespace {

// One operation sent downstream to one sink that ignores it.
void BM_SendDownstreamToOneSink(benchmark::State& state) {
    TALOWAudioSourcePin source(nullptr, "Out");
    TALOWAudioSinkPin sink(
        nullptr, "In",
        TOWSinkPin::Handler([](TOWSinkPin&, const TOWOperationPtr&) { return false; }));
    source.Connect(sink);
    const TOWOperationPtr op = std::make_shared<TOWClockOperation>();
    for (auto _ : state) {
        source.Notify(op);
    }
}
BENCHMARK(BM_SendDownstreamToOneSink);

// A pump master asks for one block: upstream pump, block generation into a new audio buffer
// (11025 frames/s, 2 channels, 1024 frames), fan-out and the send downstream.
void BM_GeneratorBlockThroughPin(benchmark::State& state) {
    TSLManualTimeSource time;
    TSLClockService clocks(time);
    testing::RampGen gen(clocks, "Gen");
    struct Master : testing::PumpMaster {
        using PumpMaster::PumpMaster;
        bool Handle(const TOWOperationPtr& op) override {
            if (auto* request = op->As<TOWPumpRequestOperation>()) {
                request->Pumper = this;
            }
            return false;  // keeps no record: measures the chain only
        }
    } master("Out", 0);
    gen.SetEnabled(false);
    gen.OutputPin().Connect(master.input);
    gen.SetEnabled(true);
    for (auto _ : state) {
        master.Pump();
    }
    state.SetItemsProcessed(state.iterations() * 1024);
    gen.SetEnabled(false);
}
BENCHMARK(BM_GeneratorBlockThroughPin);

}  // namespace
}  // namespace vantrel::signal
