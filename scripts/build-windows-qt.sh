#!/bin/bash
# Builds, once, the Qt that TORSA's Windows programs link: qtbase 6.4.2 from
# Debian's own source package and Qt Serial Port 6.4.2 from the third-party
# tarball, cross-built with MinGW-w64 for x86_64-w64-mingw32 with the host's Qt
# tools, shared, release, and only what TORSA uses.
#
# The result lives in a cache outside the work tree, in a folder named after a
# hash of everything it is made from (this script, the toolchain file, the
# source package's version, the tarball's SHA-256, the compiler's version), so
# it is reused while those are unchanged and built anew when one changes.
#
#   scripts/build-windows-qt.sh            build unless done; prints the prefix
#   scripts/build-windows-qt.sh --prefix   prints the prefix only
#
# TORSA_WINDOWS_QT_CACHE     cache folder (default ~/.cache/torsa/windows-qt)
# TORSA_QTSERIALPORT_TARBALL the Qt Serial Port tarball
#                            (default ../shared/thirdparty/ from the project)
# JOBS                       parallel jobs (default 2)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TORSA_WINDOWS_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/torsa/windows-qt}
tarball=${TORSA_QTSERIALPORT_TARBALL:-$root/../shared/thirdparty/qtserialport-6.4.2.tar.xz}
jobs=${JOBS:-2}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
qt_version=6.4.2
serialport_sha256=55057973ea7a3de4eefcde242d7c293d534246ab2659904645bba2d92a639cea

# The qtbase source package of the host's Qt: the same version on both sides.
source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
case $source_version in
    "$qt_version"+*) ;;
    *) echo "qt6-base-dev is $source_version, not $qt_version" >&2; exit 1 ;;
esac

key=$( { sha256sum "$0" "$toolchain" | cut -d' ' -f1
         echo "$source_version $serialport_sha256"
         x86_64-w64-mingw32-g++-posix --version | head -1; } | sha256sum | cut -c1-16)
prefix=$cache/$key/prefix

if [ "${1:-}" = --prefix ]; then echo "$prefix"; exit 0; fi
if [ -f "$cache/$key/complete" ]; then echo "$prefix"; exit 0; fi

if [ ! -f "$tarball" ]; then
    echo "Qt Serial Port tarball not found: $tarball (set TORSA_QTSERIALPORT_TARBALL)" >&2
    exit 1
fi
echo "$serialport_sha256  $tarball" | sha256sum -c --quiet - >&2 || {
    echo "$tarball: SHA-256 differs from $serialport_sha256" >&2; exit 1; }

work=$cache/$key/work
rm -rf "$work" "$prefix"
mkdir -p "$work"
start=$(date +%s)

# qtbase as Debian builds it: the upstream tarball with Debian's patches.
(cd "$work" && apt-get source -qq "qt6-base=$source_version") >&2
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
    -DFEATURE_sql=OFF -DFEATURE_sqlmodel=OFF \
    >&2
cmake --build "$work/qtbase-build" -j"$jobs" >&2
cmake --install "$work/qtbase-build" >&2

tar -xJf "$tarball" -C "$work"
serialport_src=$(find "$work" -maxdepth 1 -type d -name 'qtserialport*' | head -1)
"$prefix/bin/qt-cmake" -S "$serialport_src" -B "$work/serialport-build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF >&2
cmake --build "$work/serialport-build" -j"$jobs" >&2
cmake --install "$work/serialport-build" >&2

# The offscreen plugin's font database reads the fonts of the Qt prefix.
mkdir -p "$prefix/lib/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/liberation/Liberation*.ttf \
    "$prefix/lib/fonts/"

rm -rf "$work"
echo "Qt for Windows built in $(( $(date +%s) - start )) s into $prefix" >&2
touch "$cache/$key/complete"
echo "$prefix"
