#!/bin/bash
# make windows: TORSA cross-built for 64-bit Windows against the Qt of
# build-windows-qt.sh, then packaged by CPack (packaging/windows/): the
# portable zip and the setup program. The installation they hold is also left
# in BUILD_DIR/install, its file list in BUILD_DIR/deployed.txt.
#
#   scripts/build-windows.sh [BUILD_DIR]     (default build-windows)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-build-windows}" && cd "${1:-build-windows}" && pwd)
jobs=${JOBS:-2}

prefix=$("$root/scripts/build-windows-qt.sh" | tail -1)

# The host's rcc compresses with zstd, which the Windows Qt cannot read.
# CTest runs the Windows test programs through Wine (scripts/wine-run.sh).
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_AUTORCC_OPTIONS=--no-zstd \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh"
cmake --build "$build" -j"$jobs"
cpack --config "$build/CPackConfig.cmake" -B "$build"

rm -rf "$build/install"
cmake --install "$build" --prefix "$build/install" --strip
(cd "$build/install" && find . -type f | sed 's|^\./||' | sort) > "$build/deployed.txt"
