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

# What each step printed goes to the attempt's log; a step that fails is named,
# with the end of the log, so that a fixture that fails on a CI machine says why.
step() {
    echo "+ $*" >>"$log"
    "$@" </dev/null >>"$log" 2>&1 && return 0
    echo "prefix $name: failed (exit $?): $*" >&2
    tail -n 40 "$log" >&2
    return 1
}

ports=()
case $name in
    # Through the registry: Wine rewrites its dosdevices links from there
    # whenever the wineserver starts.
    link) ports=("COM1=$unit_link" "COM7=$unit_link" "${suite_ports[@]}") ;;
esac

make_prefix() {
    rm -rf "$WINEPREFIX" || return 1
    step wineboot --init || return 1
    # Wine has neither Courier New nor Microsoft Sans Serif (the captions' font),
    # and finds none of its own fonts here, Tahoma (its menus' font) among them:
    # Liberation Mono and Liberation Sans, which it finds through fontconfig, stand in.
    local replacement mapping port
    for replacement in 'Courier New=Liberation Mono' 'Microsoft Sans Serif=Liberation Sans' 'Tahoma=Liberation Sans'; do
        step wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${replacement%%=*}" /d "${replacement#*=}" /f ||
            return 1
    done
    # A crash prints its backtrace and ends the program instead of waiting for
    # someone to close a dialog.
    step wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f || return 1

    case $name in
        suites)
            # The fonts of the Qt prefix, and Wine's MS Sans Serif for the window's
            # captions (on Windows the system's).
            step mkdir -p "$work/fonts" || return 1
            step cp "$TORSA_WINDOWS_QT_BIN"/../lib/fonts/* /usr/share/wine/fonts/ms_sans_serif.ttf "$work/fonts/" ||
                return 1
            # The program for .doc files that "&Aide" must start: it copies the
            # document it is given to %TEMP%\aide-ouverte.doc. Machine-wide, as a word
            # processor's setup program registers it: Wine 8 does not look at the
            # user's classes.
            step wine reg add 'HKLM\Software\Classes\.doc' /ve /d TorsaTest.Document /f || return 1
            step wine reg add 'HKLM\Software\Classes\TorsaTest.Document\shell\open\command' /ve \
                /d 'cmd.exe /c copy /y "%1" "%TEMP%\aide-ouverte.doc"' /f || return 1 ;;
        link)
            for mapping in "${ports[@]}"; do
                step wine reg add 'HKLM\Software\Wine\Ports' /v "${mapping%%=*}" /d "${mapping#*=}" /f || return 1
            done ;;
        setup)
            # What C:\ holds before the setup program, for its uninstaller to leave.
            (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path ./users -prune -o -print | sort) \
                >"$work/setup-before.txt" || return 1 ;;
    esac

    # The server of the suites' and the link's prefix kept running through their
    # checks (the port map stays as checked below), detached from CTest's pipes;
    # quiet, as it prints a dump of its objects each time a simulator ends. Wine's
    # services start with it. The setup program's checks wait for their server to
    # end instead (wineserver -w), as its uninstaller runs on after it returns.
    step wineserver -w || return 1
    if [ "$name" != setup ]; then
        setsid wineserver -p </dev/null >/dev/null 2>&1 ||
            { echo "prefix $name: failed: wineserver -p" >&2; return 1; }
        step wine cmd /c exit || return 1
    fi
    # An unmapped COM1 is this machine's /dev/ttyS0: nothing is sent before all hold.
    for mapping in "${ports[@]}"; do
        port=${mapping%%=*}
        [ "$(readlink "$WINEPREFIX/dosdevices/${port,,}")" = "${mapping#*=}" ] ||
            { echo "prefix $name: Wine's $port is not ${mapping#*=}" >&2; return 1; }
    done
}

# A prefix is made twice at most: a CI machine once failed one with nothing
# said; a failed first attempt is printed in full, then the prefix made afresh.
rm -f "$work/prefix-$name".*.log
for attempt in 1 2; do
    log=$work/prefix-$name.$attempt.log
    if make_prefix; then
        echo "prefix $name ready"
        exit 0
    fi
    echo "prefix $name: attempt $attempt failed" >&2
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
done
exit 1
