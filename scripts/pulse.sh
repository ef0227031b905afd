# Sourced by the test scripts: pulse_start starts a private PulseAudio daemon with a null sink
# named "null" and points ALSA at it; pulse_stop ends it. Does nothing when no daemon can run.
pulse_pid=""
pulse_start() {
    command -v pulseaudio >/dev/null || return 1
    export XDG_RUNTIME_DIR=${VANTREL_PULSE_DIR:-$(mktemp -d)}
    chmod 700 "$XDG_RUNTIME_DIR"
    local asound="$XDG_RUNTIME_DIR/asound.conf"
    printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' > "$asound"
    export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$asound"
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr \
        --load="module-null-sink sink_name=null rate=44100" \
        --load=module-native-protocol-unix >"$XDG_RUNTIME_DIR/pulse.log" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && { pactl set-default-sink null >/dev/null 2>&1 || true; export VANTREL_PULSE_SINK=null; return 0; }
        sleep 0.1
    done
    pulse_stop
    return 1
}
pulse_stop() {
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
    pulse_pid=""
    return 0
}
