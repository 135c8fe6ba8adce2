#!/usr/bin/env bash
# The start-up time of the real program under Xvfb at 1920x1080: the median
# over N starts (default 10) of the time from the launch to
#   - the first picture of a run started with a parameter file (outside view
#     and inside view), and
#   - the first prompt of a run started without arguments.
#
#   bench/startup.sh [PROGRAM [N]]      (PROGRAM: build/default/bin/Orvandel)
#
# The program reports the moments itself: with ORVANDEL_STARTUP_TRACE set to
# the launch time in microseconds since the epoch it writes
# "Orvandel startup: picture <us>" on the first paint of a picture that a tick
# drew and "Orvandel startup: dialog <us>" on the first paint of another of its
# windows (the prompt dialog) to stderr. Each case starts once untimed first
# (it converts the coastlines into ERDE.BIN and fills the file cache), as a
# user's second start would find them.
set -u

source "$(dirname "$0")/lib.sh"
bench_under_xvfb "$@"
[ "${1:-}" = --inner ] && shift
bench_prepare "${1:-}"
runs=${2:-10}

e2e_write_params aussen.par b 54.3 10.1 7.12.2026 14.17 0.10 30 0 30 j j j
e2e_write_params innen.par p 54.3 10.1 7.12.2026 14.17 0.10 30 0 30 j j j

# One start: prints the microseconds until the trace line `what`, or nothing
# when it did not come within 20 s.
start_once() { # start_once what [argument]
    local what=$1 launch pid us=""
    shift
    launch=${EPOCHREALTIME/[.,]/}
    ORVANDEL_STARTUP_TRACE=$launch env -u QT_QPA_PLATFORM "$program" "$@" 2>trace.log >/dev/null &
    pid=$!
    for _ in $(seq 400); do
        us=$(sed -n "s/^Orvandel startup: $what \([0-9]*\) us.*/\1/p" trace.log 2>/dev/null | head -n 1)
        [ -n "$us" ] && break
        sleep 0.05
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo "$us"
}

# The median of the numbers on standard input, in milliseconds.
median_ms() {
    sort -n | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "no result"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.0f ms (%d starts, %.0f..%.0f ms)\n", m / 1000, NR, v[1] / 1000, v[NR] / 1000 }'
}

measure() { # measure label what [argument]
    local label=$1 i
    shift
    start_once "$@" >/dev/null
    printf '%-34s ' "$label:"
    for i in $(seq "$runs"); do
        start_once "$@"
    done | median_ms
}

measure "picture, outside-view parameters" picture aussen.par
measure "picture, inside-view parameters" picture innen.par
measure "first prompt, no arguments" dialog
