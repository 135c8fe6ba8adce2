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

if [ "${1:-}" != "--inner" ]; then
    binary=$1
    out=$2
    source=$3
    for tool in xvfb-run xdotool import compare identify convert; do
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
rm -f ./*.png ./*.log ./*.bmp Orvandel.dat ERDE.BIN
cp -f "$source/data/ECLGRAPH.DAT" "$source/data/Orvandel.txt" .

pid=
run=
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
# confirms it with Enter.
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

answers_done() {
    for _ in $(seq 30); do
        dialog_visible || break
        sleep 0.1
    done
    dialog_visible && fail "a prompt is still open after the answers ($1)"
}

# A key, then time for the frame to reach the screen.
key() {
    xdotool key "$1"
    sleep "${2:-0.5}"
}

screenshot() { import -window root "$1"; }

changed() { # changed a.png b.png: the number of pixels that differ
    compare -metric AE "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'
}

# Pixels of one colour (rrggbb) in a region (WxH+X+Y) of a picture.
colour_count() { # colour_count picture region rrggbb
    convert "$1" -crop "$2" +repage -fill black +opaque "#$3" -fill white -opaque "#$3" \
        -format '%[fx:round(mean*w*h)]' info:
}

# The picture square of the outside view (x and y from 0 to MaxY) and the
# colour of the Moon's lit side (LightGray of the palette).
square=1080x1080+0+0
moon_lit=c4c4c4

# ---- 1. without arguments
run=1
start
if ! timeout 20 xdotool search --sync --onlyvisible --name '^Eingabe$' >/dev/null 2>&1; then
    fail "the first prompt did not appear"
    cat program1.log
    kill "$pid" 2>/dev/null
    exit 1
fi
sleep 0.5
screenshot start.png
# The start screen: the three headings of Orvandel.txt in yellow.
[ "$(colour_count start.png 1920x100+0+0 fcfc48)" -gt 500 ] || fail "no yellow headings on the start screen"

for a in "54.3" "10.1" "7" "12" "2026" "14.17" "0.05" "30" "" "30" "j" "j"; do
    answer "$a"
done
answers_done "inside view"
sleep 0.5
screenshot inside1.png

key e 0.3 # continuous
screenshot inside2.png
sleep 0.5
screenshot inside3.png
[ "$(changed inside2.png inside3.png)" -gt 0 ] || fail "the inside view did not animate"
key e

key d 0.8
screenshot outside1.png
[ "$(changed inside3.png outside1.png)" -gt 100000 ] || fail "\"d\" did not switch to the outside view"
moons=$(colour_count outside1.png $square $moon_lit)
[ "$moons" -gt 200 ] || fail "no Moon in the outside view ($moons lit pixels)"
key e 0.3
screenshot outside2.png
sleep 0.7
screenshot outside3.png
[ "$(changed outside2.png outside3.png)" -gt 0 ] || fail "the outside view did not animate"
key e

key F1
screenshot help.png
# The help of the outside view is written from x = MaxY - 150 to the right.
[ "$(changed outside3.png help.png)" -gt 1000 ] || fail "F1 showed no help"
key x
screenshot afterhelp.png
[ "$(colour_count afterhelp.png 150x400+930+0 ffffff)" -eq 0 ] || fail "the help text is still on the picture after a key"

# New prompts in the outside view: the first eight questions only.
key Escape 0.3
for a in "" "" "" "" "" "" "1" "100"; do
    answer "$a"
done
answers_done "outside view"
sleep 0.8
screenshot trail.png
trail=$(colour_count trail.png $square $moon_lit)
echo "lit Moon pixels: one frame $moons, after the run start $trail"
# Seven Moons of the trail, the first picture's and the first frame's.
[ "$trail" -gt $((6 * moons)) ] || fail "no opening trail of Moons ($trail lit pixels)"
[ "$(colour_count trail.png $square fc2828)" -gt 100 ] || fail "no LightRed labels of the first picture"

key x # clears the trail: the start instant alone
screenshot first_t0.png
[ "$(colour_count first_t0.png $square $moon_lit)" -lt $((2 * moons)) ] || fail "the first key did not clear the trail"
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

xdotool key ctrl+c
wait_end 50
[ "$status" = 0 ] || fail "Ctrl+C: the program ended with '$status', not 0"

# ---- 2. the saved file as the argument
run=2
start Orvandel.dat
if ! timeout 20 xdotool search --sync --onlyvisible --name '^Orvandel$' >/dev/null 2>&1; then
    fail "no window with the parameter file"
fi
sleep 2
dialog_visible && fail "the program prompted although a parameter file was given"
screenshot file_start.png
[ "$(colour_count file_start.png $square $moon_lit)" -lt $((2 * moons)) ] || fail "an opening trail although a parameter file was given"
[ "$(colour_count file_start.png $square fc2828)" -gt 100 ] || fail "no LightRed labels of the first picture"

key plus # clears the screen and shows the start instant again
screenshot file_t0.png
key s
if [ -f Orvandel00.bmp ] && [ -f run1-Orvandel00.bmp ]; then
    n=$(changed run1-Orvandel00.bmp Orvandel00.bmp)
    [ "$n" = 0 ] || fail "the start instant differs between the two programs ($n pixels)"
else
    fail "no pictures to compare"
fi
[ "$(changed first_t0.png file_t0.png)" = 0 ] || fail "the screens of the start instant differ"

key Escape 0
wait_end 50
[ "$status" = 0 ] || fail "Esc with a parameter file: the program ended with '$status', not 0"

if [ "$failures" -gt 0 ]; then
    for f in program*.log; do
        echo "== $f"
        cat "$f"
    done
    exit 1
fi
echo "PASS"
