#!/bin/bash
# End-to-end test of the command line: --help, --version, an unknown option,
# the export's argument and folder failures, and a first argument that is a
# parameter file (the program starts without prompting under Xvfb and Esc
# ends it with 0).
#
#   cli_e2e.sh <path of Orvandel> <output folder> <source folder>
set -u

# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_under_xvfb 1280x720 "${2:-}" "xdotool" "$@"

binary=$2
out=$3
source=$4

cd "$out" || exit 1
rm -rf ./* ./.orvandel-export-* 2>/dev/null
e2e_copy_data "$source/data" ECLGRAPH.DAT
e2e_write_params p.dat p 54.3 10.1 7.12.2026 18.00 0.10 30 0 30 j n j

# Runs the program without a display; sets rc, and the outputs in o.txt and e.txt.
run() {
    env -u DISPLAY -u QT_QPA_PLATFORM "$binary" "$@" >o.txt 2>e.txt
    rc=$?
}

run --help
[ "$rc" = 0 ] || fail "--help: exit status $rc"
grep -q '^Aufruf: Orvandel \[PARAMETERDATEI\]' o.txt || fail "--help: no usage line"
grep -q -- '--export ORDNER --frames N' o.txt || fail "--help: the export is not named"
grep -q 'Einzelschritt an/aus' o.txt || fail "--help: the keys are missing"
[ -s e.txt ] && fail "--help wrote to standard error: $(cat e.txt)"

run --version
[ "$rc" = 0 ] || fail "--version: exit status $rc"
grep -Eq '^Orvandel [0-9]+\.[0-9]+\.[0-9]+$' o.txt || fail "--version printed: $(cat o.txt)"

run --farbig
[ "$rc" = 2 ] || fail "unknown option: exit status $rc"
grep -q 'Unbekannte Option "--farbig"' e.txt || fail "unknown option: message $(cat e.txt)"

# The export: N pictures and the table; bad arguments give 2, a folder that
# cannot be made gives 1, and neither leaves anything.
run --export bilder --frames 3 --size 640x360 p.dat
[ "$rc" = 0 ] || fail "export: exit status $rc: $(cat e.txt)"
[ "$(ls bilder | tr '\n' ' ')" = "frame0001.png frame0002.png frame0003.png frames.csv " ] ||
    fail "export wrote: $(ls -A bilder)"
[ "$(grep -c 'Bild [0-9] von 3' e.txt)" = 3 ] || fail "export progress: $(cat e.txt)"
[ "$(wc -l <bilder/frames.csv)" = 4 ] || fail "frames.csv has not 4 lines"
if command -v identify >/dev/null; then
    [ "$(identify -format '%wx%h ' bilder/frame000?.png)" = "640x360 640x360 640x360 " ] ||
        fail "picture sizes: $(identify -format '%wx%h ' bilder/frame000?.png)"
fi

run --export neu --frames 0 p.dat
[ "$rc" = 2 ] || fail "--frames 0: exit status $rc"
grep -q -- '--frames ist ungültig' e.txt || fail "--frames 0: message $(cat e.txt)"
run --export neu --frames 2 --size 10 p.dat
[ "$rc" = 2 ] || fail "--size 10: exit status $rc"
touch eine-datei
run --export eine-datei/neu --frames 2 p.dat
[ "$rc" = 1 ] || fail "folder below a file: exit status $rc"
grep -q 'kann nicht angelegt werden' e.txt || fail "folder below a file: message $(cat e.txt)"
run --export neu --frames 2 fehlt.dat
[ "$rc" = 1 ] || fail "missing parameter file: exit status $rc"
[ -e neu ] && fail "a failed export left the folder neu"

# A first argument that does not begin with "--" is the parameter file, as
# ever: no prompt, a key draws a frame, Esc ends with 0.
e2e_start run.log "$binary" p.dat
e2e_started_with_file 1
xdotool key space
sleep 0.3
e2e_key_ends Escape "Esc with a parameter file" || cat run.log

e2e_finish
