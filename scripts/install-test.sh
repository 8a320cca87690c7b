#!/bin/sh
# Installs a build the way a package would and checks the result end to end:
#   install-test.sh BUILD_DIR
# - cmake --install into a fresh prefix and again staged under DESTDIR;
# - bin/veldrix is a relative symlink to lib/veldrix/veldrix, with the data
#   file beside the real executable and none in bin;
# - the installed program, started from another folder, finds its data file
#   (the banner names the data file's version, not UNKNOWN);
# - the manual page renders without a groff warning.
set -eu

build=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "install-test: FAILED: $*" >&2
    exit 1
}

check_tree() {
    root=$1
    [ -L "$root/bin/veldrix" ] || fail "$root/bin/veldrix is not a symlink"
    [ "$(readlink "$root/bin/veldrix")" = "../lib/veldrix/veldrix" ] ||
        fail "$root/bin/veldrix points to $(readlink "$root/bin/veldrix")"
    [ -x "$root/lib/veldrix/veldrix" ] || fail "no executable in $root/lib/veldrix"
    cmp -s "$root/lib/veldrix/veldrix.dat" "$source_dir/data/veldrix.dat" ||
        fail "$root/lib/veldrix/veldrix.dat differs from the data file"
    [ ! -e "$root/bin/veldrix.dat" ] || fail "a data file was installed into bin"
    [ -f "$root/share/man/man1/veldrix.1" ] || fail "no manual page"
    [ -f "$root/share/doc/veldrix/README.md" ] || fail "no README in share/doc/veldrix"
    [ -f "$root/share/doc/veldrix/LICENSE" ] || fail "no LICENSE in share/doc/veldrix"
}

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
check_tree "$prefix"

expected=$(sed -n 's/^Version=\(.*\)$/\1/p' "$source_dir/data/veldrix.dat" | head -n 1 | tr -d '\r')
mkdir "$work/elsewhere"
banner=$(cd "$work/elsewhere" && printf 'Q\n\n' | "$prefix/bin/veldrix" 2>"$work/stderr" | tr -d '\r')
echo "$banner" | grep -qF "Database Version $expected" ||
    fail "the installed program does not show the data file's version: $(echo "$banner" | sed -n 3p)"
[ ! -s "$work/stderr" ] || fail "the installed program wrote to standard error: $(cat "$work/stderr")"

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
check_tree "$work/stage/usr"

if command -v groff >/dev/null 2>&1; then
    warnings=$(groff -ww -z -man "$prefix/share/man/man1/veldrix.1" 2>&1)
    [ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
else
    echo "install-test: groff is not installed; the manual page was not rendered" >&2
fi
echo "install-test: passed ($prefix, and staged under DESTDIR)"
