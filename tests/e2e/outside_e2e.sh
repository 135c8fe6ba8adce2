#!/bin/bash
# End-to-end test of the whole program as a user meets it: the real Orvandel
# under Xvfb (no window manager), steered with xdotool.
#
#   outside_e2e.sh <path of Orvandel> <output folder> <source folder>
#
# 1. Started without arguments: the start screen, the twelve prompts, the
#    inside view animated; "d" into the outside view, animated; F1 shows the
#    help and a key leaves it; Esc asks again (eight questions in the outside
#    view) and the run starts with the opening trail of Moons; a key clears
#    it and shows the start instant; "s" writes Orvandel00.bmp (a BMP of the
#    screen's size); F2 writes Orvandel.dat; Ctrl+C ends the program.
# 2. Started with that Orvandel.dat: no prompt, no trail; "+" shows the start
#    instant on a cleared screen, and its picture is the same as that of the
#    first program; Esc ends the program.
# The screenshots stay in the output folder.
set -u

# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1920x1080 "${2:-}" "xdotool import compare identify convert" "$@"

binary=$2
out=$3
source=$4

cd "$out" || exit 1
rm -f ./*.png ./*.log ./*.bmp Orvandel.dat ERDE.BIN
e2e_copy_data "$source/data" ECLGRAPH.DAT Orvandel.txt

run=
start() { # start [argument]
    e2e_start "program$run.log" "$binary" "$@"
}

# A key, then time for the frame to reach the screen.
key() {
    xdotool key "$1"
    sleep "${2:-0.5}"
}

# The picture square of the outside view (x and y from 0 to MaxY) and the
# colour of the Moon's lit side (LightGray of the palette).
square=1080x1080+0+0
moon_lit=c4c4c4

# ---- 1. without arguments
run=1
start
if ! e2e_wait_window Eingabe >/dev/null; then
    fail "the first prompt did not appear"
    cat program1.log
    kill "$pid" 2>/dev/null
    exit 1
fi
sleep 0.5
e2e_screenshot start.png
# The start screen: the three headings of Orvandel.txt in yellow.
[ "$(e2e_colour_count start.png 1920x100+0+0 fcfc48)" -gt 500 ] || fail "no yellow headings on the start screen"

for a in "54.3" "10.1" "7" "12" "2026" "14.17" "0.05" "30" "" "30" "j" "j"; do
    e2e_answer "$a"
done
e2e_answers_done "the answers (inside view)"
sleep 0.5
e2e_screenshot inside1.png

key e 0.3 # continuous
e2e_screenshot inside2.png
sleep 0.5
e2e_screenshot inside3.png
[ "$(e2e_changed inside2.png inside3.png)" -gt 0 ] || fail "the inside view did not animate"
key e

key d 0.8
e2e_screenshot outside1.png
[ "$(e2e_changed inside3.png outside1.png)" -gt 100000 ] || fail "\"d\" did not switch to the outside view"
moons=$(e2e_colour_count outside1.png $square $moon_lit)
[ "$moons" -gt 200 ] || fail "no Moon in the outside view ($moons lit pixels)"
key e 0.3
e2e_screenshot outside2.png
sleep 0.7
e2e_screenshot outside3.png
[ "$(e2e_changed outside2.png outside3.png)" -gt 0 ] || fail "the outside view did not animate"
key e

key F1
e2e_screenshot help.png
# The help of the outside view is written from x = MaxY - 150 to the right.
[ "$(e2e_changed outside3.png help.png)" -gt 1000 ] || fail "F1 showed no help"
key x
e2e_screenshot afterhelp.png
[ "$(e2e_colour_count afterhelp.png 150x400+930+0 ffffff)" -eq 0 ] || fail "the help text is still on the picture after a key"

# New prompts in the outside view: the first eight questions only.
key Escape 0.3
for a in "" "" "" "" "" "" "1" "100"; do
    e2e_answer "$a"
done
e2e_answers_done "the answers (outside view)"
sleep 0.8
e2e_screenshot trail.png
trail=$(e2e_colour_count trail.png $square $moon_lit)
echo "lit Moon pixels: one frame $moons, after the run start $trail"
# Seven Moons of the trail, the first picture's and the first frame's.
[ "$trail" -gt $((6 * moons)) ] || fail "no opening trail of Moons ($trail lit pixels)"
[ "$(e2e_colour_count trail.png $square fc2828)" -gt 100 ] || fail "no LightRed labels of the first picture"

key x # clears the trail: the start instant alone
e2e_screenshot first_t0.png
[ "$(e2e_colour_count first_t0.png $square $moon_lit)" -lt $((2 * moons)) ] || fail "the first key did not clear the trail"
key s
if [ ! -f Orvandel00.bmp ]; then
    fail "\"s\" wrote no Orvandel00.bmp"
else
    [ "$(head -c 2 Orvandel00.bmp)" = BM ] || fail "Orvandel00.bmp is no BMP file"
    size=$(identify -format '%w %h' Orvandel00.bmp 2>/dev/null)
    [ "$size" = "1920 1080" ] || fail "Orvandel00.bmp is '$size' pixels, not the screen's 1920 x 1080"
    mv Orvandel00.bmp run1-Orvandel00.bmp
fi

key F2
if [ ! -f Orvandel.dat ]; then
    fail "F2 wrote no Orvandel.dat"
else
    [ "$(head -c 1 Orvandel.dat)" = b ] || fail "Orvandel.dat does not name the outside view"
fi

e2e_key_ends ctrl+c Ctrl+C

# ---- 2. the saved file as the argument
run=2
start Orvandel.dat
e2e_started_with_file 2
e2e_screenshot file_start.png
[ "$(e2e_colour_count file_start.png $square $moon_lit)" -lt $((2 * moons)) ] || fail "an opening trail although a parameter file was given"
[ "$(e2e_colour_count file_start.png $square fc2828)" -gt 100 ] || fail "no LightRed labels of the first picture"

key plus # clears the screen and shows the start instant again
e2e_screenshot file_t0.png
key s
if [ -f Orvandel00.bmp ] && [ -f run1-Orvandel00.bmp ]; then
    n=$(e2e_changed run1-Orvandel00.bmp Orvandel00.bmp)
    [ "$n" = 0 ] || fail "the start instant differs between the two programs ($n pixels)"
else
    fail "no pictures to compare"
fi
[ "$(e2e_changed first_t0.png file_t0.png)" = 0 ] || fail "the screens of the start instant differ"

e2e_key_ends Escape "Esc with a parameter file"

e2e_finish program*.log
