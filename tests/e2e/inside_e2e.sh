#!/bin/bash
# End-to-end test of the inside view: the real Orvandel under Xvfb, started
# with a parameter file by day and by night; the screenshot's colours of the
# ground, the sky and the Moon's lit side are checked at the pixels where the
# view's projection puts them.
#
#   inside_e2e.sh <path of Orvandel> <path of orvandel-ephem> <data folder> <output folder>
#
# The Moon's direction and the direction of its bright limb come from
# orvandel-ephem for the same place and instant. The screenshots stay in the
# output folder (day.png, night.png).
set -u
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1920x1080 "${4:-}" "xdotool import convert awk" "$@"

binary=$2
ephem=$3
data=$4
out=$5

cd "$out" || exit 1
rm -f ./*.png ./*.par program-*.log
e2e_copy_data "$data"

latitude=52.5
longitude=13.4

# The pixel of a direction (azimuth from south toward west, altitude, in
# degrees) on the 1920x1080 screen with the central azimuth south: the
# central projection from the eye point (-1.05, 0, 0.35) onto the plane
# X = 1, then the world window x -5..5, y -2.5..7.5 times 1079/1919 (equal
# scales). Optionally moved by d pixels along the screen direction a
# (degrees, counter-clockwise from +x, y up).
pixel() {
    awk -v az="$1" -v alt="$2" -v d="${3:-0}" -v a="${4:-0}" 'BEGIN {
        r = atan2(0, -1) / 180
        x = cos(alt * r) * cos(az * r); y = cos(alt * r) * sin(az * r); z = sin(alt * r)
        t = 2.05 / (x + 1.05)
        wx = y * t; wy = (z - 0.35) * t + 0.35
        ymax = 7.5 * 1079 / 1919; ymin = -2.5 * 1079 / 1919
        sx = (wx + 5) * 1919 / 10 + d * cos(a * r)
        sy = (ymax - wy) * 1079 / (ymax - ymin) - d * sin(a * r)
        printf "%d %d\n", int(sx + 0.5), int(sy + 0.5)
    }'
}

# "r,g,b" of a pixel of a screenshot.
colour_at() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

expect_colour() { # picture, what, x, y, expected "r,g,b", name of the colour
    local got
    got=$(colour_at "$1" "$3" "$4")
    echo "$1: $2 at ($3, $4) is $got"
    [ "$got" = "$5" ] || fail "$1: $2 at ($3, $4) is $got, not $6 ($5)"
}

# A column of orvandel-ephem's one-line table.
ephem_column() { # date, time, column name
    "$ephem" --lat "$latitude" --lon "$longitude" --date "$1" --time "$2" |
        awk -F, -v name="$3" 'NR == 1 { for (i = 1; i <= NF; ++i) if ($i == name) c = i } NR == 2 { print $c }'
}

# Starts the program with a parameter file for the inside view, lets it draw
# its first frame, takes a screenshot and ends the program with Ctrl+C.
screenshot() { # name, date, time
    e2e_write_params "$1.par" p "$latitude" "$longitude" "$2" "$3" 0.05 30 0 30 n n j
    e2e_start "program-$1.log" "$binary" "$1.par"
    local wid
    if ! wid=$(e2e_wait_window Orvandel); then
        fail "$1: no visible window named Orvandel appeared"
        kill "$pid" 2>/dev/null
        cat "program-$1.log"
        return
    fi
    sleep 2
    e2e_screenshot "$1.png"
    xdotool windowfocus --sync "$wid" 2>/dev/null
    xdotool key ctrl+c
    e2e_wait_end 50
    [ "$status" = "still running" ] && fail "$1: the program did not end on Ctrl+C"
}

check() { # name, date, time, sky "r,g,b", sky name, ground "r,g,b", ground name
    screenshot "$1" "$2" "$3"
    [ -f "$1.png" ] || return
    local sky=$(ephem_column "$2" "$3" sky)
    local moon_az=$(ephem_column "$2" "$3" moon_az)
    local moon_alt=$(ephem_column "$2" "$3" moon_alt)
    local limb=$(ephem_column "$2" "$3" limb_angle)
    echo "$1: sky $sky, Moon at azimuth $moon_az, altitude $moon_alt, bright limb toward $limb degrees"
    [ "$sky" = "$1" ] || fail "$1: orvandel-ephem gives a $sky sky for $2 $3"
    # The sky between the grid lines (15 degrees from the nearest), the
    # ground on the east side, away from the ground lines and letters, and
    # the Moon's disc (radius 15) 6 pixels from its centre toward its bright
    # limb.
    expect_colour "$1.png" sky $(pixel -15 15) "$4" "$5"
    expect_colour "$1.png" ground $(pixel -40 -8) "$6" "$7"
    expect_colour "$1.png" "the Moon's lit side" $(pixel "$moon_az" "$moon_alt" 6 "$limb") 196,196,196 LightGray
}

# 17 March 2024, 17.00 MEZ: the Sun low in the west, the Moon a day after
# first quarter high in the south-east.
check day 17.3.2024 17.00 0,0,252 LightBlue 36,252,36 LightGreen
# Its dark side shows the day's sky.
if [ -f day.png ]; then
    expect_colour day.png "the Moon's dark side" $(pixel "$(ephem_column 17.3.2024 17.00 moon_az)" \
        "$(ephem_column 17.3.2024 17.00 moon_alt)" 6 "$(ephem_column 17.3.2024 17.00 limb_angle | awk '{ print $1 + 180 }')") \
        0,0,252 LightBlue
fi
# 25 January 2024, 23.00 MEZ: the full Moon high in the south-south-east at night.
check night 25.1.2024 23.00 0,0,0 Black 0,160,0 Green

e2e_finish program-*.log
