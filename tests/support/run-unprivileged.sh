#!/usr/bin/env bash
# run-unprivileged.sh <test binary> <gtest filter>
# Runs tests that only mean something where file permissions bind. Started as root (as CI is),
# it runs them as the unprivileged user 65534 from a copy of the binary in a fresh folder of
# that user, which is also the tests' temporary and working folder, so no folder of the build
# needs to be open to that user. Fails when the filter selects no test or a test is skipped.
set -euo pipefail
binary=$1
filter=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$binary" "$work/"
run=("$work/$(basename "$binary")" "--gtest_filter=$filter")
if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$work"
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups -- "${run[@]}")
fi
status=0
output=$(cd "$work" && env TMPDIR="$work" HOME="$work" "${run[@]}" 2>&1) || status=$?
echo "$output"
if [ "$status" -ne 0 ]; then
    exit "$status"
fi
if grep -q '^\[  SKIPPED \]' <<<"$output" || ! grep -qE '^\[  PASSED  \] [1-9]' <<<"$output"; then
    echo "run-unprivileged.sh: '$filter' selected no test, or one was skipped" >&2
    exit 1
fi
