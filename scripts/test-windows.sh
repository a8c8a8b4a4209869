#!/bin/bash
# make test-windows: the Windows programs of `make windows` under Wine 8,
# headless (an Xvfb display for Wine), each part in a fresh Wine prefix under
# the build folder:
#   1. the test suites that need no Linux pseudo-terminal, as Windows programs
#      (CTest, through scripts/wine-run.sh);
#   2. the link: zel-sim on the Linux side, Wine's COM1 and COM7 mapped to its
#      pseudo-terminal, torsa-cli.exe programs, verifies, reads and tests the
#      unit with the texts and exit statuses of Linux, lists the ports, shows its
#      texts exactly on a console, and the window programs and verifies it once
#      through COM7, an item beyond COM4 (tests/windows/windows_link.cpp);
#   3. the setup program: a silent install, the installed program shows its
#      window, the uninstaller leaves nothing behind.
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
linux_cli=$linux_build/tools/torsa-cli/torsa-cli
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
check "test suites" eval '(cd "$build" && ctest --output-on-failure -j2)'
wineserver -k || true

# ------------------------------------------------------------------ 2. link
echo "== 2. the link through Wine's COM1"
new_prefix link
link=$work/zel-unit
# COM1 is the simulator's link (a stable name over each new pseudo-terminal),
# and so is COM7, a number beyond the four COM items, as Windows gives a USB
# adapter; COM9 a device that does not exist. Ports are mapped through the registry:
# Wine rewrites its dosdevices links from there whenever the wineserver starts.
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$link" /f >/dev/null
wine reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$link" /f >/dev/null
wine reg add 'HKLM\Software\Wine\Ports' /v COM9 /d "$work/no-such-port" /f >/dev/null
wineserver -k || true   # no server left running is fine
# Kept running, so that the mapping stays as checked below. Quiet: it prints a
# dump of its objects each time a simulator ends.
wineserver -p >/dev/null 2>&1

com1_mapped() {
    [ "$(readlink "$WINEPREFIX/dosdevices/com1")" = "$link" ] &&
        wine reg query 'HKLM\Software\Wine\Ports' /v COM1 | grep -qF "$link"
}
wine cmd /c exit   # starts Wine's services, which map the ports
# An unmapped COM1 is this machine's /dev/ttyS0: nothing is sent before this holds.
if ! com1_mapped; then
    echo "FAIL   Wine's COM1 is $(readlink "$WINEPREFIX/dosdevices/com1"), not $link" >&2
    exit 1
fi

sim_pid=
start_sim() {   # ZEL_SIM_OPTIONS...
    rm -f "$link" "$work/sim.out"
    "$zel_sim" --link "$link" "$@" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    pids+=("$sim_pid")
    local tries=0
    until [ -s "$work/sim.out" ] && [ -e "$link" ]; do
        tries=$((tries + 1)); [ $tries -lt 200 ] || return 1; sleep 0.05
    done
}
stop_sim() { kill -TERM "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; }

image=$work/messages.zel
cp "$root/samples/demo.zel" "$image"
unit=$work/unit.zel
cp "$image" "$unit"
printf '\x01' | dd of="$unit" bs=1 seek=5000 conv=notrunc status=none

cli_row() {   # NAME EXIT EXPECTED_STDERR 'SIM OPTIONS' ARGUMENTS...
    local name=$1 exit_expected=$2 err_expected=$3 sim_options=$4
    shift 4
    # shellcheck disable=SC2086
    start_sim $sim_options || { echo "zel-sim did not start" >&2; return 1; }
    com1_mapped || { echo "COM1 is no longer mapped to zel-sim" >&2; stop_sim; return 1; }
    local status=0
    env "${cli_env[@]}" wine "$build/torsa-cli.exe" "$@" 2>"$work/cli.err" >"$work/cli.out" || status=$?
    stop_sim
    local err
    err=$(cat "$work/cli.err"; echo x)
    err=${err%x}
    if [ "$status" != "$exit_expected" ] || [ "$err" != "$err_expected" ]; then
        echo "    exit $status (expected $exit_expected), stderr:" >&2
        cat -A "$work/cli.err" >&2
        return 1
    fi
}

communication=$'Problème de communication !\r\nEssayez à nouveau .\n'
connection=$'Problème de connexion !\r\nVérifier le câble et le port COM choisi .\n'
cli_env=()
time_start=$(date +%s%3N)
check "program through COM1" cli_row program 0 $'Programmation terminée avec succés !\n' "--save $work/sim-unit.zel" \
    program "$(windows_path "$image")" --port COM1
time_end=$(date +%s%3N)
check "unit holds the file" cmp "$image" "$work/sim-unit.zel"
check "verify through COM1" cli_row verify 0 $'Vérification terminée avec succés !\n' "--load $image" \
    verify "$(windows_path "$image")" --port COM1
check "read through COM1" cli_row read 0 \
    $'Centrale de défauts :\n\rAvec automate.\n\r156 messages vides.Lecture terminée avec succés !\n' \
    "--load $image" read "$(windows_path "$work/back.zel")" --port COM1
check "read gives the unit's bytes" cmp "$image" "$work/back.zel"
cli_env=(TORSA_COM2=COM1)
check "link test, COM2 pinned to COM1" cli_row test 0 $'Vérification terminé avec succés !\n' "" test --port COM2
cli_env=()
check "verify, one cell differs" cli_row verify 2 \
    $'Erreur Vérification !\r\nReprogrammez à nouveau .(Err: 5000)\nAdresse 5000 : octet attendu 0, octet lu 1\n' \
    "--load $unit" verify "$(windows_path "$image")" --port COM1
check "link test, unit silent" cli_row test 1 "$connection" "--silent-from 0" test --port COM1
check "program, unit dies" cli_row program 1 "$communication"$'L\'unité ne répond plus à l\'adresse 300\n' "--die-at 300" \
    program "$(windows_path "$image")" --port COM1
check "port that cannot be opened" cli_row open 3 $'L\'ouverture du port COM9 à échouée !\n' "" \
    test --port COM9
echo "figure: torsa-cli.exe program, all 8192 addresses through Wine, unpaced:" \
     "$(awk "BEGIN { printf \"%.1f\", ($time_end - $time_start) / 1000 }") s (zel-sim start included)"

# list and export write the bytes Linux writes (no CR added before LF).
for command in list export; do
    "$linux_cli" "$command" "$root/samples/demo.zel" >"$work/$command.linux"
    wine "$build/torsa-cli.exe" "$command" "$(windows_path "$root/samples/demo.zel")" >"$work/$command.windows"
    check "$command: the bytes of Linux" cmp "$work/$command.linux" "$work/$command.windows"
done

check "ports: COM7 listed" eval 'wine "$build/torsa-cli.exe" ports | grep -q "^COM7 "'

# On a terminal Wine gives the program a console (script provides the
# terminal): the texts must come out exactly, whatever the console's code page.
console_row() {
    start_sim || return 1
    local status=0
    LC_ALL=C.UTF-8 script -qec "wine '$build/torsa-cli.exe' program '$(windows_path "$image")' --port COM1" \
        /dev/null </dev/null >"$work/console.out" 2>&1 || status=$?
    stop_sim
    [ "$status" = 0 ] && grep -qF 'Programmation terminée avec succés !' "$work/console.out" ||
        { echo "    exit $status, console:" >&2; cat -A "$work/console.out" >&2; return 1; }
}
check "console: the French texts exactly" console_row

start_sim
com1_mapped || { echo "COM1 is no longer mapped to zel-sim" >&2; exit 1; }
check "window: program and verify through COM7, a port already open" \
    env QT_QPA_PLATFORM=offscreen "$root/scripts/wine-run.sh" "$build/tests/windows/windows_link.exe"
stop_sim
wineserver -k || true

# ------------------------------------------------------------------ 3. setup
echo "== 3. the setup program"
new_prefix setup
drive=$WINEPREFIX/drive_c
installed=$drive/"Program Files"/TORSA
snapshot() { (cd "$drive" && find . -path ./windows -prune -o -path ./users -prune -o -print | sort); }
registry() { wine reg query "$1" "${@:2}" >/dev/null 2>&1; }
snapshot >"$work/before.txt"

wine "$build/torsa-$version-setup.exe" /S
wineserver -w
check "installed: every file" diff <(cd "$build" && sort deployed.txt; echo uninstall.exe) \
    <(cd "$installed" && find . -type f | sed 's|^\./||' | sort)
check "installed: Start menu entry" test -f "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/TORSA.lnk"
check "installed: .zel type" eval "wine reg query 'HKLM\\Software\\Classes\\.zel' /ve | grep -q TORSA.ProductionFile"
check "installed: type name" eval "wine reg query 'HKLM\\Software\\Classes\\TORSA.ProductionFile' /ve |
    grep -q 'Fichier de production TORSA'"
check "installed: type icon" eval "wine reg query 'HKLM\\Software\\Classes\\TORSA.ProductionFile\\DefaultIcon' /ve |
    grep -qi 'TORSA\\\\torsa.exe,0'"
check "installed: in the system's apps" eval "wine reg query \
    'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TORSA' /v DisplayVersion | grep -q '$version'"

# The installed program, as the Start-menu entry starts it: its window shows
# and it keeps running.
(cd "$installed" && exec wine torsa.exe) >"$work/torsa.log" 2>&1 &
torsa_pid=$!
pids+=("$torsa_pid")
window_shown() {   # mapped on the display, the program still running
    local tries=0 id
    until id=$(xwininfo -root -tree 2>/dev/null | awk '/" TORSA"/ { print $1; exit }') && [ -n "$id" ] &&
          xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; do
        tries=$((tries + 1)); [ $tries -lt 300 ] || return 1; sleep 0.1
    done
    kill -0 "$torsa_pid"
}
check "installed program shows its window" window_shown
# A picture of it, for people to look at (a moment for it to be drawn).
mkdir -p "$build/screenshots"
sleep 2
import -window root "$build/screenshots/installed-startup.png" 2>/dev/null || true
kill "$torsa_pid" 2>/dev/null || true
wait "$torsa_pid" 2>/dev/null || true
wineserver -k || true

wine "$installed/uninstall.exe" /S
wineserver -w
check "uninstalled: no file left" diff "$work/before.txt" <(snapshot)
check "uninstalled: no file type" eval "! registry 'HKLM\\Software\\Classes\\.zel' && ! registry 'HKLM\\Software\\Classes\\TORSA.ProductionFile'"
check "uninstalled: not in the system's apps" eval "! registry 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TORSA'"
wineserver -k || true

echo "figure: make test-windows took $(( $(date +%s) - start )) s"
echo "test-windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
