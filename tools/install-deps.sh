#!/bin/sh
# Installs the Debian packages that building and testing Brindle need, and only those missing.
set -e
packages="cmake make g++ pkg-config git clang clang-format libgtest-dev libgmock-dev libbenchmark-dev
qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-image-formats-plugins libgl-dev"
missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "Installing missing Debian packages:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing
