#!/bin/bash
# The wine_display fixture: an Xvfb display of its own for the Wine checks
# (its number in wine/display), and the Wine version they need.
#   scripts/wine/display.sh start|stop
# Wine 8.0 (Debian 12's) carries a transfer on a pseudo-terminal; Wine 10's
# WaitCommEvent fails on a device without modem lines, so other versions are
# refused rather than failing half way.
. "$(dirname "$0")/common.sh" none

if [ "$1" = stop ]; then
    [ -f "$work/xvfb.pid" ] && kill "$(cat "$work/xvfb.pid")" 2>/dev/null
    rm -f "$work/xvfb.pid" "$work/display"
    exit 0
fi
case $(wine --version) in
    wine-8.*) ;;
    *) echo "the Wine checks need Wine 8 (Debian 12's wine64), not $(wine --version):" \
            "Wine 10 cannot carry a transfer on a pseudo-terminal" >&2
       exit 1 ;;
esac
rm -f "$work/display" "$work/display.new"
# Detached, and no pipe of CTest's left open by it.
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display.new" </dev/null >/dev/null 2>&1 &
echo $! >"$work/xvfb.pid"
tries=0
until [ -s "$work/display.new" ]; do
    tries=$((tries + 1)); [ $tries -lt 100 ] || { echo "Xvfb did not start" >&2; exit 1; }; sleep 0.1
done
tr -d '\n' <"$work/display.new" >"$work/display"
echo "display :$(cat "$work/display")"
