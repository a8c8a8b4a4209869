#!/bin/bash
# How the Qt of TORSA's Windows programs is made: qtbase from Debian's own
# source package and Qt Serial Port from the third-party tarball (its SHA-256
# checked by the caller), cross-built with MinGW-w64 for x86_64-w64-mingw32
# with the host's Qt tools, shared, release, and only what TORSA uses.
# build-windows-qt.sh runs it; its key hashes this file, so a change here
# makes a new build, and a change to how a build is found does not.
#
#   scripts/windows-qt-recipe.sh WORK PREFIX QTBASE_SOURCE_VERSION TARBALL TOOLCHAIN JOBS
set -euo pipefail

work=$1 prefix=$2 source_version=$3 tarball=$4 toolchain=$5 jobs=$6

rm -rf "$work" "$prefix"
mkdir -p "$work"

# qtbase as Debian builds it: the upstream tarball with Debian's patches.
(cd "$work" && apt-get source -qq "qt6-base=$source_version")
qtbase_src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)

# Only what TORSA uses. OpenGL is off for the input too (else dynamic GL stays
# on and the Windows plugin does not compile); DirectWrite 3 needs Direct2D,
# which is off; Debian's tarball has no Wintab headers, hence no tablet
# events; FreeType (bundled) is for the offscreen plugin's font database.
cmake -S "$qtbase_src" -B "$work/qtbase-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_pkg_config=OFF \
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF \
    -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
    -DFEATURE_sql=OFF -DFEATURE_sqlmodel=OFF
cmake --build "$work/qtbase-build" -j"$jobs"
cmake --install "$work/qtbase-build"

tar -xJf "$tarball" -C "$work"
serialport_src=$(find "$work" -maxdepth 1 -type d -name 'qtserialport*' | head -1)
"$prefix/bin/qt-cmake" -S "$serialport_src" -B "$work/serialport-build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
cmake --build "$work/serialport-build" -j"$jobs"
cmake --install "$work/serialport-build"

# The offscreen plugin's font database reads the fonts of the Qt prefix.
mkdir -p "$prefix/lib/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/liberation/Liberation*.ttf \
    "$prefix/lib/fonts/"

rm -rf "$work"
