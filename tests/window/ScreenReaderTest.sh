#!/usr/bin/env bash
# The trainer as a blind learner meets it: the Orca screen reader reads the real window in a
# private X server and session bus, keys go in through xdotool, and the test checks what Orca
# says (the "SPEECH OUTPUT" lines of its debug log). It tabs through every control, moves the
# sliders, runs, pauses and resumes a typed text to its end, checks a copy, opens the about
# window, goes through the band conditions' tab and answers the character drill once; in Russian
# it then closes the drill, switches the interface to English and hears the new names.
# Usage: ScreenReaderTest.sh PROGRAM [ru|en]: the interface in that language (--language),
# Russian by default. Exits 77 (skipped) where Orca or a helper is missing.
set -uo pipefail

program=$(realpath "$1")
language=${2:-ru}
root=$(cd "$(dirname "$0")/../.." && pwd)
for tool in orca openbox xdotool xvfb-run dbus-run-session pulseaudio; do
    if ! command -v "$tool" >/dev/null; then
        echo "Skipped: $tool is not installed (scripts/deps.sh installs it)"
        exit 77
    fi
done
if [ -z "${VANTREL_IN_READER_SESSION:-}" ]; then
    export VANTREL_IN_READER_SESSION=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$0" "$@"
fi

scratch=$(mktemp -d)
log=$scratch/orca.log
pids=()
# Ends the processes started here, the last first; one that does not end in 5 s is killed.
finish() {
    local pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    pulse_stop
    rm -rf "$scratch"
}
trap finish EXIT
# shellcheck source=../../scripts/pulse.sh
source "$root/scripts/pulse.sh"
if ! pulse_start; then
    echo "Skipped: no private PulseAudio could be started"
    exit 77
fi

# The text $1 of the Russian interface, or its English $2.
t() {
    if [ "$language" = en ]; then echo "$2"; else echo "$1"; fi
}

# What Orca has said, one utterance a line.
spoken() {
    grep -o "SPEECH OUTPUT: .*" "$log" 2>/dev/null | sed -E "s/^SPEECH OUTPUT: '(.*)' ?\{.*$/\1/"
}
heard=0
fail() {
    echo "FAILED: $1"
    echo "Orca said since the last step:"
    spoken | tail -n +$((heard + 1)) | sed 's/^/  /'
    cp "$log" "${TMPDIR:-/tmp}/vantrel-orca-failed.log" &&
        echo "Orca's log: ${TMPDIR:-/tmp}/vantrel-orca-failed.log"
    exit 1
}
# Waits until Orca has said something containing $1 since the last step, $2 seconds at most.
expect_quietly() {
    local deadline=$((SECONDS + ${2:-2})) count
    while ((SECONDS < deadline)); do
        count=$(spoken | tail -n +$((heard + 1)) | grep -nF -- "$1" | head -1 | cut -d: -f1)
        if [ -n "$count" ]; then
            heard=$((heard + count))
            return 0
        fi
        sleep 0.1
    done
    return 1
}
expect() {
    expect_quietly "$1" "${2:-30}" || fail "Orca did not say \"$1\""
}
# Presses the keys $1 and waits for $2.
press() {
    xdotool key "$1"
    expect "$2" "${3:-30}"
}

# Types $1 and waits until Orca has echoed its last character.
type_text() {
    xdotool type --delay 100 "$1"
    expect "${1: -1}"
}
# Presses Tab until Orca says $1.
tab_to() {
    local mark=$heard
    for _ in $(seq 30); do
        xdotool key Tab
        if expect_quietly "$1" 5; then
            return 0
        fi
    done
    heard=$mark
    fail "Tab never reached \"$1\""
}

openbox >/dev/null 2>&1 &
pids+=($!)
mkdir "$scratch/prefs" "$scratch/work"
# Orca, its debug log written line by line so that what it says can be read as it says it; run
# by its own interpreter. Its own words stay English, whatever the machine's language.
orca=$(command -v orca)
interpreter=$(head -1 "$orca" | sed -n 's/^#! *//p')
LC_ALL=C.UTF-8 LANGUAGE= ${interpreter:-python3} -c '
import builtins, runpy, sys
orca, log, prefs = sys.argv[1:4]
plain_open = builtins.open
def open_log_line_buffered(file, mode="r", *args, **kwargs):
    if file == log and not args:
        kwargs.setdefault("buffering", 1)
    return plain_open(file, mode, *args, **kwargs)
builtins.open = open_log_line_buffered
sys.argv = [orca, "-u", prefs, "--debug-file", log]
runpy.run_path(orca, run_name="__main__")
' "$orca" "$log" "$scratch/prefs" >/dev/null 2>&1 &
pids+=($!)
expect "Screen reader on" 30
# Settings and history in the scratch folder: the machine's own history (of whichever version
# wrote it last) stays untouched.
(cd "$scratch/work" && XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
    exec "$program" --language "$language") >"$scratch/program.log" 2>&1 &
pids+=($!)
expect "$(t "Vantrel - 12 гр./мин. Нормальные паузы" "Vantrel - 12 groups/min Normal spacing")" 30

# Every control in reading order, each announced by its caption; the sliders are named with
# their unit, the spacing's meaning is read with it, and their values carry their meaning as
# they move.
tab_to "$(t "Принятый текст read only text" "Received text read only text")"
press Tab "$(t "Пуск push button" "Start push button")"
expect "$(t "Начать передачу (Ctrl+Enter)" "Start sending (Ctrl+Enter)")"
press Tab "$(t "Настройки page tab list" "Settings page tab list")"
press Tab "$(t "Скорость, гр./мин. slider 12" "Speed, groups/min slider 12")"
press Down "$(t "13 гр./мин." "13 groups/min")"
press Up "$(t "12 гр./мин." "12 groups/min")"
press Tab "$(t "Паузы slider 0" "Spacing slider 0")"
expect "$(t "Нормальные паузы" "Normal spacing")"
press Down "$(t "Увеличенные паузы" "Increased spacing")"
press Up "$(t "Нормальные паузы" "Normal spacing")"
press Tab "$(t "Цифры" "Digits")"
press Tab "$(t "Выбрать файл push button" "Choose file push button")"
press shift+Tab "$(t "Цифры" "Digits")"
press Down "$(t "Буквы" "Cyrillic letters")"
press Down "$(t "Текст из файла" "Text from file")"
press Down "$(t "Набор с клавиатуры" "Typed text")"
press Tab "$(t "Показывать текст check box checked" "Show text check box checked")"
press Tab "$(t "Тон, Гц slider 800" "Tone, Hz slider 800")"
press Down "$(t "900 Гц" "900 Hz")"
press Up "$(t "800 Гц" "800 Hz")"
press Tab "$(t "Громкость slider 8" "Volume slider 8")"
press Down "7"
press Up "8"
press Tab "$(t "Гауссовский check box not checked" "Gaussian check box not checked")"
press Tab "$(t "Тональный check box not checked" "Tonal check box not checked")"
press Tab "$(t "Уровень шумов scroll bar 18000" "Noise level scroll bar 18000")"
press Tab "$(t "Строка состояния" "Status bar")"
press Tab "$(t "Пуск push button" "Start push button")"
expect "$(t "Панель инструментов: начать передачу" "Toolbar: start sending")"
press Tab "$(t "Принятый текст" "Received text")"

# A typed text, run, paused and resumed with the Pause button, played to its end: each state
# and the button's new caption are spoken once, the focus staying where it is.
press Tab "$(t "Пуск push button" "Start push button")"
press Tab "$(t "Настройки page tab list" "Settings page tab list")"
press Right "$(t "Окно контроля" "Copy window")"
press Right "$(t "Ввод" "Input")"
press Tab "$(t "Очистить push button" "Clear push button")"
press Tab "$(t "Текст для передачи" "Text to send")"
type_text "ee"
press ctrl+Return "$(t "Тест начат" "Test started")"
press shift+Tab "$(t "Очистить push button" "Clear push button")"
press shift+Tab "$(t "Ввод page tab list" "Input page tab list")"
press shift+Tab "$(t "Пауза push button" "Pause push button")"
press space "$(t "Тестирование остановлено" "Test stopped")" 20
expect "$(t "Возобновить" "Resume")"
press space "$(t "Возобновлен" "Resumed")"
expect "$(t "Пауза" "Pause")"
expect "$(t "Тест окончен" "Test finished")" 60
for state in "$(t "Тест начат" "Test started")" "$(t "Тестирование остановлено" "Test stopped")" \
    "$(t "Возобновлен" "Resumed")" "$(t "Тест окончен" "Test finished")"; do
    said=$(spoken | grep -cF -- "$state")
    [ "$said" -eq 1 ] || fail "\"$state\" was said $said times, not once"
done

# The copy, checked: the result box is read out, and Return closes it. Pause, disabled at the
# end, has passed the focus on to the tab bar.
expect "$(t "Ввод page tab list" "Input page tab list")"
press Left "$(t "Окно контроля" "Copy window")"
press Tab "$(t "Проверить push button" "Check push button")"
press Tab "$(t "Очистить push button" "Clear push button")"
press Tab "$(t "Окно контроля" "Copy window")"
type_text "ee"
press shift+Tab "$(t "Очистить push button" "Clear push button")"
press shift+Tab "$(t "Проверить push button" "Check push button")"
press space "$(t "Количество ошибок:" "Grade:")"
press Return "$(t "Проверить push button" "Check push button")"

# The about window, from its key, and closed by Return.
press F1 "$(t "О программе..." "About...")"
expect "OK push button"
press Return "$(t "Проверить push button" "Check push button")"

# The band conditions' tab: each control by its name, the sliders' values in their units, the
# combo boxes' choices as they get the focus and as they change.
press shift+Tab "$(t "Окно контроля page tab list" "Copy window page tab list")"
press Right "$(t "Ввод" "Input")"
press Right "$(t "Урок" "Lesson")"
press Right "$(t "Эфир" "Band")"
tab_to "$(t "Условия эфира check box not checked" "Band conditions check box not checked")"
press Tab "$(t "Профиль" "Profile")"
expect "$(t "Чистый эфир" "Clear band")"
press Down "$(t "Замирания" "Fading")"
press Up "$(t "Чистый эфир" "Clear band")"
press Tab "$(t "Сигнал/шум slider 30" "Signal/noise slider 30")"
press Left "$(t "29 дБ" "29 dB")"
press Tab "$(t "Замирания" "Fading")"
press Tab "$(t "Глубина замираний slider 100" "Fading depth slider 100")"
press Tab "$(t "Треск slider 0" "Static slider 0")"
press Tab "$(t "Мешающие станции" "Other stations")"
press Tab "$(t "Полоса приёмника" "Receiver bandwidth")"
expect "$(t "500 Гц" "500 Hz")"
press Tab "$(t "АРУ check box checked" "AGC check box checked")"
press shift+Tab "$(t "Полоса приёмника" "Receiver bandwidth")"
press shift+Tab "$(t "Мешающие станции" "Other stations")"
press shift+Tab "$(t "Треск" "Static")"
press shift+Tab "$(t "Глубина замираний" "Fading depth")"
press shift+Tab "$(t "Замирания" "Fading")"
press shift+Tab "$(t "Сигнал/шум" "Signal/noise")"
press shift+Tab "$(t "Профиль" "Profile")"
expect "$(t "Свой" "Custom")"
press shift+Tab "$(t "Условия эфира" "Band conditions")"
press shift+Tab "$(t "Эфир page tab list" "Band page tab list")"
press Left "$(t "Урок" "Lesson")"
press Left "$(t "Ввод" "Input")"
press Left "$(t "Окно контроля" "Copy window")"
press Tab "$(t "Проверить push button" "Check push button")"

# The character drill from its key: its start and the result of an answer are spoken (a wrong
# one: the lesson's characters are K and M).
press ctrl+r "$(t "Узнавание знаков" "Character recognition")"
expect "$(t "Начать push button" "Start push button")"
press space "$(t "Упражнение начато" "Drill started")"
press x "$(t "Неверно: это" "Wrong: it was")"

# The drill closed, the language menu from the keyboard: the interface switches at once, and the
# focused button and the status bar are read by their new names.
if [ "$language" = ru ]; then
    press Escape "Проверить push button"
    press alt+l "Русский"
    press Down "English"
    press Return "Check push button"
    press shift+Tab "Copy window page tab list"
    tab_to "Status bar"
    expect "Test finished"
fi
echo "Orca read the whole run"
