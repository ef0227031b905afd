#!/usr/bin/env bash
# Makes docs/screenshot.png: runs the built trainer in a virtual X server, lets it save a picture
# of its window and close. Usage: scripts/screenshot.sh [program] [output.png] [program options]
# (docs/screenshot-en.png is made with "--language en").
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/app/vantrel}
output=${2:-docs/screenshot.png}
shift $(($# < 2 ? $# : 2))
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed (package xvfb)" >&2; exit 77; }
[ -x "$program" ] || { echo "$program is not built" >&2; exit 1; }

# A private settings folder and working folder, so the learner's own settings and log stay
# untouched.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$(dirname "$output")"
output=$(realpath -m "$output")
program=$(realpath "$program")
(
    cd "$scratch"
    XDG_CONFIG_HOME="$scratch/config" VANTREL_SCREENSHOT="$output" \
        timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
) 2> "$scratch/stderr" || { cat "$scratch/stderr" >&2; exit 1; }
[ -s "$output" ] || { echo "no screenshot was written" >&2; cat "$scratch/stderr" >&2; exit 1; }
echo "$output"
