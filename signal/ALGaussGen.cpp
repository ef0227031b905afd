#include "signal/ALGaussGen.h"

#include <utility>

#include "signal/ALKernels.h"
#include "signal/OWLocks.h"

namespace vantrel::signal {

namespace {

int16_t Low16(int32_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

}  // namespace

TALGaussGen::TALGaussGen(std::string name, TSLClockService& clocks)
    : TALCommonGen(std::move(name), clocks) {}

TALGaussGen::~TALGaussGen() {
    // No block may run on another thread once this part of the object is gone.
    Shutdown();
}

const TOWObject& TALGaussGen::Lock() const {
    return const_cast<TALGaussGen*>(this)->LockObject();
}

int32_t TALGaussGen::Mean() const {
    TOWReadLockSection section(Lock());
    return mean_;
}

void TALGaussGen::SetMean(int32_t mean) {
    TOWWriteLockSection section(LockObject());
    mean_ = mean;
}

int32_t TALGaussGen::StdDev() const {
    TOWReadLockSection section(Lock());
    return stdDev_;
}

void TALGaussGen::SetStdDev(int32_t stdDev) {
    TOWWriteLockSection section(LockObject());
    stdDev_ = stdDev;
}

uint16_t TALGaussGen::Seed() const {
    TOWReadLockSection section(Lock());
    return seed_;
}

void TALGaussGen::SetSeed(uint16_t seed) {
    TOWWriteLockSection section(LockObject());
    seed_ = seed;
}

uint32_t TALGaussGen::RandomState() const {
    TOWReadLockSection section(Lock());
    return state_;
}

void TALGaussGen::StartHook(uint32_t /*blockSize*/) {
    TOWWriteLockSection section(LockObject());
    state_ = seed_;
}

void TALGaussGen::GenerateBlock(IALAudioBuffer& destination) {
    GaussBlock(WorkSamples(), static_cast<int>(WorkSampleCount()), Low16(mean_), Low16(stdDev_),
               &state_);
    FanOut(destination);
}

}  // namespace vantrel::signal
