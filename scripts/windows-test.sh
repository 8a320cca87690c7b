#!/bin/sh
# Tests the Windows builds under wine, headless:
#   windows-test.sh LINUX_DRIVER_BUILD WINDOWS_BUILD...
# For each Windows build: the executables may import only KERNEL32 and msvcrt,
# the unit tests run inside veldrix_tests.exe, and the end-to-end tests of the
# Linux test binary in LINUX_DRIVER_BUILD run against veldrix.exe.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${VELDRIX_IN_WINE_SESSION:-}" ]; then
    VELDRIX_IN_WINE_SESSION=1 exec "$root/scripts/wine-run.sh" --session "$0" "$@"
fi

driver="$root/$1/veldrix_tests"
shift

check_imports() {
    dlls=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    if [ "$dlls" != "kernel32.dll msvcrt.dll " ]; then
        echo "$1 imports: $dlls(only KERNEL32 and msvcrt are allowed)"
        exit 1
    fi
}

failed=0
for build in "$@"; do
    dir="$root/$build"
    check_imports "$dir/veldrix.exe"
    check_imports "$dir/veldrix_tests.exe"
    echo "$build: veldrix.exe and veldrix_tests.exe import only KERNEL32 and msvcrt"
    (cd "$root" && "$root/scripts/run-suite.sh" "$build unit tests under wine" "$dir/unit-tests.log" \
        "$root/scripts/wine-run.sh" "$dir/veldrix_tests.exe") || failed=1
    VELDRIX_TEST_BINARY="'$root/scripts/wine-run.sh' '$dir/veldrix.exe'" \
        "$root/scripts/run-suite.sh" "$build end-to-end tests (Linux driver, .exe under wine)" \
        "$dir/end-to-end.log" "$driver" || failed=1
done
exit "$failed"
