#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz, and runs each for a bounded time from its seeds.
#   scripts/fuzz.sh [seconds per target, default 90] [target...]   (targets: settings text history)
# FUZZ_SEED chooses the random sequence (default 1, so a run can be repeated; 0 draws one).
# New inputs worth keeping gather in build-fuzz/corpus/<target>; an input that fails a target is
# saved as build-fuzz/crash-<target>-<hash>, and the script fails. Replay one with
#   build-fuzz/tests/fuzz/fuzz_<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

seconds=${1:-90}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings text history)
dir=build-fuzz

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja "${launcher[@]}" -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON -DVANTREL_SANITIZE=address,undefined \
    -DVANTREL_WERROR=ON -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF -DVANTREL_GUI=OFF \
    -DVANTREL_PULSE=OFF -DVANTREL_PORTAUDIO=OFF >/dev/null
cmake --build "$dir" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The targets write their input to files; in memory the history store's syncs cost nothing.
# libFuzzer ends without running the targets' destructors, so their folders go with this one.
memory=/dev/shm
[ -d "$memory" ] && [ -w "$memory" ] || memory=${TMPDIR:-/tmp}
scratch=$(mktemp -d "$memory/vantrel-fuzz-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
failed=()
for target in "${targets[@]}"; do
    mkdir -p "$dir/corpus/$target"
    log="$dir/fuzz-$target.log"
    echo "== fuzz_$target for ${seconds} s"
    if "$dir/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$dir/crash-$target-" "$dir/corpus/$target" \
        "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+.*DONE' "$log" || true
    else
        tail -n 60 "$log"
        failed+=("$target")
    fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzzing FAILED: ${failed[*]}" >&2; exit 1; }
echo "Fuzzing passed: ${targets[*]}, ${seconds} s each"
