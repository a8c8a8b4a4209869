#!/bin/bash
# The uninstaller, silent: C:\ and the registry as they were before the setup program.
. "$(dirname "$0")/common.sh" setup
. "$(dirname "$0")/setup-common.sh"
wineserver -k 2>/dev/null || true   # the program of the window check, if still there
wine "$installed/uninstall.exe" /S
wineserver -w
expect "no file left" diff "$work/setup-before.txt" \
    <(cd "$drive" && find . -path ./windows -prune -o -path ./users -prune -o -print | sort)
expect "no .zel type" no_key "$classes\\.zel"
expect "no file type" no_key "$classes\\TORSA.ProductionFile"
expect "no open verb" no_key "$classes\\TORSA.ProductionFile\\shell\\open\\command"
expect "not in the system's apps" no_key "$apps"
[ "$failures" -eq 0 ]
