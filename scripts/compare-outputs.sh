#!/bin/sh
# Replays every dump through two builds of VELDRIX and compares what they
# write: the standard output of a walk through every menu key (with the HTML
# report of key R), of a verbose replay, and of a raw capture (-c), the report
# and capture files, and every exit status. Prints one line per dump and exits
# non-zero when any of them differs.
#
#   scripts/compare-outputs.sh OLD_BINARY NEW_BINARY [DUMPS_DIR]
#
# Each binary needs its veldrix.dat beside it. The benchmarks are asked for 0
# runs and for a count out of range, so their lines do not depend on timing.
set -u

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 OLD_BINARY NEW_BINARY [DUMPS_DIR]" >&2
    exit 2
fi
old=$(realpath "$1") || exit 2
new=$(realpath "$2") || exit 2
dumps=${3:-/work/shared/dumps}
for binary in "$old" "$new"; do
    if [ ! -x "$binary" ] || [ ! -f "$(dirname "$binary")/veldrix.dat" ]; then
        echo "$binary: not a program with veldrix.dat beside it" >&2
        exit 2
    fi
done

work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT

# Every section key with Enters for its More and End stops (blank lines at the
# menu are skipped), help and About, both benchmarks, the report, then Q.
menu_input() {
    for key in I F C i f 1 2 P H T t S '?' A; do
        printf '%s\n\n\n\n\n\n\n' "$key"
    done
    printf 'D\n0\n\nW\n0\n\nD\n99999999999\n\nW\n99999999999\n\n'
    printf 'R\nreport\nQ\n'
}

# Runs one binary on one dump in its own folder; every output lands there.
run_all() {
    binary=$1
    dump=$2
    out=$3
    mkdir -p "$out"
    (
        cd "$out" || exit 2
        menu_input | "$binary" -r "$dump" >menu.out 2>&1
        echo "menu $?" >status
        printf 'Q\n' | "$binary" -r "$dump" -v >verbose.out 2>&1
        echo "verbose $?" >>status
        printf 'capture\n' | "$binary" -r "$dump" -c >capture.out 2>&1
        echo "capture $?" >>status
    )
}

failed=0
count=0
for dump in "$dumps"/*; do
    case $dump in
    */README.md) continue ;;
    esac
    [ -f "$dump" ] || continue
    name=$(basename "$dump")
    count=$((count + 1))
    run_all "$old" "$dump" "$work/old/$name"
    run_all "$new" "$dump" "$work/new/$name"
    if diff -r "$work/old/$name" "$work/new/$name" >"$work/diff" 2>&1; then
        files=$(ls "$work/new/$name" | tr '\n' ' ')
        echo "same       $name ($files)"
    else
        failed=1
        echo "DIFFERENT  $name"
        head -20 "$work/diff" | sed 's/^/    /'
    fi
done

if [ "$count" -eq 0 ]; then
    echo "no dumps in $dumps" >&2
    exit 2
fi
if [ "$failed" -ne 0 ]; then
    echo "outputs differ"
    exit 1
fi
echo "all $count dumps give identical output"
