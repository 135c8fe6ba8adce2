#!/bin/bash
# End-to-end test of the prompt dialog under a window manager (openbox): the
# real Orvandel under Xvfb, started without arguments.
#
#   dialog_e2e.sh <path of Orvandel> <output folder> <source folder>
#
# The window manager frames the dialog and reports the frame only some time
# after the dialog was first shown. Prompts of the same width must still come
# up at the same place and size, one after the other; a refused answer and
# the answers after it change nothing of that. Esc ends the program.
# The screenshots stay in the output folder.
set -u
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1920x1080 "${2:-}" "xdotool xwininfo import openbox" "$@"

binary=$2
out=$3
source=$4

cd "$out" || exit 1
rm -f ./*.png ./*.log Orvandel.dat ERDE.BIN
e2e_copy_data "$source/data" ECLGRAPH.DAT Orvandel.txt

openbox >openbox.log 2>&1 &
wm=$!
sleep 1

# The client area of the visible dialog as WxH+X+Y.
dialog_geometry() {
    local wid
    wid=$(xdotool search --onlyvisible --name '^Eingabe$' 2>/dev/null | head -n 1)
    [ -n "$wid" ] || return 1
    xwininfo -id "$wid" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'
}

e2e_start program.log "$binary"
e2e_wait_window Eingabe >/dev/null || fail "the first prompt did not appear"

# Latitude (refused once), longitude, day, month, year: prompts of the
# narrowest width, each seen once it has settled.
geometries=()
for a in "Nord" "54.3" "10.1" "7" "12"; do
    sleep 0.5
    geometries+=("$(dialog_geometry)")
    [ ${#geometries[@]} = 2 ] && e2e_screenshot refused.png
    e2e_answer "$a"
done
echo "dialog geometries: ${geometries[*]}"
for g in "${geometries[@]}"; do
    if [ "$g" != "${geometries[0]}" ]; then
        fail "the dialog moved between prompts: ${geometries[*]}"
        break
    fi
done
case "${geometries[0]}" in
    *x167+*) ;;
    *) fail "the dialog's client area is not 167 pixels high: ${geometries[0]}" ;;
esac

e2e_dialog_visible || fail "no prompt after the fifth answer"
e2e_key_ends Escape "Esc in the dialog"

kill "$wm" 2>/dev/null
e2e_finish program.log
