#!/usr/bin/env bash
# Installs the Debian package into a clean Debian 12 root with apt, as a
# user would, so that apt pulls in exactly what the package depends on;
# then, as a new user with no data, starts Kladdo under Xvfb in that root,
# brings it out with the global key, types a note, ends it, and finds the
# note and the alarm sound in that user's ~/.local/share/kladdo/DATA.
# The bootstrapped root is kept in ~/.cache/kladdo, and the packages apt
# fetches beside it. Needs root (debootstrap, chroot, mounts).
#
# Usage: scripts/deb-test.sh [PACKAGE]   (without one, scripts/deb.sh builds it)
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "deb-test.sh: needs root, for debootstrap, chroot and mounts" >&2; exit 1; }
source scripts/lib.sh
ensure_packages scripts/packages-deb-test.txt

package=${1:-$(bash scripts/deb.sh | tail -1)}
start=$SECONDS
[ -f "$package" ] || { echo "deb-test.sh: no package at $package" >&2; exit 1; }
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kladdo
base=$cache/bookworm-minbase.tar
archives=$cache/bookworm-apt
mkdir -p "$cache" "$archives/partial"

if [ ! -f "$base" ]; then
  fresh=$(mktemp -d)
  debootstrap --variant=minbase bookworm "$fresh" http://deb.debian.org/debian >&2
  tar -C "$fresh" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$fresh"
fi

root=$(mktemp -d)
cleanup() {
  local mount
  for mount in dev proc var/cache/apt/archives; do umount -R -l "$root/$mount" 2>/dev/null || true; done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$base"
chmod 755 "$root"
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --bind "$archives" "$root/var/cache/apt/archives"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$package" "$root/tmp/"
cp scripts/deb-test-inside.sh "$root/tmp/"

chroot "$root" apt-get update -q >&2
# The test's own tools come besides; what Kladdo needs comes with it alone.
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "/tmp/$(basename "$package")" >&2
missing=$(chroot "$root" sh -c 'ldd /usr/bin/kladdo /usr/bin/kladdo-data /usr/lib/kladdo/*' | grep 'not found' || true)
[ -z "$missing" ] || { echo "deb-test.sh: the package lacks what it links: $missing" >&2; exit 1; }
[ -f "$root/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so" ] ||
  { echo "deb-test.sh: the package does not bring Qt's X11 platform" >&2; exit 1; }
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  xvfb xdotool procps >&2
echo "deb-test.sh: installed in $((SECONDS - start)) s" >&2
chroot "$root" bash /tmp/deb-test-inside.sh
