#include "signal/OWOperations.h"

#include <atomic>

namespace vantrel::signal {

namespace {

uint64_t NextOperationId() {
    // Process-wide, so that ids are unique across all chains and threads.
    static std::atomic<uint64_t> counter{0};
    return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

TOWNotifyOperation::TOWNotifyOperation() : id_(NextOperationId()) {}

TOWStartSampleRateOperation::TOWStartSampleRateOperation(int32_t blockSize, double value)
    : TOWStartRateOperation(static_cast<float>(blockSize < 1 ? value : value / blockSize)),
      blockSize_(blockSize),
      value_(value) {}

TALWaveFormat TOWStartWaveOperation::DefaultFormat() {
    return TALWaveFormat::Pcm(2, 11024, 16);
}

}  // namespace vantrel::signal
