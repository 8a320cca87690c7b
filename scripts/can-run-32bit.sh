#!/bin/sh
# Tells whether this machine's kernel can execute 32-bit x86 programs: builds
# a tiny one with gcc -m32 and runs it. Some kernels of our machines are built
# without 32-bit support, where every such program fails with "Exec format
# error" (and 32-bit Windows programs under wine with them).
#   exit 0: it can; exit 1: it cannot (the reason is printed);
#   exit 2: the probe program could not even be built (a real fault).
set -u

# Lets the skip path be exercised on a machine that can run 32-bit programs.
if [ -n "${VELDRIX_ASSUME_NO_32BIT:-}" ]; then
    echo "can-run-32bit: VELDRIX_ASSUME_NO_32BIT is set: treating this kernel as one without 32-bit support"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'int main(void) { return sizeof(void *) == 4 ? 0 : 3; }\n' >"$work/probe.c"
if ! gcc -m32 -o "$work/probe" "$work/probe.c" 2>"$work/build.log"; then
    cat "$work/build.log" >&2
    echo "can-run-32bit: cannot build a 32-bit program (is g++-multilib installed?)" >&2
    exit 2
fi
if "$work/probe" 2>"$work/run.log"; then
    exit 0
fi
echo "can-run-32bit: a 32-bit program does not run here: $(head -n 1 "$work/run.log")"
exit 1
