#!/bin/sh
# Feeds VELDRIX's outputs to the real programs that consume them:
#   promtool check metrics   reads --prometheus of every test dump and of this machine
# Installs the Debian packages it needs first; a package that cannot be
# installed fails the run (nothing is skipped).
#
#   interop-test.sh VELDRIX
set -u
veldrix=${1:?usage: interop-test.sh VELDRIX}
here=$(cd "$(dirname "$0")" && pwd)
dumps="$here/../tests/data/dumps"

if ! "$here/install-packages.sh" prometheus; then
    echo "interop-test: FAILED: the package prometheus (promtool) could not be installed" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checked=0

# One source of facts through promtool: "-" is this machine.
check_metrics() {
    label=$1
    shift
    if ! "$veldrix" "$@" --prometheus > "$work/metrics.prom" 2> "$work/veldrix.err"; then
        echo "FAIL  $label: veldrix --prometheus failed: $(cat "$work/veldrix.err")"
        failures=$((failures + 1))
        return
    fi
    if ! promtool check metrics < "$work/metrics.prom" > "$work/promtool.out" 2>&1; then
        echo "FAIL  $label: promtool check metrics: $(cat "$work/promtool.out")"
        failures=$((failures + 1))
        return
    fi
    checked=$((checked + 1))
    echo "ok    $label: promtool check metrics accepts $(grep -vc '^#' "$work/metrics.prom") samples$(cat "$work/promtool.out")"
}

check_metrics "this machine"
for dump in "$dumps"/*; do
    check_metrics "$(basename "$dump")" -r "$dump"
done

echo "interop-test: promtool accepted $checked outputs, $failures failed"
[ "$failures" -eq 0 ]
