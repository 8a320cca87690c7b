#!/bin/sh
# Tests the Windows builds under wine, headless:
#   windows-test.sh LINUX_DRIVER_BUILD WINDOWS_BUILD...
# For each Windows build: the executables may import only KERNEL32 and msvcrt,
# the unit tests run inside veldrix_tests.exe, and the end-to-end tests of the
# Linux test binary in LINUX_DRIVER_BUILD run against veldrix.exe. A 32-bit
# build runs only where the kernel can execute 32-bit programs (wine runs
# 32-bit Windows programs as 32-bit Linux processes); elsewhere it is only
# built, and the skip is said loudly. The same holds where 32-bit wine
# (wine32:i386) could not be installed: the install step leaves apt's reason
# in WINE32_MISSING (VELDRIX_ASSUME_NO_WINE32=1 takes that path on any
# machine), and only the 64-bit build runs, under wine64.
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

is_32bit_exe() {
    x86_64-w64-mingw32-objdump -f "$1" | grep -q 'file format pei-i386'
}

can_run_32bit=yes
why_not_32bit=""
"$root/scripts/can-run-32bit.sh" || { can_run_32bit=no; why_not_32bit="this kernel cannot execute 32-bit programs"; }
if [ "$can_run_32bit" = yes ] && [ -n "${VELDRIX_ASSUME_NO_WINE32:-}" ]; then
    can_run_32bit=no
    why_not_32bit="VELDRIX_ASSUME_NO_WINE32 is set: treating 32-bit wine as not installable"
elif [ "$can_run_32bit" = yes ] && [ ! -x /usr/lib/wine/wine ]; then
    can_run_32bit=no
    why_not_32bit="32-bit wine (wine32:i386) could not be installed: $(tr '\n' ' ' <"${WINE32_MISSING:-/dev/null}" 2>/dev/null)"
fi

failed=0
for build in "$@"; do
    dir="$root/$build"
    check_imports "$dir/veldrix.exe"
    check_imports "$dir/veldrix_tests.exe"
    echo "$build: veldrix.exe and veldrix_tests.exe import only KERNEL32 and msvcrt"
    if is_32bit_exe "$dir/veldrix.exe" && [ "$can_run_32bit" = no ]; then
        echo "windows-test: SKIPPED running $build: $why_not_32bit (built only)"
        continue
    fi
    (cd "$root" && "$root/scripts/run-suite.sh" "$build unit tests under wine" "$dir/unit-tests.log" \
        "$root/scripts/wine-run.sh" "$dir/veldrix_tests.exe") || failed=1
    VELDRIX_TEST_BINARY="'$root/scripts/wine-run.sh' '$dir/veldrix.exe'" \
        "$root/scripts/run-suite.sh" "$build end-to-end tests (Linux driver, .exe under wine)" \
        "$dir/end-to-end.log" "$driver" || failed=1
done
exit "$failed"
