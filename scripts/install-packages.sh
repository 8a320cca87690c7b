#!/bin/sh
# Installs the Debian packages named on the command line that are missing;
# does nothing when all are present. A name ending in ":i386" enables the
# i386 architecture first.
#
#   install-packages.sh PACKAGE...
#       every package is needed: exit 1 (with apt's reason) when one cannot
#       be installed
#   install-packages.sh --optional REASON_FILE PACKAGE...
#       the packages are wanted, not needed: when they cannot be installed,
#       apt's reason is written to REASON_FILE and the exit status is still 0;
#       REASON_FILE is removed when they are installed
#
# A package mirror can be out of step with itself for days (one index of the
# wrong size: "Mirror sync in progress?"). The index update is retried a few
# times and, when it still fails, the lists the machine already has are used:
# only a package that then cannot be installed fails the run.
set -u

reason_file=""
if [ "${1:-}" = "--optional" ]; then
    reason_file=$2
    shift 2
fi

missing=""
for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $package" ;;
    esac
done
if [ -z "$missing" ]; then
    [ -n "$reason_file" ] && rm -f "$reason_file"
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# Set VELDRIX_APT_TRIES=1 to take the stale-mirror path at once.
update_indexes() {
    tries=${VELDRIX_APT_TRIES:-3}
    attempt=1
    while :; do
        if $sudo apt-get update -q; then
            return 0
        fi
        if [ "$attempt" -ge "$tries" ]; then
            echo "install-packages: apt-get update failed $tries times;" \
                "going on with the package lists this machine has"
            return 0
        fi
        echo "install-packages: apt-get update failed (attempt $attempt of $tries); retrying in 5 s"
        attempt=$((attempt + 1))
        sleep 5
    done
}

case "$missing" in
    *:i386*)
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            $sudo dpkg --add-architecture i386 || exit 1
        fi
        ;;
esac
echo "installing:$missing"
update_indexes

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
# shellcheck disable=SC2086 # one word per package
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing \
    >"$log" 2>&1 || status=$?
cat "$log"
if [ "$status" -eq 0 ]; then
    [ -n "$reason_file" ] && rm -f "$reason_file"
    exit 0
fi

# apt's own explanation: its error lines and the unmet dependencies it lists.
reason=$(grep -E '^(E:| [^ ].*(Depends|Breaks|Conflicts):|[^ ].*: (Depends|PreDepends):)' "$log" | head -n 8)
[ -n "$reason" ] || reason=$(tail -n 3 "$log")
if [ -n "$reason_file" ]; then
    mkdir -p "$(dirname "$reason_file")"
    printf '%s\n' "$reason" >"$reason_file"
    echo "install-packages: could not install$missing (wanted, not needed):"
    printf '%s\n' "$reason"
    exit 0
fi
echo "install-packages: could not install$missing:"
printf '%s\n' "$reason"
exit 1
