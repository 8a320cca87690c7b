#!/bin/sh
# Feeds what `veldrix --dump` writes to Debian's cpuid tool: `cpuid -f` must
# read every file to its end, with nothing on standard error, and decode each
# processor the file holds. Checked for every dump in DUMPS_DIR (converted
# with -r) and for this machine.
#
#   cpuid-reads-dumps.sh BUILD_DIR DUMPS_DIR
set -u
build=$1
dumps=$2

if ! command -v cpuid >/dev/null 2>&1; then
    echo "cpuid-reads-dumps: FAILED: Debian's cpuid is not installed (make test installs it)"
    exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
read_count=0
headers() { grep -cE '^CPU [0-9]+:$' "$1"; }

# check NAME VELDRIX-ARGUMENT...
check() {
    name=$1
    shift
    if ! "$build/veldrix" "$@" --dump >"$scratch/dump" 2>"$scratch/errors"; then
        echo "FAILED $name: veldrix --dump: $(cat "$scratch/errors")"
        failed=1
        return
    fi
    status=0
    cpuid -f "$scratch/dump" >"$scratch/decoded" 2>"$scratch/errors" || status=$?
    if [ "$status" -ne 0 ] || [ -s "$scratch/errors" ]; then
        echo "FAILED $name: cpuid -f exit status $status: $(head -c 300 "$scratch/errors")"
        failed=1
    elif [ "$(headers "$scratch/decoded")" -ne "$(headers "$scratch/dump")" ]; then
        echo "FAILED $name: cpuid -f decoded $(headers "$scratch/decoded") of $(headers "$scratch/dump") processors"
        failed=1
    else
        read_count=$((read_count + 1))
    fi
}

for dump in "$dumps"/*; do
    check "$(basename "$dump")" -r "$dump"
done
check "this machine"

echo "cpuid -f read $read_count converted dumps (this machine's included)"
exit $failed
