#!/bin/sh
# What `make windows` and `make test-windows` need beyond the Linux build: the
# MinGW-w64 cross compiler (posix threads, as Qt needs), the source of Debian's
# qtbase (apt-get source, hence a deb-src entry), NSIS for the setup program,
# zip, Wine 8 to run the Windows programs in the tests, and fonts for the
# offscreen plugin, ImageMagick (the Windows icon, screenshots) and xwininfo
# (the installed program's window). Does nothing when all is there.
set -eu

# apt-get source needs the source index of the same archive and suites as the
# binary one; it gets a file of its own so that debian.sources stays as it is.
binary_sources=/etc/apt/sources.list.d/debian.sources
source_list=/etc/apt/sources.list.d/torsa-deb-src.sources
if [ -f "$binary_sources" ] && ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ \
        && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    echo "Adding the deb-src entries of $binary_sources in $source_list"
    sed 's/^Types:.*/Types: deb-src/' "$binary_sources" | $sudo tee "$source_list" >/dev/null
    $sudo apt-get update -qq
fi

exec "$(dirname "$0")/install-deps.sh" \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools \
    dpkg-dev xz-utils zip unzip nsis wine wine64 fonts-wine \
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools \
    fonts-dejavu-core fonts-liberation imagemagick x11-utils xdotool xclip
