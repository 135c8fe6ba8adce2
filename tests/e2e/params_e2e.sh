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

# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1920x1080 "${2:-}" "xdotool import compare" "$@"

binary=$2
out=$3
source=$4

cd "$out" || exit 1
rm -f ./*.png ./*.log Orvandel.dat bad.dat expected.dat
e2e_copy_data "$source/data" ECLGRAPH.DAT Orvandel.txt

start() { # start [argument]
    e2e_start "program$run.log" "$binary" "$@"
}

# ---- 1. the prompts, the frames, F2
run=1
start
if ! e2e_wait_window Eingabe >/dev/null; then
    fail "the first prompt did not appear"
    cat program1.log
    kill "$pid" 2>/dev/null
    exit 1
fi
for a in "-33,9" "-70.6" "7" "12" "2026" "14.17" "0.05" "30" "" "30" "ja" "nj"; do
    e2e_answer "$a"
done
e2e_answers_done "twelve answers"

sleep 0.5
e2e_screenshot single1.png
sleep 0.5
e2e_screenshot single2.png
e2e_differs single1.png single2.png && fail "single-step mode drew without a key"
xdotool key e # continuous
sleep 0.3
e2e_screenshot running1.png
sleep 0.5
e2e_screenshot running2.png
e2e_differs running1.png running2.png || fail "the frames did not change in continuous mode"
xdotool key e # single step again
sleep 0.3

xdotool key F2
sleep 0.5
e2e_write_params expected.dat p -33,9 -70.6 7.12.2026 14.17 0.05 30 180 30 a j j
expected=$(od -An -tx1 expected.dat)
if [ ! -f Orvandel.dat ]; then
    fail "F2 wrote no Orvandel.dat"
elif [ "$(od -An -tx1 Orvandel.dat)" != "$expected" ]; then
    fail "Orvandel.dat does not hold the answers:"
    od -c Orvandel.dat
fi

e2e_key_ends ctrl+c Ctrl+C

# ---- 2. the saved file as the argument
run=2
start Orvandel.dat
e2e_started_with_file 1.5
e2e_screenshot file1.png
xdotool key x
sleep 0.5
e2e_screenshot file2.png
e2e_differs file1.png file2.png || fail "a key drew no new frame"
e2e_key_ends Escape "Esc with a parameter file"

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
e2e_wait_end 50
[ "$status" = 1 ] || fail "bad parameter file: the program ended with '$status', not 1"

e2e_finish program*.log
