#!/usr/bin/env bash
# Runs the test command (scripts/test.sh) on a clean clone of this repository inside a fresh
# Debian 13 made with debootstrap, as a new user of Debian 13 would run it.
#
# The minimal system and the downloaded packages are kept in a cache folder of the project
# (ZANDOR_CACHE, by default .cache/ at the top of the tree) and made anew when missing. Each
# run starts from a copy of that minimal system, so the test command installs its packages
# itself; its mounts are undone whatever happens. Needs root.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${ZANDOR_CACHE:-$top/.cache}/debian13
base=$cache/minbase
archives=$cache/archives
root=$cache/run

# The Debian mirror this machine's own package sources name.
mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)[[:space:]]*$/\1/p' \
    /etc/apt/sources.list.d/*.sources 2> /dev/null | head -n 1)
[ -n "$mirror" ] ||
    mirror=$(awk '$1 == "deb" && $3 !~ /security/ { print $2; exit }' /etc/apt/sources.list)

source "$top/scripts/packages.sh"
zandor_install_missing debootstrap git

mounted=()
cleanup() {
    local k
    for ((k = ${#mounted[@]} - 1; k >= 0; k--)); do
        umount -R -l "${mounted[k]}" 2> /dev/null || true
    done
    # Never remove a tree that still has the machine's /dev or /sys mounted in it.
    if ! grep -q " $root/" /proc/mounts; then
        rm -rf "$root"
    else
        echo "debian13: mounts left under $root; not removed" >&2
    fi
}
trap cleanup EXIT

if [ ! -e "$base/.complete" ]; then
    echo "== debian13: making the minimal system"
    rm -rf "$base"
    mkdir -p "$base" "$archives"
    debootstrap --variant=minbase --cache-dir="$archives" trixie "$base" "$mirror" > /dev/null
    touch "$base/.complete"
fi

echo "== debian13: a fresh copy of the minimal system and a clean clone"
grep -q " $root/" /proc/mounts && { echo "debian13: $root is still mounted" >&2; exit 1; }
rm -rf "$root"
cp -a "$base" "$root"
mkdir -p "$archives/partial"
mount -t proc proc "$root/proc"
mounted+=("$root/proc")
for place in sys dev; do
    mount --rbind "/$place" "$root/$place"
    mount --make-rslave "$root/$place"
    mounted+=("$root/$place")
done
mount --bind "$archives" "$root/var/cache/apt/archives"
mounted+=("$root/var/cache/apt/archives")
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Keep the downloaded packages for the next run.
echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' > "$root/etc/apt/apt.conf.d/01keep"
git clone -q "$top" "$root/zandor"

echo "== debian13: the test command"
started=$SECONDS
chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root TERM=dumb CI=true LANG=C.UTF-8 bash /zandor/scripts/test.sh
echo "== debian13: passed in $((SECONDS - started)) s"
