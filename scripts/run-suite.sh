#!/bin/sh
# Runs one GoogleTest binary (or a command that runs one) and passes only when
# it printed a passing summary: an exit status of 0 alone proves nothing, as a
# program that silently failed to start under wine also ends with 0.
#
#   run-suite.sh LABEL LOGFILE COMMAND...
set -u

label=$1
log=$2
shift 2

status=0
"$@" >"$log" 2>&1 || status=$?

passed=$(sed -n 's/^\[  PASSED  \] \([0-9][0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n 1)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9][0-9]*\) tests\{0,1\},.*/\1/p' "$log" | tail -n 1)
if [ "$status" -ne 0 ] || [ -z "$passed" ] || [ "$passed" -eq 0 ] || grep -q '^\[  FAILED  \]' "$log"; then
    tail -n 60 "$log"
    echo "$label: FAILED (exit status $status, passed: ${passed:-none}; log: $log)"
    if [ "$status" -eq 53 ]; then
        echo "$label: exit 53 is a wine prefix made before wine32 was installed; delete it and retry"
    fi
    exit 1
fi
echo "$label: $passed tests passed, ${skipped:-0} skipped (log: $log)"
