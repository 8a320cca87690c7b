#!/bin/sh
# Runs two builds of veldrix side by side and reports every difference in what
# a user sees: each dump replayed through every menu key that does not time
# this machine (screens, help, About, the R report) and through -c capture,
# then the same on this machine's processor (lines naming the measured clock,
# which changes from run to run, left out there; both runs pinned to
# processor 0 when taskset exists, since the APIC id of leaf 1 tells which
# processor a run landed on).
#
#   scripts/compare_replay.sh OLD_BINARY NEW_BINARY [DUMPS_DIR]
#
# Exit status 0 when every output and file is byte-identical.
set -u
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
old=$(absolute "$1")
new=$(absolute "$2")
dumps=$(absolute "${3:-../shared/dumps}")
keys="I F C i f 1 2 P H T t S R A ?"
work=$(mktemp -d)
trap '[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

menu_input() {
    for key in $keys; do
        printf '%s\n' "$key"
        [ "$key" = R ] && printf 'report\n'
        printf '\n\n\n\n\n\n\n\n'
    done
    printf 'Q\n'
}

# run NAME COMMAND...: output, report and capture of one build in $work/NAME.
run() {
    dir=$work/$1
    shift
    mkdir -p "$dir"
    (cd "$dir" && menu_input | "$@" -v >menu.out 2>/dev/null; echo "status $?" >>menu.out)
    (cd "$dir" && printf 'capture\n' | "$@" -c >capture.out 2>/dev/null; echo "status $?" >>capture.out)
}

# same LABEL FILTER: compares the old and new folders file by file.
same() {
    label=$1
    filter=$2
    differs=0
    for file in menu.out capture.out report.html capture.txt; do
        if ! cmp -s "$work/old/$file" "$work/new/$file"; then
            grep -v -e "$filter" "$work/old/$file" >"$work/old.f" 2>/dev/null
            grep -v -e "$filter" "$work/new/$file" >"$work/new.f" 2>/dev/null
            if ! cmp -s "$work/old.f" "$work/new.f"; then
                echo "DIFFERS $label: $file"
                differs=1
            fi
        fi
    done
    return $differs
}

failed=0
count=0
for dump in "$dumps"/*_CPUID.txt "$dumps"/*.test "$dumps"/*_cpuid-r.txt; do
    [ -f "$dump" ] || continue
    rm -rf "$work/old" "$work/new"
    run old "$old" -r "$dump"
    run new "$new" -r "$dump"
    same "$(basename "$dump")" '^\r\{0,1\}$IMPOSSIBLE' || failed=1
    count=$((count + 1))
done
rm -rf "$work/old" "$work/new"
pin=
command -v taskset >/dev/null 2>&1 && pin="taskset -c 0"
run old $pin "$old"
run new $pin "$new"
same "this machine" 'MHz' || failed=1
echo "compared $count dumps and this machine: $([ $failed = 0 ] && echo identical || echo DIFFERENCES)"
exit $failed
