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
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1920x1080 "${3:-}" "xdotool xwininfo import compare convert" "$@"

binary=$2
data=$3
out=$4

# The working folder holds the data files, like the one of make run.
cd "$out" || exit 1
rm -rf ./*.png program.log missing.log leer
e2e_copy_data "$data"
# The outside view, single steps; the date and the time with leading blanks.
e2e_write_params e2e.par b 52,5 13.4 " 7.12.2026" "  9.05" 0.05 30 180 30 j j j

e2e_start program.log "$binary" e2e.par

if ! wid=$(e2e_wait_window Orvandel); then
    fail "no visible window named Orvandel appeared"
    kill "$pid" 2>/dev/null
    e2e_finish program.log
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
e2e_screenshot screen.png
e2e_screenshot window.png "$wid"
differ=$(e2e_changed screen.png window.png)
echo "screen pixels that differ from the window's: $differ"
[ "$differ" = 0 ] || fail "the screen shows more than the window ($differ pixels differ)"
drawn=$(convert screen.png -colorspace Gray -format '%[fx:maxima > 0 ? 1 : 0]' info:)
[ "$drawn" = 1 ] || fail "the screen is black: nothing was drawn"

# A key: in single-step mode it draws the next picture.
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key space
sleep 1
e2e_screenshot after-key.png
e2e_differs screen.png after-key.png || fail "the key changed nothing on the screen"

# Ctrl+C ends the program at once.
xdotool key ctrl+c
e2e_wait_end 50
if [ "$status" = "still running" ]; then
    fail "the program did not end within 5 s of Ctrl+C"
else
    [ "$status" = 0 ] || fail "the program ended with status $status"
fi

# No coastline file in any folder of the data lookup: the message is white on
# the black screen at the top left, and a key ends the program with status 1.
mkdir -p leer/daten && cp e2e.par leer/ && cd leer || exit 1
e2e_start ../missing.log env ORVANDEL_DATA_DIR="$out/leer/daten" "$binary" e2e.par
cd .. && sleep 3
e2e_screenshot missing.png
white=$(e2e_colour_count missing.png 900x100+0+0 ffffff)
[ "$white" -gt 2000 ] 2>/dev/null || fail "the missing-files message is not readable ($white white pixels)"
xdotool key x
e2e_wait_end 50
[ "$status" = 1 ] || fail "after the missing-files message a key ended the program with '$status', not 1"

e2e_finish program.log missing.log
