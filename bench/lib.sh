# The opening that the benchmark scripts which start the real program share.
# Source it, then:
#   bench_under_xvfb "$@"; [ "${1:-}" = --inner ] && shift
#       re-executes the script under Xvfb at 1920x1080 when there is no display;
#   bench_prepare "${1:-}"
#       sets `here` (bench/) and `program` (the argument, or the built
#       Orvandel), makes a temporary working folder with the data files, changes
#       into it (removed on exit) and loads tests/e2e/lib.sh (e2e_write_params).

bench_under_xvfb() {
    if [ -z "${DISPLAY:-}" ] && [ "${1:-}" != --inner ]; then
        exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --inner "$@"
    fi
}

bench_prepare() {
    here=$(cd "$(dirname "$0")" && pwd)
    program=$(realpath "${1:-$here/../build/default/bin/Orvandel}")
    [ -x "$program" ] || {
        echo "no program at $program" >&2
        exit 1
    }
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cd "$work" || exit 1
    cp "$here/../data/ECLGRAPH.DAT" "$here/../data/Orvandel.txt" .
    # shellcheck source=../tests/e2e/lib.sh
    source "$here/../tests/e2e/lib.sh"
}
