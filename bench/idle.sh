#!/usr/bin/env bash
# The CPU time the real program uses while it waits for a key, under Xvfb at
# 1920x1080: utime + stime from /proc/PID/stat over SECONDS seconds (default
# 10), as a share of one core, in each of these states:
#   single step    started with a parameter file in single-step mode
#   pause          a continuous run paused with "p"
#   help screen    a continuous run showing the help (F1)
#   prompt         started without arguments: the start screen behind a prompt
# and, for comparison, while it animates at the default delay of 30 ms.
#
#   bench/idle.sh [PROGRAM [SECONDS]]   (PROGRAM: build/default/bin/Orvandel)
#
# Needs xdotool (keys). The program's start-up trace (ORVANDEL_STARTUP_TRACE,
# see bench/startup.sh) tells when its first picture or prompt is there.
set -u

source "$(dirname "$0")/lib.sh"
bench_under_xvfb "$@"
[ "${1:-}" = --inner ] && shift
bench_prepare "${1:-}"
seconds=${2:-10}
ticks_per_second=$(getconf CLK_TCK)

e2e_write_params einzeln.par b 54.3 10.1 7.12.2026 14.17 0.10 30 0 30 j j j
e2e_write_params laufend.par b 54.3 10.1 7.12.2026 14.17 0.10 30 0 30 j j n

# utime + stime of a process, in clock ticks.
cpu_ticks() { # cpu_ticks pid
    # The fields after the command name (which may hold blanks) start at 3.
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

measure() { # measure label what "keys" [argument]
    local label=$1 what=$2 keys=$3 pid before after
    shift 3
    ORVANDEL_STARTUP_TRACE=${EPOCHREALTIME/[.,]/} env -u QT_QPA_PLATFORM "$program" "$@" 2>trace.log >/dev/null &
    pid=$!
    for _ in $(seq 200); do
        grep -qs "^Orvandel startup: $what" trace.log && break
        sleep 0.05
    done
    sleep 0.5
    for key in $keys; do
        xdotool key "$key"
        sleep 0.3
    done
    sleep 1
    before=$(cpu_ticks "$pid")
    sleep "$seconds"
    after=$(cpu_ticks "$pid")
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    awk -v label="$label" -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$seconds" \
        'BEGIN { printf "%-22s %5.2f %% of a core (%d ticks of 1/%d s in %d s)\n", label ":", 100 * t / hz / s, t, hz, s }'
}

measure "single step" picture "" einzeln.par
measure "pause" picture "p" laufend.par
measure "help screen" picture "F1" laufend.par
measure "prompt" dialog ""
measure "animating (30 ms)" picture "" laufend.par
