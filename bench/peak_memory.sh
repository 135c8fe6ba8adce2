#!/usr/bin/env bash
# The peak memory of the real program under Xvfb at 1920x1080: the peak
# resident set size (VmHWM of /proc/PID/status, what /usr/bin/time -v reports
# as its maximum resident set size) after it has animated SECONDS seconds
# (default 5) in each view, started with a parameter file in continuous mode
# in the outside view and switched once to the inside view with "d".
#
#   bench/peak_memory.sh [PROGRAM [SECONDS]]   (PROGRAM: build/default/bin/Orvandel)
set -u

source "$(dirname "$0")/lib.sh"
bench_under_xvfb "$@"
[ "${1:-}" = --inner ] && shift
bench_prepare "${1:-}"
seconds=${2:-5}

e2e_write_params laufend.par b 54.3 10.1 7.12.2026 14.17 0.10 30 0 30 j j n

env -u QT_QPA_PLATFORM "$program" laufend.par >/dev/null 2>&1 &
pid=$!
sleep "$seconds"
xdotool key d
sleep "$seconds"
peak=$(awk '/^VmHWM:/ { print $2, $3 }' "/proc/$pid/status")
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "peak resident set size: $peak"
