#!/bin/bash
# make test-windows: the Windows programs of `make windows` under Wine 8,
# headless (an Xvfb display for Wine), each part in a fresh Wine prefix under
# the build folder:
#   1. the test suites that need no Linux pseudo-terminal, as Windows programs
#      (CTest, through scripts/wine-run.sh);
#   2. the link: zel-sim on the Linux side behind Wine's COM ports; the Linux
#      build's tests/test_link_cli.cpp with torsa-cli.exe as the program under
#      test, through COM10 to COM17; torsa-cli.exe's texts exactly on a console,
#      and its board fitted to a console of 60x6;
#      and the window programming and verifying a unit through COM7, an item
#      beyond COM4 (tests/windows/windows_link.cpp);
#   3. the setup program: a silent install, the installed program shows its
#      window, a double-click on a .zel opens it there, the uninstaller leaves
#      nothing behind.
#
#   scripts/test-windows.sh [WINDOWS_BUILD_DIR] [LINUX_BUILD_DIR]
#
# Wine 8.0 (Debian 12's) carries a transfer on a pseudo-terminal; Wine 10's
# WaitCommEvent fails on a device without modem lines, so other versions are
# refused rather than failing half way.
set -euo pipefail

# One X display of its own for whatever Wine shows; Qt's test windows are offscreen.
if [ -z "${TORSA_TEST_WINDOWS_DISPLAY:-}" ]; then
    export TORSA_TEST_WINDOWS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build-windows}" && pwd)
linux_build=$(cd "${2:-build}" && pwd)
zel_sim=$linux_build/tools/zel-sim/zel-sim
prefix=$("$root/scripts/build-windows-qt.sh" --prefix)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
start=$(date +%s)

case $(wine --version) in
    wine-8.*) ;;
    *) echo "test-windows needs Wine 8 (Debian 12's wine64), not $(wine --version):" \
            "Wine 10 cannot carry a transfer on a pseudo-terminal" >&2
       exit 1 ;;
esac

work=$build/wine
rm -rf "$work"
mkdir -p "$work"
export WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko download prompts; no menu entries written into the host's
# desktop by the setup program's shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The test programs' DLLs: Qt's and MinGW's, where the build took them from.
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
export WINEPATH="$(windows_path "$prefix/bin");$(windows_path "$mingw_runtime");$(windows_path /usr/x86_64-w64-mingw32/lib)"

passed=0
failed=0
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for wine_prefix in "$work"/prefix-*; do
        [ -d "$wine_prefix" ] && WINEPREFIX=$wine_prefix wineserver -k 2>/dev/null || true
    done
}
trap cleanup EXIT

check() {   # NAME COMMAND...: one check, counted
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1)); echo "ok      $name"
    else
        failed=$((failed + 1)); echo "FAILED  $name"
    fi
}

new_prefix() {   # NAME: a fresh Wine prefix, made current
    export WINEPREFIX=$work/prefix-$1
    wineboot --init >/dev/null 2>&1
    # Wine has neither Courier New nor Microsoft Sans Serif (the captions' font),
    # and finds none of its own fonts here, Tahoma (its menus' font) among them:
    # Liberation Mono and Liberation Sans, which it finds through fontconfig,
    # stand in.
    for replacement in 'Courier New=Liberation Mono' 'Microsoft Sans Serif=Liberation Sans' \
                       'Tahoma=Liberation Sans'; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${replacement%%=*}" \
            /d "${replacement#*=}" /f >/dev/null
    done
    # A crash prints its backtrace and ends the program instead of waiting
    # for someone to close a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    wineserver -w
}

# ------------------------------------------------------------------ 1. suites
ctest_under_wine() { (cd "$build" && ctest --output-on-failure -j2); }

echo "== 1. test suites under Wine"
new_prefix suites
# The offscreen plugin reads the fonts of one folder: those of the Qt prefix,
# and Wine's MS Sans Serif for the window's captions (on Windows the system's).
mkdir -p "$work/fonts"
cp "$prefix"/lib/fonts/* /usr/share/wine/fonts/ms_sans_serif.ttf "$work/fonts/"
export QT_QPA_FONTDIR
QT_QPA_FONTDIR=$(windows_path "$work/fonts")
# The program for .doc files that "&Aide" must start: it copies the document
# it is given to %TEMP%\aide-ouverte.doc. Machine-wide, as a word processor's
# setup program registers it: Wine 8 does not look at the user's classes.
wine reg add 'HKLM\Software\Classes\.doc' /ve /d TorsaTest.Document /f >/dev/null
wine reg add 'HKLM\Software\Classes\TorsaTest.Document\shell\open\command' /ve \
    /d 'cmd.exe /c copy /y "%1" "%TEMP%\aide-ouverte.doc"' /f >/dev/null
check "test suites" ctest_under_wine
wineserver -k || true

# ------------------------------------------------------------------ 2. link
map_ports() {   # COMn=LINK...: Wine's ports to these links, checked
    local mapping port
    # Through the registry: Wine rewrites its dosdevices links from there
    # whenever the wineserver starts.
    for mapping in "$@"; do
        wine reg add 'HKLM\Software\Wine\Ports' /v "${mapping%%=*}" /d "${mapping#*=}" /f >/dev/null
    done
    wineserver -k || true   # no server left running is fine
    # Kept running, so that the mapping stays as checked below. Quiet: it prints
    # a dump of its objects each time a simulator ends.
    wineserver -p >/dev/null 2>&1
    wine cmd /c exit   # starts Wine's services, which map the ports
    # An unmapped COM1 is this machine's /dev/ttyS0: nothing is sent before all hold.
    for mapping in "$@"; do
        port=${mapping%%=*}
        [ "$(readlink "$WINEPREFIX/dosdevices/${port,,}")" = "${mapping#*=}" ] ||
            { echo "FAIL   Wine's $port is not ${mapping#*=}" >&2; return 1; }
    done
}

sim_pid=
start_sim() {   # zel-sim behind $link
    rm -f "$link" "$work/sim.out"
    "$zel_sim" --link "$link" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    pids+=("$sim_pid")
    local tries=0
    until [ -s "$work/sim.out" ] && [ -e "$link" ]; do
        tries=$((tries + 1)); [ $tries -lt 200 ] || return 1; sleep 0.05
    done
}
stop_sim() { kill -TERM "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; }

# The Linux suite starts its own simulators, each behind the first free one of
# the ports it is given, and torsa-cli.exe as the program under test.
link_suite() {   # COMn=LINK...
    local IFS=';'
    TORSA_TEST_PORTS="$*" TORSA_TEST_CLI="wine \"$build/torsa-cli.exe\"" QT_QPA_PLATFORM=offscreen \
        "$linux_build/tests/test_link_cli"
}

# On a terminal Wine gives the program a console (script provides the
# terminal): the texts must come out exactly, whatever the console's code page.
console_program() {
    start_sim || return 1
    local status=0
    LC_ALL=C.UTF-8 script -qec "wine '$build/torsa-cli.exe' program '$(windows_path "$root/samples/demo.zel")' --port COM1" \
        /dev/null </dev/null >"$work/console.out" 2>&1 || status=$?
    stop_sim
    [ "$status" = 0 ] && grep -qF 'Programmation terminée avec succés !' "$work/console.out" ||
        { echo "    exit $status, console:" >&2; cat -A "$work/console.out" >&2; return 1; }
}

# Eight units on a console of 60 columns and 6 rows: Windows gives its size,
# so the board drops the activity to fit the width and, with more units than
# rows, shows the units in progress over a totals line.
console_board() {   # COMn=LINK...
    local mapping ports=() sims=() status=0 tries=0
    for mapping in "$@"; do
        rm -f "${mapping#*=}"
        "$zel_sim" --baud 9600 --link "${mapping#*=}" >/dev/null 2>&1 &
        sims+=("$!")
        ports+=(--port "${mapping%%=*}")
    done
    pids+=("${sims[@]}")
    for mapping in "$@"; do
        until [ -e "${mapping#*=}" ]; do
            tries=$((tries + 1)); [ $tries -lt 200 ] || return 1; sleep 0.05
        done
    done
    LC_ALL=C.UTF-8 script -qec "stty cols 60 rows 6; wine '$build/torsa-cli.exe' program \
        '$(windows_path "$root/samples/demo.zel")' --verify ${ports[*]}" /dev/null </dev/null \
        >"$work/board.out" 2>&1 &
    local console=$!
    # Until the board has been drawn, a minute at most (Wine is slow to start).
    tries=0
    until board_drawn "$#" || [ $tries -ge 600 ]; do tries=$((tries + 1)); sleep 0.1; done
    kill "$console" "${sims[@]}" 2>/dev/null || true
    wait "$console" "${sims[@]}" 2>/dev/null || true
    board_drawn "$#" && ! grep -qF "en cours..." "$work/board.out" ||
        { echo "    console:" >&2; tail -c 2000 "$work/board.out" | cat -A >&2; status=1; }
    return "$status"
}
board_drawn() {   # UNITS: the totals line and a unit's line without its activity
    grep -qF "$1 unités : $1 en cours" "$work/board.out" &&
        grep -qE "COM[0-9]+ +[0-9]+%  effectuée  Temps écoulé" "$work/board.out"
}

# The window opens COM1, then COM7 while COM1 is open, and programs and
# verifies the unit through COM7.
window_link() {
    start_sim || return 1
    local status=0
    QT_QPA_PLATFORM=offscreen "$root/scripts/wine-run.sh" "$build/tests/windows/windows_link.exe" || status=$?
    stop_sim
    return "$status"
}

echo "== 2. the link through Wine's COM ports"
new_prefix link
# COM1 and COM7 are one simulator's link (a stable name over each new
# pseudo-terminal), COM7 a number beyond the four COM items, as Windows gives
# a USB adapter; COM10 to COM17 the suite's simulators.
link=$work/zel-unit
suite_ports=()
for n in $(seq 10 17); do suite_ports+=("COM$n=$work/com$n"); done
map_ports "COM1=$link" "COM7=$link" "${suite_ports[@]}"
check "link suite: torsa-cli.exe through COM10 to COM17" link_suite "${suite_ports[@]}"
check "console: the French texts exactly" console_program
check "console: the board fits 60x6" console_board "${suite_ports[@]}"
check "window: program and verify through COM7, a port already open" window_link
wineserver -k || true

# ------------------------------------------------------------------ 3. setup
reg_holds() {   # KEY VALUE TEXT: the key's VALUE (its default when "") holds TEXT
    local key=$1 value=$2 text=$3
    if [ -z "$value" ]; then set -- /ve; else set -- /v "$value"; fi
    wine reg query "$key" "$@" 2>/dev/null | grep -qiF "$text"
}
no_key() { ! wine reg query "$1" >/dev/null 2>&1; }
snapshot() { (cd "$drive" && find . -path ./windows -prune -o -path ./users -prune -o -print | sort); }

# The installed program, as the Start-menu entry starts it: its window is
# mapped on the display and the program keeps running.
installed_program_shows() {
    (cd "$installed" && exec wine torsa.exe) >"$work/torsa.log" 2>&1 &
    local torsa_pid=$! tries=0 id shown=0
    pids+=("$torsa_pid")
    until id=$(xwininfo -root -tree 2>/dev/null | awk '/" TORSA"/ { print $1; exit }') && [ -n "$id" ] &&
          xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; do
        tries=$((tries + 1)); [ $tries -lt 300 ] || { shown=1; break; }; sleep 0.1
    done
    kill -0 "$torsa_pid" 2>/dev/null || shown=1
    # A picture of it, for people to look at (a moment for it to be drawn).
    if [ "$shown" = 0 ]; then
        mkdir -p "$build/screenshots"
        sleep 2
        import -window root "$build/screenshots/installed-startup.png" 2>/dev/null || true
    fi
    kill "$torsa_pid" 2>/dev/null || true
    wait "$torsa_pid" 2>/dev/null || true
    return "$shown"
}

# A double-click on a production file in a folder whose name has a blank, as
# Explorer does it: the shell runs the type's open verb with the file. The
# installed program opens it and shows its report, which the box gives to the
# clipboard on Ctrl+C (Wine hands it to X).
double_click_opens() {
    local folder="$drive/users/Public/Production TORSA" box tries=0 status=1
    mkdir -p "$folder"
    cp "$root/samples/demo.zel" "$folder/ligne 3.zel"
    (cd "$drive" && exec wine start /unix "$folder/ligne 3.zel") >"$work/start.log" 2>&1 &
    pids+=("$!")
    until box=$(xdotool search --name '^TORSA$' 2>/dev/null | head -1) && [ -n "$box" ]; do
        tries=$((tries + 1)); [ $tries -lt 600 ] || { echo "    no box" >&2; return 1; }; sleep 0.1
    done
    sleep 2   # drawn, with the keyboard focus
    xdotool windowfocus "$box" 2>/dev/null || true
    xdotool key ctrl+c
    sleep 1
    xclip -o -selection clipboard >"$work/box.txt" 2>/dev/null || true
    grep -qF 'Lecture terminée avec succés !' "$work/box.txt" && grep -qF '156 messages vides.' "$work/box.txt" &&
        status=0 || { echo "    the box:" >&2; cat "$work/box.txt" >&2; }
    wineserver -k || true
    return "$status"
}

setup_program() {
    local classes='HKLM\Software\Classes'
    local apps='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TORSA'
    new_prefix setup
    drive=$WINEPREFIX/drive_c
    installed=$drive/"Program Files"/TORSA
    snapshot >"$work/before.txt"

    wine "$build/torsa-$version-setup.exe" /S
    wineserver -w
    check "installed: every file" diff <(cd "$build" && sort deployed.txt; echo uninstall.exe) \
        <(cd "$installed" && find . -type f | sed 's|^\./||' | sort)
    check "installed: Start menu entry" test -f "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/TORSA.lnk"
    check "installed: .zel type" reg_holds "$classes\\.zel" "" TORSA.ProductionFile
    check "installed: type name" reg_holds "$classes\\TORSA.ProductionFile" "" 'Fichier de production TORSA'
    check "installed: type icon" reg_holds "$classes\\TORSA.ProductionFile\\DefaultIcon" "" 'TORSA\torsa.exe,0'
    check "installed: open verb" reg_holds "$classes\\TORSA.ProductionFile\\shell\\open\\command" "" \
        '"C:\Program Files\TORSA\torsa.exe" "%1"'
    check "installed: in the system's apps" reg_holds "$apps" DisplayVersion "$version"
    check "installed program shows its window" installed_program_shows
    wineserver -k || true
    check "double-click on a .zel opens it in the installed program" double_click_opens

    wine "$installed/uninstall.exe" /S
    wineserver -w
    check "uninstalled: no file left" diff "$work/before.txt" <(snapshot)
    check "uninstalled: no .zel type" no_key "$classes\\.zel"
    check "uninstalled: no file type" no_key "$classes\\TORSA.ProductionFile"
    check "uninstalled: no open verb" no_key "$classes\\TORSA.ProductionFile\\shell\\open\\command"
    check "uninstalled: not in the system's apps" no_key "$apps"
    wineserver -k || true
}

echo "== 3. the setup program"
setup_program

echo "figure: make test-windows took $(( $(date +%s) - start )) s"
echo "test-windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
