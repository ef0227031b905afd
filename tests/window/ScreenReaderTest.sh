#!/usr/bin/env bash
# The trainer as a blind learner meets it: the Orca screen reader reads the real window in a
# private X server and session bus, keys go in through xdotool, and the test checks what Orca
# says (the "SPEECH OUTPUT" lines of its debug log). It tabs through every control, moves the
# sliders, runs, pauses and resumes a typed text to its end, checks a copy, opens the about
# window, goes through the band conditions' tab and answers the character drill once.
# Usage: ScreenReaderTest.sh PROGRAM. Exits 77 (skipped) where Orca or a helper is missing.
set -uo pipefail

program=$(realpath "$1")
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
    expect_quietly "$1" "${2:-10}" || fail "Orca did not say \"$1\""
}
# Presses the keys $1 and waits for $2.
press() {
    xdotool key "$1"
    expect "$2" "${3:-10}"
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
    exec "$program") >"$scratch/program.log" 2>&1 &
pids+=($!)
expect "Vantrel - 12 гр./мин. Нормальные паузы" 30

# Every control in reading order, each announced by its caption; the sliders' values carry
# their meaning as they move.
tab_to "Принятый текст read only text"
press Tab "Пуск push button"
expect "Начать передачу (Ctrl+Enter)"
press Tab "Настройки page tab list"
press Tab "Скорость slider 12"
press Down "13 гр./мин."
press Up "12 гр./мин."
press Tab "Паузы slider 0"
press Down "Увеличенные паузы"
press Up "Нормальные паузы"
press Tab "Цифры"
press Tab "Выбрать файл push button"
press shift+Tab "Цифры"
press Down "Буквы"
press Down "Текст из файла"
press Down "Набор с клавиатуры"
press Tab "Показывать текст check box checked"
press Tab "Тон slider 800"
press Down "900 Гц"
press Up "800 Гц"
press Tab "Громкость slider 8"
press Down "7"
press Up "8"
press Tab "Гауссовский check box not checked"
press Tab "Тональный check box not checked"
press Tab "Уровень шумов scroll bar 18000"
press Tab "Строка состояния"
press Tab "Пуск push button"
expect "Панель инструментов: начать передачу"
press Tab "Принятый текст"

# A typed text, run, paused and resumed with the Pause button, played to its end: each state
# and the button's new caption are spoken once, the focus staying where it is.
press Tab "Пуск push button"
press Tab "Настройки page tab list"
press Right "Окно контроля"
press Right "Ввод"
press Tab "Очистить push button"
press Tab "Текст для передачи"
type_text "ee"
press ctrl+Return "Тест начат"
press shift+Tab "Очистить push button"
press shift+Tab "Ввод page tab list"
press shift+Tab "Пауза push button"
press space "Тестирование остановлено" 20
expect "Возобновить"
press space "Возобновлен"
expect "Пауза"
expect "Тест окончен" 60
for state in "Тест начат" "Тестирование остановлено" "Возобновлен" "Тест окончен"; do
    said=$(spoken | grep -cF -- "$state")
    [ "$said" -eq 1 ] || fail "\"$state\" was said $said times, not once"
done

# The copy, checked: the result box is read out, and Return closes it. Pause, disabled at the
# end, has passed the focus on to the tab bar.
expect "Ввод page tab list"
press Left "Окно контроля"
press Tab "Проверить push button"
press Tab "Очистить push button"
press Tab "Окно контроля"
type_text "ee"
press shift+Tab "Очистить push button"
press shift+Tab "Проверить push button"
press space "Количество ошибок:"
press Return "Проверить push button"

# The about window, from its key, and closed by Return.
press F1 "О программе..."
expect "OK push button"
press Return "Проверить push button"

# The band conditions' tab: each control by its name, the sliders' values in their units.
press shift+Tab "Окно контроля page tab list"
press Right "Ввод"
press Right "Урок"
press Right "Эфир"
press Tab "Условия эфира check box not checked"
press Tab "Профиль"
expect "Чистый эфир"
press Down "Замирания"
press Up "Чистый эфир"
press Tab "Сигнал/шум slider 30"
press Left "29 дБ"
press Tab "Замирания"
press Tab "Глубина замираний slider 100"
press Tab "Треск slider 0"
press Tab "Мешающие станции"
press Tab "Полоса приёмника"
expect "500 Гц"
press Tab "АРУ check box checked"
press shift+Tab "Полоса приёмника"
press shift+Tab "Мешающие станции"
press shift+Tab "Треск"
press shift+Tab "Глубина замираний"
press shift+Tab "Замирания"
press shift+Tab "Сигнал/шум"
press shift+Tab "Профиль"
expect "Свой"
# The character drill from its key: its start and the result of an answer are spoken (a wrong
# one: the lesson's characters are K and M).
press ctrl+r "Узнавание знаков"
expect "Начать push button"
press space "Упражнение начато"
press x "Неверно: это"
echo "Orca read the whole run"
