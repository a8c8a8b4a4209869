#!/bin/bash
# The fixtures of the Wine prefixes, one fresh prefix per part:
#   scripts/wine/prefix.sh suites|link|setup    made afresh, its server kept running
#   scripts/wine/prefix.sh --end NAME           its server (and programs) ended
if [ "$1" = --end ]; then
    . "$(dirname "$0")/common.sh" "$2"
    wineserver -k 2>/dev/null || true
    exit 0
fi
name=$1
. "$(dirname "$0")/common.sh" "$name"

quiet() { "$@" </dev/null >/dev/null 2>&1; }
rm -rf "$WINEPREFIX"
quiet wineboot --init
# Wine has neither Courier New nor Microsoft Sans Serif (the captions' font),
# and finds none of its own fonts here, Tahoma (its menus' font) among them:
# Liberation Mono and Liberation Sans, which it finds through fontconfig, stand in.
for replacement in 'Courier New=Liberation Mono' 'Microsoft Sans Serif=Liberation Sans' 'Tahoma=Liberation Sans'; do
    quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${replacement%%=*}" /d "${replacement#*=}" /f
done
# A crash prints its backtrace and ends the program instead of waiting for
# someone to close a dialog.
quiet wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f

ports=()
case $name in
    suites)
        # The fonts of the Qt prefix, and Wine's MS Sans Serif for the window's
        # captions (on Windows the system's).
        mkdir -p "$work/fonts"
        cp "$TORSA_WINDOWS_QT_BIN"/../lib/fonts/* /usr/share/wine/fonts/ms_sans_serif.ttf "$work/fonts/"
        # The program for .doc files that "&Aide" must start: it copies the
        # document it is given to %TEMP%\aide-ouverte.doc. Machine-wide, as a word
        # processor's setup program registers it: Wine 8 does not look at the
        # user's classes.
        quiet wine reg add 'HKLM\Software\Classes\.doc' /ve /d TorsaTest.Document /f
        quiet wine reg add 'HKLM\Software\Classes\TorsaTest.Document\shell\open\command' /ve \
            /d 'cmd.exe /c copy /y "%1" "%TEMP%\aide-ouverte.doc"' /f ;;
    link)
        # Through the registry: Wine rewrites its dosdevices links from there
        # whenever the wineserver starts.
        ports=("COM1=$unit_link" "COM7=$unit_link" "${suite_ports[@]}")
        for mapping in "${ports[@]}"; do
            quiet wine reg add 'HKLM\Software\Wine\Ports' /v "${mapping%%=*}" /d "${mapping#*=}" /f
        done ;;
    setup)
        # What C:\ holds before the setup program, for its uninstaller to leave.
        (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path ./users -prune -o -print | sort) \
            >"$work/setup-before.txt" ;;
esac

# The server of the suites' and the link's prefix kept running through their
# checks (the port map stays as checked below), detached from CTest's pipes;
# quiet, as it prints a dump of its objects each time a simulator ends. Wine's
# services start with it. The setup program's checks wait for their server to
# end instead (wineserver -w), as its uninstaller runs on after it returns.
wineserver -w
if [ "$name" != setup ]; then
    setsid wineserver -p </dev/null >/dev/null 2>&1
    quiet wine cmd /c exit
fi
# An unmapped COM1 is this machine's /dev/ttyS0: nothing is sent before all hold.
for mapping in "${ports[@]}"; do
    port=${mapping%%=*}
    [ "$(readlink "$WINEPREFIX/dosdevices/${port,,}")" = "${mapping#*=}" ] ||
        { echo "Wine's $port is not ${mapping#*=}" >&2; exit 1; }
done
echo "prefix $name ready"
