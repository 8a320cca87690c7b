#!/bin/sh
# Runs Windows programs headless under wine, without hangs or debugger dumps.
#
#   wine-run.sh PROGRAM.exe [ARG...]   run one program (time-limited)
#   wine-run.sh --session COMMAND...   prepare the prefix, keep one wineserver
#                                      running while COMMAND runs, stop it after
#
# The prefix is the project's own (VELDRIX_WINEPREFIX, by default
# ~/.cache/veldrix-wine); it is created on first use and recreated when it was
# made before 32-bit wine was installed (such a prefix fails with exit 53).
# VELDRIX_WINE_TIMEOUT limits each program run in seconds (default 300).
set -eu

WINEPREFIX="${VELDRIX_WINEPREFIX:-${HOME:-/tmp}/.cache/veldrix-wine}"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

timeout_seconds="${VELDRIX_WINE_TIMEOUT:-300}"
ready_stamp="$WINEPREFIX/.veldrix-ready"

prepare_prefix() {
    [ -f "$ready_stamp" ] && return 0
    if [ ! -x /usr/lib/wine/wine ]; then
        echo "wine-run.sh: 32-bit wine (wine32:i386) is not installed" >&2
        exit 2
    fi
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    timeout 60 wineserver -p
    if ! timeout 300 wine wineboot </dev/null >/dev/null 2>&1; then
        echo "wine-run.sh: wineboot failed for $WINEPREFIX" >&2
        timeout 30 wineserver -k || true
        exit 2
    fi
    timeout 30 wineserver -k || true
    touch "$ready_stamp"
}

if [ "${1:-}" = "--session" ]; then
    shift
    prepare_prefix
    trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true' EXIT INT TERM
    # One server for every program of the session (it is refused, harmlessly,
    # when a server for this prefix is already running).
    timeout 60 wineserver -p 2>/dev/null || true
    status=0
    "$@" || status=$?
    exit "$status"
fi

if [ $# -eq 0 ]; then
    echo "usage: wine-run.sh PROGRAM.exe [ARG...] | --session COMMAND..." >&2
    exit 2
fi
prepare_prefix
exec timeout "$timeout_seconds" wine "$@"
