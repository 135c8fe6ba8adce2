#!/bin/bash
# End-to-end test of the command line: --help, --version, an unknown option,
# the export's argument and folder failures, and a first argument that is a
# parameter file (the program starts without prompting under Xvfb and Esc
# ends it with 0).
#
#   cli_e2e.sh <path of Orvandel> <output folder> <source folder>
set -u

if [ "${1:-}" != "--inner" ]; then
    for tool in xvfb-run xdotool; do
        command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
    done
    mkdir -p "$2"
    exec xvfb-run -a -s "-screen 0 1280x720x24" bash "$0" --inner "$1" "$2" "$3"
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
rm -rf ./* ./.orvandel-export-* 2>/dev/null
cp -f "$source/data/ECLGRAPH.DAT" .
printf 'p * Darstellung (Phase (p)/Bewegung)\r\n54.3 * geogr. Breite\r\n10.1 * geogr. L\xe4nge\r\n7.12.2026 * Startdatum\r\n18.00 * Startuhrzeit\r\n0.10 * deltat\r\n30 * Verz\xf6gerung in ms\r\n0 * zentraler Azimut\r\n30 * Abstand der Koordinatenlinien\r\nj * Zeichnung der \xc4quators (j/n)?\r\nn * Zeichnung der Ekliptik (j/n)?\r\nj * Einzelschritt (j/n)?\r\n' >p.dat

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
env -u QT_QPA_PLATFORM "$binary" p.dat >run.log 2>&1 &
pid=$!
if ! timeout 20 xdotool search --sync --onlyvisible --name '^Orvandel$' >/dev/null 2>&1; then
    fail "the program's window did not appear"
fi
sleep 1
xdotool search --onlyvisible --name '^Eingabe$' >/dev/null 2>&1 && fail "a parameter file still prompted"
xdotool key space
sleep 0.3
xdotool key Escape
status="still running"
for _ in $(seq 50); do
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        status=$?
        break
    fi
    sleep 0.1
done
[ "$status" = 0 ] || { fail "Esc with a parameter file: status $status"; kill "$pid" 2>/dev/null; cat run.log; }

if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "PASS"
