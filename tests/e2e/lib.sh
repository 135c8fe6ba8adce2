# The pieces the end-to-end tests share; each test sources this file:
#
#   source "$(dirname "$0")/lib.sh"
#
# The functions start with e2e_. They work in the current folder and leave
# their results in the variables failures, pid and status.

# pid and status are set here for the tests to read.
# shellcheck disable=SC2034
pid=
status=
failures=0

# Counts a failure and says what failed.
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The outer run of a test (its first argument is not --inner): checks that
# the tools are there, makes the output folder and runs the test script
# again under Xvfb on a screen of size WxH (24 bits per pixel), with --inner
# before its arguments; it does not come back. In the inner run it does
# nothing.
e2e_under_xvfb() { # e2e_under_xvfb WxH output-folder "tool ..." "$@"
    local screen=$1 out=$2 tools=$3 tool
    shift 3
    [ "${1:-}" = --inner ] && return 0
    for tool in xvfb-run $tools; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is missing (scripts/install-deps installs it)"
            exit 1
        fi
    done
    mkdir -p "$out"
    exec xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" --inner "$@"
}

# Copies data files into the current folder: the named ones, or every file of
# the folder but its *.md files.
e2e_copy_data() { # e2e_copy_data data-folder [file ...]
    local data=$1 f
    shift
    if [ $# -gt 0 ]; then
        for f in "$@"; do
            cp -f "$data/$f" . || return 1
        done
        return 0
    fi
    for f in "$data"/*; do
        case "$f" in *.md) ;; *) cp -f "$f" . ;; esac
    done
}

# Writes a parameter file: the twelve values, each followed by the comment
# the program writes with F2, in Windows-1252 with CR LF. A value may start
# with blanks.
e2e_write_params() { # e2e_write_params file view latitude longitude date time deltat delay azimuth grid equator ecliptic single-step
    local file=$1
    shift
    if [ $# != 12 ]; then
        echo "e2e_write_params: $# values, not 12" >&2
        return 1
    fi
    printf '%s\r\n' "$1 * Darstellung (Phase (p)/Bewegung)" "$2 * geogr. Breite" "$3 * geogr. Länge" \
        "$4 * Startdatum" "$5 * Startuhrzeit" "$6 * deltat" "$7 * Verzögerung in ms" "$8 * zentraler Azimut" \
        "$9 * Abstand der Koordinatenlinien" "${10} * Zeichnung der Äquators (j/n)?" \
        "${11} * Zeichnung der Ekliptik (j/n)?" "${12} * Einzelschritt (j/n)?" |
        iconv -f UTF-8 -t WINDOWS-1252 >"$file"
}

# Starts a program in the background on the X display (not Qt's offscreen
# platform) with its output in a log file; sets pid.
e2e_start() { # e2e_start log program [argument ...]
    local log=$1
    shift
    env -u QT_QPA_PLATFORM "$@" >"$log" 2>&1 &
    pid=$!
}

# Waits up to 20 s for a visible window with exactly this title and prints
# its id; fails when none appeared. Qt also makes an invisible 1x1 leader
# window of the same name, which is passed over.
e2e_wait_window() { # e2e_wait_window title
    local wid
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$wid" ] || return 1
    echo "$wid"
}

# Waits up to $1 tenths of a second for the program $pid to end and sets
# status to its exit status ("still running" when it did not end; it is
# killed then).
e2e_wait_end() { # e2e_wait_end tenths
    for _ in $(seq "$1"); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            status=$?
            return
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status="still running"
}

# A screenshot of the whole screen, or of one window.
e2e_screenshot() { # e2e_screenshot file [window-id]
    import -window "${2:-root}" "$1"
}

# The number of pixels in which two pictures differ; what compare said when it
# could not compare them (no number, so a test of the count fails).
e2e_changed() { # e2e_changed a.png b.png
    compare -metric AE "$1" "$2" null: 2>&1 |
        awk '{ all = all $0 " " } END { if (all ~ /^[0-9.e+]+ $/) printf "%d", all + 0; else printf "compare failed: %s", all }'
}

# True when two pictures differ; prints the count.
e2e_differs() { # e2e_differs a.png b.png
    local n
    n=$(e2e_changed "$1" "$2")
    echo "pixels changed: $n"
    [ "$n" -gt 0 ] 2>/dev/null
}

# The number of pixels of one colour (rrggbb) in a region (WxH+X+Y) of a
# picture.
e2e_colour_count() { # e2e_colour_count picture region rrggbb
    convert "$1" -crop "$2" +repage -fill black +opaque "#$3" -fill white -opaque "#$3" \
        -format '%[fx:round(mean*w*h)]' info:
}

# True while the prompt dialog is on the screen.
e2e_dialog_visible() {
    xdotool search --onlyvisible --name '^Eingabe$' >/dev/null 2>&1
}

# Types one answer into the prompt dialog ("" accepts the default) and
# confirms it with Enter. The dialog is hidden and shown again between two
# prompts, so each answer first waits for it and lets it take the keyboard.
e2e_answer() { # e2e_answer text
    for _ in $(seq 50); do
        e2e_dialog_visible && break
        sleep 0.1
    done
    e2e_dialog_visible || {
        fail "no prompt dialog for the answer '$1'"
        return
    }
    sleep 0.3
    [ -n "$1" ] && xdotool type --delay 20 -- "$1"
    xdotool key Return
    sleep 0.3
}

# Waits up to 3 s for the prompt dialog to go after the last answer; fails
# when it stays.
e2e_answers_done() { # e2e_answers_done what
    for _ in $(seq 30); do
        e2e_dialog_visible || break
        sleep 0.1
    done
    e2e_dialog_visible && fail "a prompt is still open after $1"
}

# For a program started with a parameter file: waits for its window, lets it
# draw for the given seconds, and fails when it prompted all the same.
e2e_started_with_file() { # e2e_started_with_file seconds
    e2e_wait_window Orvandel >/dev/null || fail "no window with the parameter file"
    sleep "$1"
    e2e_dialog_visible && fail "the program prompted although a parameter file was given"
}

# Sends a key that must end the program $pid with status 0 within 5 s; false
# when it did not.
e2e_key_ends() { # e2e_key_ends key what
    xdotool key "$1"
    e2e_wait_end 50
    [ "$status" = 0 ] && return 0
    fail "$2: the program ended with '$status', not 0"
    return 1
}

# The end of a test: PASS, or the number of failures and the logs (exit 1).
e2e_finish() { # e2e_finish [log ...]
    local f
    if [ "$failures" -gt 0 ]; then
        echo "$failures failure(s)"
        for f in "$@"; do
            [ -f "$f" ] || continue
            echo "== $f"
            cat "$f"
        done
        exit 1
    fi
    echo "PASS"
}
