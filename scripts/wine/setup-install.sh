#!/bin/bash
# The setup program, silent: every file of the installation `cmake --install`
# made (install_manifest.txt), the Start-menu entry, the file type and the
# entry among the system's apps, the type's open verb.
. "$(dirname "$0")/common.sh" setup
. "$(dirname "$0")/setup-common.sh"
wine "$build/torsa-$TORSA_VERSION-setup.exe" /S
wineserver -w
expect "every file" diff <(sed "s|^$build/install/||; s|^\./||" "$build/install_manifest.txt" | sort; echo uninstall.exe) \
    <(cd "$installed" && find . -type f | sed 's|^\./||' | sort)
expect "Start menu entry" test -f "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/TORSA.lnk"
expect ".zel type" reg_holds "$classes\\.zel" "" TORSA.ProductionFile
expect "type name" reg_holds "$classes\\TORSA.ProductionFile" "" 'Fichier de production TORSA'
expect "type icon" reg_holds "$classes\\TORSA.ProductionFile\\DefaultIcon" "" 'TORSA\torsa.exe,0'
expect "open verb" reg_holds "$classes\\TORSA.ProductionFile\\shell\\open\\command" "" \
    '"C:\Program Files\TORSA\torsa.exe" "%1"'
expect "in the system's apps" reg_holds "$apps" DisplayVersion "$TORSA_VERSION"
[ "$failures" -eq 0 ]
