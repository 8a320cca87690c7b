#!/bin/sh
# Installs the Debian packages named on the command line that are missing;
# does nothing when all are present. A name ending in ":i386" enables the
# i386 architecture first.
set -eu

missing=""
for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $package" ;;
    esac
done
[ -z "$missing" ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
case "$missing" in
    *:i386*)
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            $sudo dpkg --add-architecture i386
        fi
        ;;
esac
echo "installing:$missing"
$sudo apt-get update -q
# shellcheck disable=SC2086 # one word per package
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
