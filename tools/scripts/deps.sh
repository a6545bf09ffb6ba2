#!/bin/sh
# Installs what building, running and testing need, only when it is missing.
# Debian 12, run as root (or with sudo available).
set -e
need=""
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
for pkg in "$@"; do
    have_pkg "$pkg" || need="$need $pkg"
done
[ -z "$need" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$need"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $need
