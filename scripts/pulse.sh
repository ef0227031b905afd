# Sourced by the test scripts: pulse_start starts a private PulseAudio daemon with a null sink
# named "null", points ALSA's default device at it through the pulse plugin (so PortAudio finds
# it) and exports VANTREL_PULSE_SINK=null; pulse_stop ends it. When no daemon can run, nothing
# is changed and pulse_start returns 1, so the sound tests skip instead of failing.
pulse_pid=""
pulse_saved_runtime_dir=""
pulse_start() {
    command -v pulseaudio >/dev/null || return 1
    command -v pactl >/dev/null || return 1
    pulse_saved_runtime_dir=${XDG_RUNTIME_DIR-}
    local dir
    dir=${VANTREL_PULSE_DIR:-$(mktemp -d)}
    mkdir -p "$dir" && chmod 700 "$dir" || return 1
    export XDG_RUNTIME_DIR=$dir
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr \
        --load="module-null-sink sink_name=null rate=44100" \
        --load=module-native-protocol-unix >"$dir/pulse.log" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 50); do
        if pactl info >/dev/null 2>&1; then
            pactl set-default-sink null >/dev/null 2>&1 || true
            local asound="$dir/asound.conf"
            printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' > "$asound"
            export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$asound"
            export VANTREL_PULSE_SINK=null
            return 0
        fi
        kill -0 "$pulse_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "PulseAudio did not start; its log:" >&2
    tail -n 5 "$dir/pulse.log" >&2 || true
    pulse_stop
    return 1
}
pulse_stop() {
    if [ -n "$pulse_pid" ]; then
        kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
    fi
    pulse_pid=""
    unset VANTREL_PULSE_SINK ALSA_CONFIG_PATH
    if [ -n "$pulse_saved_runtime_dir" ]; then
        export XDG_RUNTIME_DIR=$pulse_saved_runtime_dir
    else
        unset XDG_RUNTIME_DIR
    fi
    return 0
}
