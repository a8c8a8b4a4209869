#!/bin/bash
# Runs a Windows test program under Wine: CTest's emulator for the Windows
# build's suites (in the wine_prefix_suites fixture's prefix), and for the Wine
# checks that set up a prefix of their own (WINEPREFIX set).
#
# Wine keeps QT_* variables from Windows programs and hands WINEQT_* to them
# as QT_*; Qt Test under Wine writes its report only into a file given with
# -o FILE,txt, which is then printed.
set -uo pipefail
if [ -z "${WINEPREFIX:-}" ]; then
    . "$(dirname "$0")/wine/common.sh" suites
    set +e
fi

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
