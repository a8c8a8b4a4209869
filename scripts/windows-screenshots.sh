#!/bin/bash
# Pictures of torsa.exe under Wine, as a technician sees it: in Wine's own
# desktop window (title bars drawn by Wine), at 100 % and at 150 %, opening
# the sample through "&Fichier" > "Ouvrir" with the keyboard (xdotool).
#
#   scripts/windows-screenshots.sh [BUILD_DIR]    (default build-windows, after make windows)
#
# The program runs from BUILD_DIR/install, the installation the packages hold.
# Writes BUILD_DIR/screenshots/wine-{startup,open-report,sample,configure-menu}-{100,150}.png.
set -euo pipefail

if [ -z "${TORSA_SCREENSHOTS_DISPLAY:-}" ]; then
    export TORSA_SCREENSHOTS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

build=$(cd "${1:-build-windows}" && pwd)
out=$build/screenshots
mkdir -p "$out"
export WINEPREFIX=$build/wine-screenshots WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
# The fonts Wine lacks, as in scripts/wine/prefix.sh.
for replacement in 'Courier New=Liberation Mono' 'Microsoft Sans Serif=Liberation Sans' 'Tahoma=Liberation Sans'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${replacement%%=*}" /d "${replacement#*=}" /f >/dev/null
done
# A port beyond COM4, as Windows numbers a USB adapter, for the "&Configurer"
# picture (the menu lists the ports Wine maps; nothing is opened).
wine reg add 'HKLM\Software\Wine\Ports' /v COM7 /d /dev/null /f >/dev/null
wineserver -w

picture() {   # NAME WIDTH HEIGHT
    import -window root -crop "$2x$3+0+0" +repage "$out/$1.png"
}

for scale in 100 150; do
    width=$((560 * scale / 100))
    height=$((400 * scale / 100))
    export WINEQT_SCALE_FACTOR=$(awk "BEGIN { print $scale / 100 }")
    (cd "$build/install/exemples" && exec wine explorer /desktop=TORSA,"${width}x${height}" \
        "Z:${build//\//\\}\\install\\torsa.exe") >/dev/null 2>&1 &
    for _ in $(seq 150); do xdotool search --name '^ TORSA$' >/dev/null 2>&1 && break; sleep 0.2; done
    # Each step is given time to be drawn: these are pictures, not tests.
    sleep 2
    picture "wine-startup-$scale" "$width" "$height"
    xdotool key alt+f; sleep 0.7; xdotool key Down; sleep 0.3; xdotool key Return; sleep 1.5
    xdotool type --delay 50 demo.zel; sleep 0.3; xdotool key Return; sleep 1.5
    picture "wine-open-report-$scale" "$width" "$height"
    xdotool key Return; sleep 1.5
    picture "wine-sample-$scale" "$width" "$height"
    xdotool key alt+c; sleep 1
    picture "wine-configure-menu-$scale" "$width" "$height"
    wineserver -k || true
    sleep 1
done
ls "$out"
