#!/bin/sh
# Installs with apt-get whatever the build, the tests, the screenshots and
# `make package` (file: CPack's scan of the binaries' libraries) need and this
# machine lacks; does nothing when everything is there. Given package names,
# it installs those instead (install-lint-deps.sh does so).
set -eu

packages="$*"
[ -n "$packages" ] || packages="
build-essential
cmake
ninja-build
pkg-config
qt6-base-dev
qt6-serialport-dev
qt6-translations-l10n
libgl-dev
fonts-liberation
xvfb
xauth
x11-utils
xdg-utils
file
"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
