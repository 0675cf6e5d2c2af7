#!/usr/bin/env bash
# Proves the Debian package on a clean machine: makes a minimal Debian 12 tree with debootstrap,
# installs the package there with apt-get (which must pull in every library it needs), then
# starts the simulator on 127.0.0.1 and the utility offscreen inside that tree.
# Needs root (debootstrap, chroot) and access to deb.debian.org.
#
#   bash scripts/check-deb-clean.sh [package.deb] [tree folder]
#   (defaults: the newest build/app/tolvar-utility_*.deb, build/clean-debian)
set -euo pipefail
cd "$(dirname "$0")/.."

deb=${1:-$(ls -t build/app/tolvar-utility_*.deb 2>/dev/null | head -n 1)}
tree=${2:-build/clean-debian}
[ -f "$deb" ] || { echo "error: no package; build one with scripts/package.sh" >&2; exit 1; }
[ "$(id -u)" = 0 ] || { echo "error: needs root for debootstrap and chroot" >&2; exit 1; }
command -v debootstrap >/dev/null || apt-get install -y debootstrap

if [ ! -x "$tree/usr/bin/apt-get" ]; then
    debootstrap --variant=minbase bookworm "$tree" http://deb.debian.org/debian
fi
cp /etc/resolv.conf "$tree/etc/resolv.conf"
cp "$deb" "$tree/tmp/"
mount -t proc proc "$tree/proc"
trap 'umount "$tree/proc"' EXIT

inside() { chroot "$tree" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
inside apt-get update -q
inside env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")"

# Port 0: the simulator picks a free port on 127.0.0.1 and says which.
inside sh -c '
    examples=/usr/share/tolvar-utility/examples
    tolvar-gateway-sim --port 0 --config $examples/multi.json >/tmp/sim.log 2>&1 &
    sim=$!
    for i in $(seq 50); do grep -q "listening on 127.0.0.1" /tmp/sim.log && break; sleep 0.1; done
    grep "listening on 127.0.0.1" /tmp/sim.log || { cat /tmp/sim.log; exit 1; }
    tolvar-utility --version
    # Still running after 5 s means the main window came up and waits for the user.
    set +e
    QT_QPA_PLATFORM=offscreen timeout 5 tolvar-utility
    rc=$?
    kill $sim
    [ $rc = 124 ] || { echo "error: tolvar-utility ended with $rc" >&2; exit 1; }
    echo "both programs start on a clean Debian 12"
'
