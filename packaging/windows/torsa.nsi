; The setup program of TORSA: installs the programs for every user of the PC
; in Program Files, puts "TORSA" in the Start menu, shows the .zel files with
; TORSA's icon and type name, and lists its uninstaller in the system's apps.
; scripts/build-windows.sh runs it with:
;   VERSION  the program's version (1.0.0)
;   DEPLOY   the folder holding the programs and everything they need
;   FILES    the file list of that folder, one relative path a line, as NSIS
;            commands to install (FILES.install.nsh) and remove (FILES.remove.nsh)
;   ICON     the program's icon (.ico)
;   OUTFILE  the setup program to write

Unicode true
; A 64-bit setup program: the default 32-bit one does not start where only
; 64-bit programs run.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"

!define PROGID "TORSA.ProductionFile"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TORSA"
; SHChangeNotify: file associations changed, so that Explorer shows the new icon.
!define SHCNE_ASSOCCHANGED 0x08000000

Name "TORSA"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TORSA"
BrandingText "TORSA ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1036 "ProductName" "TORSA"
VIAddVersionKey /LANG=1036 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation de TORSA ${VERSION}"
VIAddVersionKey /LANG=1036 "CompanyName" "TORSA"
VIAddVersionKey /LANG=1036 "LegalCopyright" "TORSA"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

Section "TORSA"
    SetShellVarContext all
    !include "${FILES}.install.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The shortcut starts the program in its folder, where "&Aide" finds its document.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\TORSA.lnk" "$INSTDIR\torsa.exe" "" "$INSTDIR\torsa.exe" 0

    ; The file type: a name and an icon, no open verb (the program reads no
    ; command line).
    WriteRegStr HKLM "Software\Classes\.zel" "" "${PROGID}"
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Fichier de production TORSA"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\torsa.exe,0"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "TORSA"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\torsa.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "TORSA"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    ; Only the files the setup program put there, then the folders if empty.
    !include "${FILES}.remove.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\TORSA.lnk"

    ; .zel is left to whichever program took it over since.
    ReadRegStr $0 HKLM "Software\Classes\.zel" ""
    StrCmp $0 "${PROGID}" 0 +2
        DeleteRegKey HKLM "Software\Classes\.zel"
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
