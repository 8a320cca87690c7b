#!/bin/sh
# Runs Windows programs headless under wine, without hangs or debugger dumps.
#
#   wine-run.sh PROGRAM.exe [ARG...]   run one program (time-limited)
#   wine-run.sh --session COMMAND...   prepare the prefix, keep one wineserver
#                                      running while COMMAND runs, stop it after
#
# The prefix is the project's own (VELDRIX_WINEPREFIX, by default
# ~/.cache/veldrix-wine); it is created on first use and recreated when the
# wine it was made with changed (a prefix made before 32-bit wine was
# installed fails with exit 53). Without 32-bit wine (wine32:i386) only 64-bit
# programs run, through wine64.
# VELDRIX_WINE_TIMEOUT limits each program run in seconds (default 300).
set -eu

WINEPREFIX="${VELDRIX_WINEPREFIX:-${HOME:-/tmp}/.cache/veldrix-wine}"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

timeout_seconds="${VELDRIX_WINE_TIMEOUT:-300}"
ready_stamp="$WINEPREFIX/.veldrix-ready"

# Debian's `wine` starts the 32-bit loader whenever 32-bit wine is
# installed, and that fails with "Exec format error" on a kernel without
# 32-bit support: there, and without 32-bit wine, the 64-bit loader is
# called directly.
if [ -x /usr/lib/wine/wine ] && [ -z "${VELDRIX_ASSUME_NO_32BIT:-}${VELDRIX_ASSUME_NO_WINE32:-}" ] &&
    /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_kind="wine32 and wine64"
    wine_loader=wine
elif [ -x /usr/lib/wine/wine64 ]; then
    wine_kind="wine64 only"
    wine_loader=/usr/lib/wine/wine64
else
    echo "wine-run.sh: wine is not installed" >&2
    exit 2
fi

prepare_prefix() {
    [ "$(cat "$ready_stamp" 2>/dev/null)" = "$wine_kind" ] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    timeout 60 wineserver -p
    if ! timeout 300 "$wine_loader" wineboot </dev/null >/dev/null 2>&1; then
        echo "wine-run.sh: wineboot failed for $WINEPREFIX" >&2
        timeout 30 wineserver -k || true
        exit 2
    fi
    timeout 30 wineserver -k || true
    echo "$wine_kind" >"$ready_stamp"
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
exec timeout "$timeout_seconds" "$wine_loader" "$@"
