#!/bin/bash
# make windows: TORSA cross-built for 64-bit Windows (the windows preset of
# CMakePresets.json, in build-windows/) against the Qt of build-windows-qt.sh,
# packaged by CPack (packaging/windows/): the portable zip and the setup
# program. The installation they hold is also left in build-windows/install,
# its files listed by CMake in build-windows/install_manifest.txt.
set -euo pipefail

cd "$(dirname "$0")/.."
build=$PWD/build-windows
TORSA_WINDOWS_QT_PREFIX=$(scripts/build-windows-qt.sh | tail -1)
export TORSA_WINDOWS_QT_PREFIX

cmake --preset windows
cmake --build --preset windows -j"${JOBS:-2}"
cpack --preset windows
rm -rf "$build/install"
cmake --install "$build" --prefix "$build/install" --strip
