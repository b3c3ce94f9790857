#!/usr/bin/env bash
# Runs the README's two commands exactly as written on a bare Debian bookworm: a
# `debootstrap --variant=minbase` chroot with only git and ca-certificates added (no make,
# CMake or compiler), holding a clone of this repository's current commit.
#
#   tools/bare-debian-check.sh [DIR]    # as root; DIR: where the chroot goes (default below)
#
# Each command gets a chroot of its own, so each is timed from a bare machine. There, as a
# user other than root, it must stop at once with one line and build nothing; then, as root,
# it must install what is missing and succeed. Needs root, debootstrap, Debian's mirror and
# about 3 GB in DIR. The chroot is removed after each command unless KEEP=1 (then only the
# last is kept). Logs go to DIR.logs/.
set -euo pipefail

tree=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-/var/tmp/velkor-bare}
logs=$root.logs
mirror=${MIRROR:-http://deb.debian.org/debian}
commit=$(git -C "$tree" rev-parse HEAD)

[ "$(id -u)" -eq 0 ] || { echo "run this as root: it makes a chroot" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "needs debootstrap: apt-get install debootstrap" >&2; exit 1; }
[ ! -e "$root" ] || { echo "$root exists; remove it first" >&2; exit 1; }

in_chroot() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
as_user() { in_chroot runuser -u dev -- /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/dev "$@"; }

# The commands of the README's Quick start block (its first indented block), less comments.
mapfile -t commands < <(
    git -C "$tree" show "$commit:README.md" |
        awk '/^## Quick start/ { section = 1; next }
             section && /^## / { exit }
             section && /^    / { block = 1; print; next }
             block { exit }' |
        sed -n 's/^    \([^ #][^#]*\).*$/\1/p' | sed 's/ *$//'
)
[ ${#commands[@]} -eq 2 ] || { echo "the Quick start block holds ${#commands[@]} commands, not 2" >&2; exit 1; }
echo "=== the README's commands: '${commands[0]}' and '${commands[1]}'"

bare_chroot() {
    echo "=== debootstrap (minbase, bookworm, + git ca-certificates) into $root"
    debootstrap --variant=minbase --include=git,ca-certificates bookworm "$root" "$mirror" \
        >"$logs/debootstrap.log" 2>&1
    mount -t proc proc "$root/proc"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    for tool in make cmake g++ c++ cc clang++ python3; do
        if in_chroot sh -c "command -v $tool" >/dev/null; then
            echo "the chroot is not bare: it has $tool" >&2
            exit 1
        fi
    done
    # The commit under test, copied in as a bare repository and cloned from it inside, once
    # for root and once for a user.
    git clone --quiet --bare "$tree" "$root/srv/velkor.git"
    git -C "$root/srv/velkor.git" update-ref refs/heads/under-test "$commit"
    in_chroot git clone --quiet --branch under-test /srv/velkor.git /root/velkor
    in_chroot useradd --create-home --shell /bin/bash dev
    in_chroot git clone --quiet --branch under-test /srv/velkor.git /home/dev/velkor
    in_chroot chown -R dev:dev /home/dev/velkor
    echo "=== cloned: $(in_chroot git -C /root/velkor log -1 --oneline)"
}

remove_chroot() {
    for mount in dev/pts dev proc; do
        if mountpoint -q "$root/$mount"; then umount "$root/$mount"; fi
    done
    if grep -q " $root/" /proc/mounts; then
        echo "something is still mounted under $root: not removed" >&2
        return 1
    fi
    rm -rf "$root"
}
trap 'if [ "${KEEP:-0}" != 1 ] && [ -e "$root" ]; then remove_chroot; fi' EXIT

rm -rf "$logs" && mkdir -p "$logs"
failed=0
last=${commands[${#commands[@]} - 1]}
for command in "${commands[@]}"; do
    bare_chroot

    log=$logs/user-${command//[^a-z]/_}.log
    status=0
    as_user bash -c "cd ~/velkor && time $command" >"$log" 2>&1 || status=$?
    message=$(grep -v -e '^$' -e '^real' -e '^user' -e '^sys' "$log" || true)
    lines=$(printf '%s\n' "$message" | wc -l)
    echo "=== as user dev: $command -> exit $status, $lines line(s), $(grep '^real' "$log")"
    printf '%s\n' "$message" | sed 's/^/    /'
    if [ "$status" -eq 0 ] || [ "$lines" -ne 1 ] || in_chroot test -e /home/dev/velkor/build; then
        echo "--- expected a stop with one line and nothing built" >&2
        failed=1
    fi

    log=$logs/root-${command//[^a-z]/_}.log
    # Other work on the same cores stretches the wall time; the load shows how much there was.
    echo "=== as root: $command (log: $log; load average $(cut -d' ' -f1-3 /proc/loadavg))"
    status=0
    in_chroot bash -c "cd /root/velkor && time $command" >"$log" 2>&1 || status=$?
    tail -n 4 "$log" | sed 's/^/    /'
    echo "    load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
    if [ "$status" -ne 0 ]; then
        echo "--- failed with exit $status" >&2
        failed=1
    fi

    if [ "${KEEP:-0}" != 1 ] || [ "$command" != "$last" ]; then remove_chroot; fi
done
exit $failed
