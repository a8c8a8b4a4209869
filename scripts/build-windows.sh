#!/bin/bash
# make windows: TORSA cross-built for 64-bit Windows against the Qt of
# build-windows-qt.sh, then the build folder filled with everything the two
# programs need to run on a PC without Qt, the portable zip of that, and the
# setup program.
#
#   scripts/build-windows.sh [BUILD_DIR]     (default build-windows)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-build-windows}" && cd "${1:-build-windows}" && pwd)
jobs=${JOBS:-2}
triplet=x86_64-w64-mingw32

prefix=$("$root/scripts/build-windows-qt.sh" | tail -1)
version=$(sed -n 's/^project(torsa VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

# The host's rcc compresses with zstd, which the Windows Qt cannot read.
# CTest runs the Windows test programs through Wine (scripts/wine-run.sh).
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_AUTORCC_OPTIONS=--no-zstd \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh"
cmake --build "$build" -j"$jobs"

# ---------------------------------------------------------------- deployment
# What the programs load: Qt's and MinGW's DLLs found from the import tables,
# programs and plugins first, then each DLL's own, recursively; a DLL found in
# none of these folders belongs to Windows.
dll_folders=("$prefix/bin"
             "$(dirname "$("$triplet-g++-posix" -print-file-name=libstdc++-6.dll)")"
             "/usr/$triplet/lib")
deployed=()   # relative paths in the build folder, for the zip and the setup

deploy() {   # SOURCE RELATIVE_DESTINATION: copied, stripped
    mkdir -p "$build/$(dirname "$2")"
    "$triplet-strip" --strip-unneeded -o "$build/$2" "$1"
    deployed+=("$2")
}

imports() {
    "$triplet-objdump" -p "$1" | sed -n 's/^\s*DLL Name: \(.*\)$/\1/p'
}

# The programs too: the MinGW runtime's objects bring debugging sections along.
for program in torsa.exe torsa-cli.exe; do "$triplet-strip" --strip-unneeded "$build/$program"; done
deploy "$prefix/plugins/platforms/qwindows.dll" plugins/platforms/qwindows.dll
deploy "$prefix/plugins/styles/qwindowsvistastyle.dll" plugins/styles/qwindowsvistastyle.dll
pending=("$build/torsa.exe" "$build/torsa-cli.exe" "$build/plugins/platforms/qwindows.dll"
         "$build/plugins/styles/qwindowsvistastyle.dll")
declare -A seen=()
while [ ${#pending[@]} -gt 0 ]; do
    binary=${pending[0]}
    pending=("${pending[@]:1}")
    for dll in $(imports "$binary"); do
        [ -z "${seen[$dll]:-}" ] || continue
        seen[$dll]=1
        for folder in "${dll_folders[@]}"; do
            if [ -f "$folder/$dll" ]; then
                deploy "$folder/$dll" "$dll"
                pending+=("$build/$dll")
                break
            fi
        done
    done
done
deployed+=(torsa.exe torsa-cli.exe)

# Qt finds its plugins and translations beside the programs.
printf '[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n' > "$build/qt.conf"
mkdir -p "$build/translations"
cp /usr/share/qt6/translations/qtbase_fr.qm "$build/translations/"
cp "$root/docs/AIDE_TORSA.DOC" "$build/"
mkdir -p "$build/exemples"
cp "$root"/samples/*.zel "$build/exemples/"
deployed+=(qt.conf translations/qtbase_fr.qm AIDE_TORSA.DOC)
for sample in "$root"/samples/*.zel; do deployed+=("exemples/$(basename "$sample")"); done
printf '%s\n' "${deployed[@]}" | sort > "$build/deployed.txt"

# The test programs take Qt from its prefix and the French translation from
# the build folder.
windows_path() { echo "Z:$1"; }
for tests in "$build/tests" "$build/tests/windows"; do
    printf '[Paths]\nPrefix = %s\nTranslations = %s\n' \
        "$(windows_path "$prefix")" "$(windows_path "$build/translations")" > "$tests/qt.conf"
done

# ---------------------------------------------------------------- portable zip
name=torsa-$version-win64
rm -rf "$build/package" && mkdir -p "$build/package/$name"
(cd "$build" && cp --parents $(cat deployed.txt) "package/$name/")
rm -f "$build/$name.zip"
(cd "$build/package" && zip -q -r -X "$build/$name.zip" "$name")

# ---------------------------------------------------------------- setup program
# The file list as NSIS commands: each folder's files, and their removal.
files=$build/package/files
: > "$files.install.nsh"
: > "$files.remove.nsh"
current=none
while read -r file; do
    folder=$(dirname "$file")
    [ "$folder" = . ] && folder=
    if [ "$folder" != "$current" ]; then
        echo "SetOutPath \"\$INSTDIR${folder:+\\${folder//\//\\}}\"" >> "$files.install.nsh"
        current=$folder
    fi
    echo "File \"$build/package/$name/$file\"" >> "$files.install.nsh"
    echo "Delete \"\$INSTDIR\\${file//\//\\}\"" >> "$files.remove.nsh"
done < <(awk -F/ '{ print NF "\t" $0 }' "$build/deployed.txt" | sort -n | cut -f2-)
# Then the folders, deepest first, each removed only when empty.
while read -r file; do
    folder=$(dirname "$file")
    while [ "$folder" != . ]; do echo "$folder"; folder=$(dirname "$folder"); done
done < "$build/deployed.txt" | sort -u | awk -F/ '{ print NF "\t" $0 }' | sort -rn | cut -f2- |
    while read -r folder; do echo "RMDir \"\$INSTDIR\\${folder//\//\\}\""; done >> "$files.remove.nsh"

makensis -V2 -NOCD \
    -DVERSION="$version" -DFILES="$files" -DICON="$build/packaging/windows/torsa.ico" \
    -DOUTFILE="$build/torsa-$version-setup.exe" "$root/packaging/windows/torsa.nsi"
ls -l "$build/$name.zip" "$build/torsa-$version-setup.exe"
