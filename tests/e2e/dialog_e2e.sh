#!/bin/bash
# End-to-end test of the prompt dialog under a window manager (openbox), which
# frames the dialog and reports the frame only after the first show: prompts
# of the same width, a refused answer among them, come up at the same place
# and size. Esc ends the program.
#
#   dialog_e2e.sh <path of Orvandel> <output folder> <source folder>
set -u
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1920x1080 "${2:-}" "xdotool xwininfo openbox" "$@"

cd "$3" || exit 1
rm -f ./*.log
e2e_copy_data "$4/data" ECLGRAPH.DAT Orvandel.txt
openbox >openbox.log 2>&1 &
sleep 1
e2e_start program.log "$2"
e2e_wait_window Eingabe >/dev/null || fail "the first prompt did not appear"

# The client area of the dialog, WxH+X+Y, for the latitude (refused once),
# the longitude, the day and the month.
seen=
for a in "Nord" "54.3" "10.1" "7" "12"; do
    sleep 0.5
    wid=$(xdotool search --onlyvisible --name '^Eingabe$' | head -n 1)
    seen+="$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h "+" x "+" y }') "
    e2e_answer "$a"
done
echo "dialog geometries: $seen"
[ "$(tr ' ' '\n' <<<"$seen" | sort -u | grep -c .)" = 1 ] || fail "the dialog moved between prompts: $seen"
e2e_key_ends Escape "Esc in the dialog"
kill %1 2>/dev/null
e2e_finish program.log
