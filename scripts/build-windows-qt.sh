#!/bin/bash
# Finds, or builds once, the Qt that TORSA's Windows programs link (qtbase and
# Qt Serial Port 6.4.2 for MinGW-w64, made by scripts/windows-qt-recipe.sh).
#
# The result lives in a cache outside the work tree, in a folder named after a
# key: a hash of what it is made from and how (the recipe, the toolchain file,
# the source package's version, the tarball's SHA-256, the compiler's
# version). A cache folder of that key is used as it is; else a prebuilt
# archive of it, windows-qt-KEY.tar.xz in the third-party folder, is unpacked
# once its SHA-256 matches the one that folder's README.md gives for it; else
# Qt is built (about 35 minutes).
#
#   scripts/build-windows-qt.sh            find or build; prints the prefix
#   scripts/build-windows-qt.sh --prefix   prints the prefix only
#   scripts/build-windows-qt.sh --plan     prints what it would do: "cache",
#                                          "archive FILE" or "build"
#
# TORSA_WINDOWS_QT_CACHE     cache folder (default ~/.cache/torsa/windows-qt)
# TORSA_THIRDPARTY_DIR       the third-party folder (default ../shared/thirdparty
#                            from the project): the tarball, the archives, README.md
# TORSA_QTSERIALPORT_TARBALL the Qt Serial Port tarball (default in that folder)
# JOBS                       parallel jobs (default 2)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TORSA_WINDOWS_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/torsa/windows-qt}
thirdparty=${TORSA_THIRDPARTY_DIR:-$root/../shared/thirdparty}
tarball=${TORSA_QTSERIALPORT_TARBALL:-$thirdparty/qtserialport-6.4.2.tar.xz}
jobs=${JOBS:-2}
recipe=$root/scripts/windows-qt-recipe.sh
toolchain=$root/cmake/mingw-w64-x86_64.cmake
qt_version=6.4.2
serialport_sha256=55057973ea7a3de4eefcde242d7c293d534246ab2659904645bba2d92a639cea

# The qtbase source package of the host's Qt: the same version on both sides.
source_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
case $source_version in
    "$qt_version"+*) ;;
    *) echo "qt6-base-dev is $source_version, not $qt_version" >&2; exit 1 ;;
esac

key=$( { sha256sum "$recipe" "$toolchain" | cut -d' ' -f1
         echo "$source_version $serialport_sha256"
         x86_64-w64-mingw32-g++-posix --version | head -1; } | sha256sum | cut -c1-16)
folder=$cache/$key
prefix=$folder/prefix
archive=$thirdparty/windows-qt-$key.tar.xz

# The SHA-256 that README.md's table gives for a file: the row naming it.
listed_sha256() {
    [ -f "$thirdparty/README.md" ] || return 0
    grep -F "\`$(basename "$1")\`" "$thirdparty/README.md" | grep -oE '\b[0-9a-f]{64}\b' | tail -1
}

plan() {
    if [ -f "$folder/complete" ]; then echo cache
    elif [ -f "$archive" ]; then echo "archive $archive"
    else echo build; fi
}

# The archive holds the folder's prefix/ and complete; unpacked beside it and
# moved in whole, so that a cut-short unpacking leaves no folder that looks done.
unpack_archive() {
    local expected actual
    expected=$(listed_sha256 "$archive")
    actual=$(sha256sum "$archive" | cut -d' ' -f1)
    if [ -z "$expected" ] || [ "$actual" != "$expected" ]; then
        echo "$archive: SHA-256 $actual is not the one of $thirdparty/README.md (${expected:-none}); building instead" >&2
        return 1
    fi
    local unpacked
    mkdir -p "$cache"
    unpacked=$(mktemp -d "$cache/.unpacking-$key.XXXXXX")
    if tar -xJf "$archive" -C "$unpacked" --no-same-owner prefix complete && [ -f "$unpacked/complete" ]; then
        rm -rf "$folder"
        mv "$unpacked" "$folder"
        echo "Qt for Windows unpacked from $archive into $prefix" >&2
    else
        rm -rf "$unpacked"
        echo "$archive: cannot be unpacked; building instead" >&2
        return 1
    fi
}

build() {
    if [ ! -f "$tarball" ]; then
        echo "Qt Serial Port tarball not found: $tarball (set TORSA_QTSERIALPORT_TARBALL)" >&2
        exit 1
    fi
    echo "$serialport_sha256  $tarball" | sha256sum -c --quiet - >&2 || {
        echo "$tarball: SHA-256 differs from $serialport_sha256" >&2; exit 1; }
    local start
    start=$(date +%s)
    "$recipe" "$folder/work" "$prefix" "$source_version" "$tarball" "$toolchain" "$jobs" >&2
    echo "Qt for Windows built in $(( $(date +%s) - start )) s into $prefix" >&2
    touch "$folder/complete"
}

case ${1:-} in
    --prefix) echo "$prefix"; exit 0 ;;
    --plan) plan; exit 0 ;;
esac
case $(plan) in
    cache) ;;
    archive*) unpack_archive || build ;;
    build) build ;;
esac
echo "$prefix"
