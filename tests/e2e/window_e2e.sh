#!/bin/bash
# End-to-end test of the main window: the real Orvandel under Xvfb.
#
#   window_e2e.sh <path of Orvandel> <output folder>
#
# Xvfb has no window manager: the program must place its window over the
# screen and activate it by itself. The screenshots stay in the output folder.
set -u

if [ "${1:-}" != "--inner" ]; then
    binary=$1
    out=$2
    for tool in xvfb-run xdotool xwininfo import convert; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is missing (scripts/install-deps installs it)"
            exit 1
        fi
    done
    mkdir -p "$out"
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --inner "$binary" "$out"
fi

binary=$2
out=$3
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The program runs in the output folder, like make run in its working folder.
cd "$out" || exit 1
rm -f before.png after.png
env -u QT_QPA_PLATFORM "$binary" >program.log 2>&1 &
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

# Let the first ticks draw and the window repaint.
sleep 1

geometry=$(xwininfo -id "$wid")
x=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$geometry")
y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$geometry")
w=$(sed -n 's/^ *Width: *//p' <<<"$geometry")
h=$(sed -n 's/^ *Height: *//p' <<<"$geometry")
echo "geometry ${w}x${h}+${x}+${y}"
[ "$x" = 0 ] && [ "$y" = 0 ] && [ "$w" = 1920 ] && [ "$h" = 1080 ] ||
    fail "the window does not cover the 1920x1080 screen: ${w}x${h}+${x}+${y}"

import -window root before.png
# The root window of Xvfb is black: white corners come from the window.
for corner in "0,0" "1919,0" "0,1079" "1919,1079" "960,1000"; do
    colour=$(convert before.png -format "%[pixel:p{$corner}]" info:)
    case "$colour" in
    white | "srgb(255,255,255)") ;;
    *) fail "pixel $corner of the screen is $colour, not the window's white" ;;
    esac
done

# A key: the demonstration tick shows its code, so the picture changes.
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key a
sleep 0.5
import -window root after.png
changed=$(compare -metric AE before.png after.png null: 2>&1)
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
