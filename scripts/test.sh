#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite.
#   scripts/test.sh              the suite on a normal build
#   scripts/test.sh --sanitizers the suite under AddressSanitizer and UndefinedBehaviorSanitizer,
#                                then the threaded suites under ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

# A private PulseAudio daemon with a null sink, for the end-to-end sound tests.
source scripts/pulse.sh
pulse_start || echo "No sound server could be started; the end-to-end sound tests will be skipped."
trap pulse_stop EXIT

if [ "${1:-}" = "--sanitizers" ]; then
    scripts/build.sh build-asan -DVANTREL_SANITIZE=address,undefined -DVANTREL_BENCH=OFF -DVANTREL_WERROR=ON
    ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600
    scripts/build.sh build-tsan -DVANTREL_SANITIZE=thread -DVANTREL_GUI=OFF -DVANTREL_BENCH=OFF -DVANTREL_WERROR=ON
    # The end-to-end sound tests measure real-time audio, which the instrumented build cannot
    # keep up with on a loaded machine; they run in the ASan pass and in the normal suite. The
    # PortAudio device itself stays under ThreadSanitizer through the contract suite.
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L threaded \
        -E "SoundServerTest" --timeout 600
else
    scripts/build.sh build -DVANTREL_WERROR=ON
    ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600
fi
