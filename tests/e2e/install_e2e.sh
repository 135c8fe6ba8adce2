#!/bin/bash
# End-to-end test of the installation: `cmake --install` into a temporary
# root, then the installed program started from an empty folder under Xvfb
# with a parameter file of the outside view. The globe must be drawn with its
# white coastlines (found in the installed data folder), F2 and "s" must write
# into the current folder, and nothing may be written into the data folder.
# When a Debian package has been built (make package), its contents are
# checked too.
#
#   install_e2e.sh <build folder> <output folder>
set -u

# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1280x720 "${2:-}" "xdotool import convert" "$@"

build=$2
out=$3

rm -rf "$out/root" "$out/work"
mkdir -p "$out/work"
cmake --install "$build" --prefix "$out/root" >"$out/install.log" 2>&1 || {
    echo "FAIL: cmake --install failed"
    cat "$out/install.log"
    exit 1
}
root=$out/root
for f in bin/Orvandel bin/orvandel-ephem share/orvandel/ECLGRAPH.DAT share/orvandel/ERDE.BIN \
    share/orvandel/Orvandel.txt share/applications/orvandel.desktop \
    share/icons/hicolor/scalable/apps/orvandel.svg share/man/man1/Orvandel.1.gz share/man/man1/orvandel-ephem.1.gz; do
    [ -f "$root/$f" ] || fail "not installed: $f"
done
# The user guide and every picture it shows, side by side.
guide=$root/share/doc/orvandel/Anleitung.md
if [ -f "$guide" ]; then
    pictures=0
    for picture in $(grep -oE '\]\([^) ]+\.png\)' "$guide" | sed 's/^](//; s/)$//'); do
        pictures=$((pictures + 1))
        [ -f "$root/share/doc/orvandel/$picture" ] || fail "the installed guide shows $picture, which is not installed"
    done
    [ "$pictures" -gt 0 ] || fail "the installed guide shows no picture"
else
    fail "not installed: share/doc/orvandel/Anleitung.md"
fi
grep -q '^Categories=Education;Science;Astronomy;$' "$root/share/applications/orvandel.desktop" ||
    fail "desktop entry without its categories"
command -v desktop-file-validate >/dev/null &&
    { desktop-file-validate "$root/share/applications/orvandel.desktop" || fail "desktop entry invalid"; }

data_before=$(cd "$root/share/orvandel" && ls -l --time-style=+%s.%N)

cd "$out/work" || exit 1
e2e_write_params ../aussen.dat b 54.3 10.1 21.3.2026 12.00 1 30 0 30 n n j

e2e_start ../program.log env -u ORVANDEL_DATA_DIR "$root/bin/Orvandel" ../aussen.dat
e2e_wait_window Orvandel >/dev/null || fail "the installed program's window did not appear"
sleep 1
xdotool key space # the first step: the screen is cleared and the globe drawn
sleep 1
e2e_screenshot ../screen.png
# The globe lies in the square at the left (x < 720); its coastlines are
# white (palette White, 255 255 255).
white=$(e2e_colour_count ../screen.png 720x660+0+0 ffffff)
echo "white pixels in the picture square: $white"
[ "${white:-0}" -gt 300 ] || fail "no coastlines on the globe (white pixels: $white)"

xdotool key F2
sleep 0.5
xdotool key s
sleep 0.8
[ -f Orvandel.dat ] || fail "F2 wrote no Orvandel.dat into the current folder"
[ -f Orvandel00.bmp ] || fail "\"s\" wrote no Orvandel00.bmp into the current folder"
[ -e ERDE.BIN ] && fail "the installed program converted the coastlines into the current folder"
xdotool key ctrl+c
e2e_wait_end 30

data_after=$(cd "$root/share/orvandel" && ls -l --time-style=+%s.%N)
[ "$data_before" = "$data_after" ] || fail "the data folder changed: $data_after"

deb=$(ls "$build"/orvandel_*.deb 2>/dev/null | head -1)
if [ -n "$deb" ]; then
    contents=$(dpkg-deb -c "$deb")
    for f in ./usr/bin/Orvandel ./usr/share/orvandel/ERDE.BIN ./usr/share/applications/orvandel.desktop \
        ./usr/share/man/man1/Orvandel.1.gz; do
        grep -q " $f\$" <<<"$contents" || fail "package lacks $f"
    done
    dpkg-deb -f "$deb" Depends | grep -q 'fonts-liberation' || fail "package does not depend on fonts-liberation"
else
    echo "note: no package in $build (make package builds one); its contents were not checked"
fi

e2e_finish ../program.log
