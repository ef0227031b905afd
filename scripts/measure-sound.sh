#!/usr/bin/env bash
# Measures the real sound backends on a private PulseAudio null sink (docs/performance.md,
# "Sound server backend", "Band conditions"): whole-process CPU beside a plain pacat, the same by
# thread, Start to the first element, tick and untick of the noise, drop-outs inside keyed tones,
# the CPU the band conditions add to keying.
#   scripts/measure-sound.sh [BUILD_DIR] [SECONDS_CPU] [SECONDS_DROPOUTS] [PARTS]
# PARTS is a comma-separated choice of cpu,threads,start,toggles,dropouts,band (default: all of
# them).
# BUILD_DIR must hold bench/vantrel_measure_sound (configure with -DVANTREL_BENCH=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cpu_seconds=${2:-20}
dropout_seconds=${3:-600}
parts=,${4:-cpu,threads,start,toggles,dropouts,band},
tool="$build/bench/vantrel_measure_sound"
source scripts/pulse.sh
pulse_start
trap pulse_stop EXIT
work=$(mktemp -d)
quiet() { grep -v -i -e '^ALSA lib' -e jack -e 'Cannot connect' || true; }

# pacat playing what the program plays: an 800 Hz tone at 8000 Hz mono, and two 11025 Hz
# stereo streams beside it. CPU from /proc (the run time in ns of every thread of each pacat).
python3 - "$work" "$cpu_seconds" <<'PY'
import math, struct, sys
folder, seconds = sys.argv[1], int(sys.argv[2]) + 5
with open(f"{folder}/keyed.raw", "wb") as f:
    f.write(b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 800 * i / 8000)))
                     for i in range(8000 * seconds)))
with open(f"{folder}/noise.raw", "wb") as f:
    f.write(b"".join(struct.pack("<hh", v, v) for v in
                     (int(6000 * math.sin(2 * math.pi * 500 * i / 11025)) for i in range(11025 * seconds))))
PY
pacat_ns() {  # CPU time of every thread of the given processes, in ns
    local pid
    for pid in "$@"; do cat /proc/"$pid"/task/*/schedstat; done | awk '{ t += $1 } END { print t }'
}
pacat_cpu() {  # STREAMS: 1 (keyed alone) or 3
    local pids=() ticks=0
    pacat --rate=8000 --channels=1 --format=s16le "$work/keyed.raw" & pids+=($!)
    if [ "$1" = 3 ]; then
        pacat --rate=11025 --channels=2 --format=s16le "$work/noise.raw" & pids+=($!)
        pacat --rate=11025 --channels=2 --format=s16le "$work/noise.raw" & pids+=($!)
    fi
    sleep 2
    local before after
    before=$(pacat_ns "${pids[@]}")
    sleep "$cpu_seconds"
    after=$(pacat_ns "${pids[@]}")
    kill "${pids[@]}"; wait "${pids[@]}" 2>/dev/null || true
    echo "pacat x$1: $(awk -v a="$after" -v b="$before" -v s="$cpu_seconds" \
        'BEGIN { printf "%.2f", (a - b) / 1e6 / s }') ms per second (all pacat processes)"
}

if [[ $parts == *,cpu,* ]]; then
echo "== CPU, $cpu_seconds s each"
for backend in pulse portaudio; do
    for what in keyed all; do
        echo -n "$backend: "; "$tool" cpu "$backend" "$cpu_seconds" "$what" 2>&1 | quiet
    done
done
pacat_cpu 1
pacat_cpu 3
fi
if [[ $parts == *,threads,* ]]; then
    echo "== By thread: keyed + noise + tone through libpulse, $cpu_seconds s"
    "$tool" cpu pulse $((cpu_seconds + 4)) all >/dev/null 2>&1 & measured=$!
    # Each thread's run time (ns) and the times it went to sleep, from /proc.
    snapshot() {
        local t
        for t in /proc/"$measured"/task/*; do
            echo "${t##*/} $(tr ' ' _ <"$t/comm") $(cut -d' ' -f1 "$t/schedstat") \
                $(awk '/^voluntary_ctxt/ { print $2 }' "$t/status")"
        done
    }
    sleep 3
    before=$(snapshot)
    sleep "$cpu_seconds"
    after=$(snapshot)
    wait "$measured" || true
    awk -v s="$cpu_seconds" 'NR == FNR { cpu[$1] = $3; sleeps[$1] = $4; next }
        ($1 in cpu) { n[$2]++; c[$2] += ($3 - cpu[$1]) / 1e6 / s; w[$2] += ($4 - sleeps[$1]) / s }
        END { for (name in n) { printf "%-16s %2d threads %6.2f ms/s %6.1f wake-ups/s\n", name, n[name], c[name], w[name]; tc += c[name]; tw += w[name]; tn += n[name] }
              printf "%-16s %2d threads %6.2f ms/s %6.1f wake-ups/s\n", "all", tn, tc, tw }' \
        <(echo "$before") <(echo "$after") | sort -k4 -n -r
fi
if [[ $parts == *,start,* ]]; then
    echo "== Start to first element, 20 runs each"
    # An idle null sink renders ahead in long blocks and delays any client's first new stream by
    # up to one of them; a silent low-latency stream keeps it awake, as a desktop's sink is.
    pacat --rate=44100 --channels=1 --format=s16le --latency-msec=20 /dev/zero & awake=$!
    for backend in pulse portaudio; do echo "$backend:"; "$tool" start "$backend" 20 2>&1 | quiet; done
    kill "$awake"; wait "$awake" 2>/dev/null || true
fi
if [[ $parts == *,toggles,* ]]; then
    echo "== Noise tick and untick, 50 toggles each"
    for backend in pulse portaudio; do echo "$backend:"; "$tool" toggles "$backend" 50 2>&1 | quiet; done
fi
if [[ $parts == *,dropouts,* ]]; then
    echo "== Drop-outs inside keyed tones, $dropout_seconds s"
    echo -n "pulse: "; "$tool" dropouts pulse "$dropout_seconds" 2>&1 | quiet
fi
if [[ $parts == *,band,* ]]; then
    # Keyed alone and through the band in turn, so that each pair meets the same load.
    echo "== Band conditions: keyed alone and through the band in turn, $cpu_seconds s each"
    # "PROCESS KEYING_THREAD" in ms per second.
    cpu_of() {
        "$tool" cpu pulse "$cpu_seconds" "$1" 2>&1 |
            sed -n 's/^process CPU \([0-9.]*\) ms.*keying thread \([0-9.]*\) .*/\1 \2/p'
    }
    for pair in 1 2 3 4 5; do
        alone=$(cpu_of keyed)
        band=$(cpu_of band)
        echo "$pair $alone $band" | awk '{
            printf "pair %d: process %.2f -> %.2f ms/s (%+.2f, x%.2f); keying thread %.3f -> %.3f ms/s (%+.3f)\n",
                   $1, $2, $4, $4 - $2, $4 / $2, $3, $5, $5 - $3 }'
    done
fi
rm -rf "$work"
