#!/bin/bash
# End-to-end test of the parameters and the main loop: the real Orvandel
# under Xvfb (no window manager), answered with xdotool like a person would.
#
#   params_e2e.sh <path of Orvandel> <output folder> <source folder>
#
# 1. Started without arguments, the program prompts; the twelve answers are
#    typed, the run starts, frames change in continuous mode, F2 writes
#    Orvandel.dat with the answers, Ctrl+C ends the program.
# 2. Started with that Orvandel.dat, it runs without prompting, a key draws a
#    frame, and Esc ends it with status 0.
# 3. Started with a file whose seventh line does not convert, it names the
#    file, the line and the text, and ends with status 1 once the message is
#    confirmed.
set -u

if [ "${1:-}" != "--inner" ]; then
    binary=$1
    out=$2
    source=$3
    for tool in xvfb-run xdotool import compare; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is missing (scripts/install-deps installs it)"
            exit 1
        fi
    done
    mkdir -p "$out"
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --inner "$binary" "$out" "$source"
fi

binary=$2
out=$3
source=$4
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cd "$out" || exit 1
rm -f ./*.png ./*.log Orvandel.dat bad.dat
cp -f "$source/data/ECLGRAPH.DAT" "$source/data/Orvandel.txt" .

pid=
start() { # start [argument]
    env -u QT_QPA_PLATFORM "$binary" "$@" >"program$run.log" 2>&1 &
    pid=$!
}

# Waits up to $1 tenths of a second for the program to end and sets status
# to its exit status ("still running" when it did not end; it is killed).
status=
wait_end() {
    for _ in $(seq "$1"); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            status=$?
            return
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status="still running"
}

dialog_visible() {
    xdotool search --onlyvisible --name '^Eingabe$' >/dev/null 2>&1
}

# Types one answer into the prompt dialog ("" accepts the default) and
# confirms it with Enter. The dialog is hidden and shown again between two
# prompts, so each answer first waits for it and lets it take the keyboard.
answer() {
    for _ in $(seq 50); do
        dialog_visible && break
        sleep 0.1
    done
    dialog_visible || {
        fail "no prompt dialog for the answer '$1'"
        return
    }
    sleep 0.3
    [ -n "$1" ] && xdotool type --delay 20 -- "$1"
    xdotool key Return
    sleep 0.3
}

screenshot() { import -window root "$1"; }

differs() { # differs a.png b.png: true when pixels changed
    local n
    n=$(compare -metric AE "$1" "$2" null: 2>&1)
    echo "pixels changed: $n"
    [ "${n%%.*}" -gt 0 ] 2>/dev/null
}

# ---- 1. the prompts, the frames, F2
run=1
start
if ! timeout 20 xdotool search --sync --onlyvisible --name '^Eingabe$' >/dev/null 2>&1; then
    fail "the first prompt did not appear"
    cat program1.log
    kill "$pid" 2>/dev/null
    exit 1
fi
for a in "-33,9" "-70.6" "7" "12" "2026" "14.17" "0.05" "30" "" "30" "ja" "nj"; do
    answer "$a"
done
for _ in $(seq 30); do
    dialog_visible || break
    sleep 0.1
done
dialog_visible && fail "a prompt is still open after twelve answers"

sleep 0.5
screenshot single1.png
sleep 0.5
screenshot single2.png
differs single1.png single2.png && fail "single-step mode drew without a key"
xdotool key e # continuous
sleep 0.3
screenshot running1.png
sleep 0.5
screenshot running2.png
differs running1.png running2.png || fail "the frames did not change in continuous mode"
xdotool key e # single step again
sleep 0.3

xdotool key F2
sleep 0.5
expected=$(printf 'p * Darstellung (Phase (p)/Bewegung)\r\n-33,9 * geogr. Breite\r\n-70.6 * geogr. L\xe4nge\r\n7.12.2026 * Startdatum\r\n14.17 * Startuhrzeit\r\n0.05 * deltat\r\n30 * Verz\xf6gerung in ms\r\n180 * zentraler Azimut\r\n30 * Abstand der Koordinatenlinien\r\na * Zeichnung der \xc4quators (j/n)?\r\nj * Zeichnung der Ekliptik (j/n)?\r\nj * Einzelschritt (j/n)?\r\n' | od -An -tx1)
if [ ! -f Orvandel.dat ]; then
    fail "F2 wrote no Orvandel.dat"
elif [ "$(od -An -tx1 Orvandel.dat)" != "$expected" ]; then
    fail "Orvandel.dat does not hold the answers:"
    od -c Orvandel.dat
fi

xdotool key ctrl+c
wait_end 50
[ "$status" = 0 ] || fail "Ctrl+C: the program ended with '$status', not 0"

# ---- 2. the saved file as the argument
run=2
start Orvandel.dat
if ! timeout 20 xdotool search --sync --onlyvisible --name '^Orvandel$' >/dev/null 2>&1; then
    fail "no window with the parameter file"
fi
sleep 1.5
dialog_visible && fail "the program prompted although a parameter file was given"
screenshot file1.png
xdotool key x
sleep 0.5
screenshot file2.png
differs file1.png file2.png || fail "a key drew no new frame"
xdotool key Escape
wait_end 50
[ "$status" = 0 ] || fail "Esc with a parameter file: the program ended with '$status', not 0"

# ---- 3. a file that does not convert
run=3
sed 's/^30 \* Verz/dreissig * Verz/' Orvandel.dat >bad.dat
start bad.dat
for _ in $(seq 100); do
    grep -q "Zeile 7" program3.log 2>/dev/null && break
    sleep 0.1
done
grep -q 'bad.dat", Zeile 7: "dreissig"' program3.log || fail "no message naming bad.dat, line 7 and its text"
# The message box: the visible window named Orvandel that is not the full screen.
box=
for w in $(xdotool search --onlyvisible --name '^Orvandel$' 2>/dev/null); do
    width=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    [ -n "$width" ] && [ "$width" -lt 1920 ] && box=$w
done
if [ -n "$box" ]; then
    xdotool windowfocus --sync "$box" 2>/dev/null
    xdotool key --window "$box" Return 2>/dev/null || xdotool key Return
else
    fail "no message box"
fi
wait_end 50
[ "$status" = 1 ] || fail "bad parameter file: the program ended with '$status', not 1"

if [ "$failures" -gt 0 ]; then
    for f in program*.log; do
        echo "== $f"
        cat "$f"
    done
    exit 1
fi
echo "PASS"
