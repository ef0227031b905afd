# Sourced by the test scripts: pulse_start starts a private PulseAudio daemon with a null sink
# named "null", points ALSA's default device at it through the pulse plugin (so PortAudio finds
# it) and exports VANTREL_PULSE_SINK=null; pulse_stop ends it. When no daemon can run, nothing
# is changed and pulse_start returns 1, so the sound tests skip instead of failing.
# For tests of a server that goes away and comes back it also exports VANTREL_PULSE_SCRIPT (this
# file): `bash -c 'source "$VANTREL_PULSE_SCRIPT"; pulse_kill'` ends the daemon at once (SIGKILL)
# and `... pulse_revive` starts it again on the same socket and waits until it answers.
pulse_pid=""
pulse_saved_runtime_dir=""
pulse_script=$(realpath "${BASH_SOURCE[0]}")
# Starts the daemon in the background of the calling shell; its pid goes to pulse.pid. It is
# no job of the shell, so a daemon that a test kills leaves no "Killed" line in the log.
pulse_daemon() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr \
        --load="module-null-sink sink_name=null rate=44100" \
        --load=module-native-protocol-unix >>"$XDG_RUNTIME_DIR/pulse.log" 2>&1 &
    echo $! >"$XDG_RUNTIME_DIR/pulse.pid"
    disown $! 2>/dev/null || true
}
pulse_answers() {
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
pulse_kill() {
    local pid
    pid=$(cat "$XDG_RUNTIME_DIR/pulse.pid" 2>/dev/null) || return 1
    kill -KILL "$pid" 2>/dev/null || return 1
    while kill -0 "$pid" 2>/dev/null; do sleep 0.02; done
}
pulse_revive() {
    pulse_daemon
    pulse_answers
}
pulse_start() {
    command -v pulseaudio >/dev/null || return 1
    command -v pactl >/dev/null || return 1
    pulse_saved_runtime_dir=${XDG_RUNTIME_DIR-}
    local dir
    dir=${VANTREL_PULSE_DIR:-$(mktemp -d)}
    mkdir -p "$dir" && chmod 700 "$dir" || return 1
    export XDG_RUNTIME_DIR=$dir
    : >"$dir/pulse.log"
    pulse_daemon
    pulse_pid=$!
    for _ in $(seq 50); do
        if pactl info >/dev/null 2>&1; then
            pactl set-default-sink null >/dev/null 2>&1 || true
            local asound="$dir/asound.conf"
            printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' > "$asound"
            export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$asound"
            export VANTREL_PULSE_SINK=null
            export VANTREL_PULSE_SCRIPT=$pulse_script
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
        # The daemon started first, and one that a test killed and started again.
        local pid
        for pid in "$pulse_pid" "$(cat "$XDG_RUNTIME_DIR/pulse.pid" 2>/dev/null)"; do
            [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
        done
        for _ in $(seq 100); do
            kill -0 "$pulse_pid" 2>/dev/null || break
            sleep 0.02
        done
    fi
    pulse_pid=""
    unset VANTREL_PULSE_SINK VANTREL_PULSE_SCRIPT ALSA_CONFIG_PATH
    if [ -n "$pulse_saved_runtime_dir" ]; then
        export XDG_RUNTIME_DIR=$pulse_saved_runtime_dir
    else
        unset XDG_RUNTIME_DIR
    fi
    return 0
}
