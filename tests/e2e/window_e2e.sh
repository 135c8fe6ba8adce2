#!/bin/bash
# End-to-end test of the main window: the real Orvandel under Xvfb.
#
#   window_e2e.sh <path of Orvandel> <data folder> <output folder>
#
# The program starts with a parameter file (no prompts) in single-step mode,
# so that the picture changes only when a key arrives. Xvfb has no window
# manager: the program must place its window over the screen and activate it
# by itself. The screenshots stay in the output folder.
set -u

if [ "${1:-}" != "--inner" ]; then
    for tool in xvfb-run xdotool xwininfo import compare convert; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is missing (scripts/install-deps installs it)"
            exit 1
        fi
    done
    mkdir -p "$3"
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --inner "$@"
fi

binary=$2
data=$3
out=$4
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The working folder holds the data files, like the one of make run.
cd "$out" || exit 1
rm -f ./*.png program.log
for f in "$data"/*; do
    case "$f" in *.md) ;; *) cp -f "$f" . ;; esac
done
# Twelve lines, Windows-1252 with CR LF: the outside view, single steps.
printf '%s\r\n' "b * Darstellung (Phase (p)/Bewegung)" "52,5 * geogr. Breite" $'13.4 * geogr. L\xe4nge' \
    " 7.12.2026 * Startdatum" "  9.05 * Startuhrzeit" "0.05 * deltat" $'30 * Verz\xf6gerung in ms' \
    "180 * zentraler Azimut" "30 * Abstand der Koordinatenlinien" $'j * Zeichnung des \xc4quators (j/n)?' \
    "j * Zeichnung der Ekliptik (j/n)?" "j * Einzelschritt (j/n)?" >e2e.par

env -u QT_QPA_PLATFORM "$binary" e2e.par >program.log 2>&1 &
pid=$!

# The visible top-level window with the caption Orvandel (Qt also creates an
# invisible 1x1 leader window of the same name).
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Orvandel$' 2>/dev/null | head -n 1)
if [ -z "$wid" ]; then
    echo "FAIL: no visible window named Orvandel appeared"
    kill "$pid" 2>/dev/null
    cat program.log
    exit 1
fi
echo "window $wid"

# Let the first ticks draw the first picture and the window repaint.
sleep 2

info=$(xwininfo -id "$wid")
field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
geometry="$(field Width)x$(field Height)+$(field 'Absolute upper-left X')+$(field 'Absolute upper-left Y')"
echo "geometry $geometry, $(field 'Map State')"
[ "$geometry" = "1920x1080+0+0" ] || fail "the window does not cover the 1920x1080 screen: $geometry"
[ "$(field 'Map State')" = IsViewable ] || fail "the window is not viewable"

# The screenshot of the whole screen is the window's own picture, pixel for
# pixel, and the program has drawn something on it.
import -window root screen.png
import -window "$wid" window.png
differ=$(compare -metric AE screen.png window.png null: 2>&1)
echo "screen pixels that differ from the window's: $differ"
[ "$differ" = 0 ] || fail "the screen shows more than the window ($differ pixels differ)"
drawn=$(convert screen.png -colorspace Gray -format '%[fx:maxima > 0 ? 1 : 0]' info:)
[ "$drawn" = 1 ] || fail "the screen is black: nothing was drawn"

# A key: in single-step mode it draws the next picture.
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space
sleep 1
import -window root after-key.png
changed=$(compare -metric AE screen.png after-key.png null: 2>&1)
echo "pixels changed by the key: $changed"
[ "${changed%%.*}" -gt 0 ] 2>/dev/null || fail "the key changed nothing on the screen"

# Ctrl+C ends the program at once.
xdotool key ctrl+c
ended=no
for _ in $(seq 50); do
    if ! kill -0 "$pid" 2>/dev/null; then
        ended=yes
        break
    fi
    sleep 0.1
done
if [ "$ended" = yes ]; then
    wait "$pid"
    status=$?
    [ "$status" = 0 ] || fail "the program ended with status $status"
else
    fail "the program did not end within 5 s of Ctrl+C"
    kill "$pid" 2>/dev/null
fi

if [ "$failures" -gt 0 ]; then
    cat program.log
    exit 1
fi
echo "PASS"
