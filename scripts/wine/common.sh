# Sourced by the Wine checks of the Windows build (CTest tests labelled wine,
# tests/windows/CMakeLists.txt), with the name of their Wine prefix:
#   . scripts/wine/common.sh PREFIX_NAME
# CTest gives the folders: TORSA_WINDOWS_BUILD, TORSA_LINUX_BUILD (its zel-sim
# and test_link_cli), TORSA_WINDOWS_QT_BIN (the Windows Qt's DLLs) and
# TORSA_VERSION. Everything a check makes goes under the Windows build's wine/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${TORSA_WINDOWS_BUILD:?run by ctest -L wine in the Windows build}
linux_build=${TORSA_LINUX_BUILD:?}
work=$build/wine
zel_sim=$linux_build/tools/zel-sim/zel-sim
mkdir -p "$work"

export WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko download prompts; no menu entries written into the host's
# desktop by the setup program's shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
# The test programs' DLLs: Qt's and MinGW's, where the build took them from.
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
export WINEPATH="$(windows_path "$TORSA_WINDOWS_QT_BIN");$(windows_path "$mingw_runtime");$(windows_path /usr/x86_64-w64-mingw32/lib)"
export WINEPREFIX=$work/prefix-${1:?the prefix name}
# The X display of the wine_display fixture, for whatever Wine shows.
if [ -f "$work/display" ]; then DISPLAY=:$(cat "$work/display"); export DISPLAY; fi
# The offscreen plugin reads the fonts of one folder (prefix.sh suites fills it).
QT_QPA_FONTDIR=$(windows_path "$work/fonts")
export QT_QPA_FONTDIR

# The link prefix's ports: COM1 and COM7 are one simulator's link (a stable name
# over each new pseudo-terminal), COM7 a number beyond the four COM items, as
# Windows gives a USB adapter; COM10 to COM17 the link suite's simulators.
unit_link=$work/zel-unit
suite_ports=()
for n in $(seq 10 17); do suite_ports+=("COM$n=$work/com$n"); done

# Simulators a check starts, ended when it ends.
sims=()
end_sims() {
    [ ${#sims[@]} -eq 0 ] || { kill -TERM "${sims[@]}" 2>/dev/null || true; wait "${sims[@]}" 2>/dev/null || true; }
    sims=()
}
trap end_sims EXIT
start_sim() {   # LINK [OPTION...]: zel-sim behind LINK, once the link is there
    local link=$1 tries=0
    shift
    rm -f "$link"
    "$zel_sim" --link "$link" "$@" >/dev/null 2>"$link.err" &
    sims+=("$!")
    until [ -e "$link" ]; do
        tries=$((tries + 1)); [ $tries -lt 200 ] || { echo "zel-sim did not start: $(cat "$link.err")" >&2; return 1; }
        sleep 0.05
    done
}

# One of several findings of a check: printed, and the check fails at its end.
failures=0
expect() {   # WHAT COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok      $what"; else echo "FAILED  $what"; failures=$((failures + 1)); fi
}
