#!/bin/sh
# Replays every dump through two builds of VELDRIX and compares what they
# write: the standard output of a walk through every menu key (with the HTML
# report of key R), of a verbose replay, and of a raw capture (-c), the report
# and capture files, and every exit status; then the same on this machine's
# processor, both runs pinned to processor 0 where taskset exists (leaf 1
# tells which processor a run landed on), the measured clock left out.
# Prints one line per dump and exits non-zero when any of them differs.
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
dumps=$(realpath "${3:-$(dirname "$0")/../tests/data/dumps}") || exit 2
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

# Runs one binary on one dump (or, with no dump, on this processor) in its
# own folder; every output lands there.
run_all() {
    binary=$1
    dump=$2
    out=$3
    source=""
    [ -n "$dump" ] && source="-r $dump"
    mkdir -p "$out"
    (
        cd "$out" || exit 2
        # shellcheck disable=SC2086 # $pin and $source are word lists
        menu_input | $pin "$binary" $source >menu.out 2>&1
        echo "menu $?" >status
        printf 'Q\n' | $pin "$binary" $source -v >verbose.out 2>&1
        echo "verbose $?" >>status
        printf 'capture\n' | $pin "$binary" $source -c >capture.out 2>&1
        echo "capture $?" >>status
    )
}

pin=""

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

command -v taskset >/dev/null 2>&1 && pin="taskset -c 0"
run_all "$old" "" "$work/old/this-machine"
run_all "$new" "" "$work/new/this-machine"
for side in old new; do
    for file in "$work/$side/this-machine"/*; do
        grep -v 'MHz\|Calculating processor speed' "$file" >"$file.kept"
        mv "$file.kept" "$file"
    done
done
if diff -r "$work/old/this-machine" "$work/new/this-machine" >"$work/diff" 2>&1; then
    echo "same       this machine"
else
    failed=1
    echo "DIFFERENT  this machine"
    head -20 "$work/diff" | sed 's/^/    /'
fi

if [ "$count" -eq 0 ]; then
    echo "no dumps in $dumps" >&2
    exit 2
fi
if [ "$failed" -ne 0 ]; then
    echo "outputs differ"
    exit 1
fi
echo "all $count dumps give identical output"
