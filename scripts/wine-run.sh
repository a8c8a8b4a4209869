#!/bin/bash
# Runs a Windows test program under Wine, as CTest's emulator for the Windows
# build and for scripts/test-windows.sh, which sets WINEPREFIX and WINEPATH.
#
# Wine keeps QT_* variables from Windows programs and hands WINEQT_* to them
# as QT_*; Qt Test under Wine writes its report only into a file given with
# -o FILE,txt, which is then printed.
set -uo pipefail
: "${WINEPREFIX:?run through scripts/test-windows.sh, which sets up the Wine prefix}"

program=$1
shift
while IFS='=' read -r name value; do
    export "WINE$name=$value"
done < <(env | grep '^QT_')

report=$(mktemp "${TMPDIR:-/tmp}/torsa-wine-report.XXXXXX")
wine "$program" "$@" -o "Z:${report//\//\\},txt"
status=$?
cat "$report"
rm -f "$report"
exit $status
