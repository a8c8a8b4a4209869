#!/bin/bash
# The installed program, as the Start-menu entry starts it: its window is
# mapped on the display and the program keeps running; a picture of it is
# left in screenshots/ for people to look at.
. "$(dirname "$0")/common.sh" setup
. "$(dirname "$0")/setup-common.sh"
(cd "$installed" && exec wine torsa.exe) >"$work/torsa.log" 2>&1 &
torsa=$!
trap 'kill "$torsa" 2>/dev/null; wait "$torsa" 2>/dev/null || true' EXIT
tries=0
until id=$(xwininfo -root -tree 2>/dev/null | awk '/" TORSA"/ { print $1; exit }') && [ -n "$id" ] &&
      xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; do
    tries=$((tries + 1)); [ $tries -lt 300 ] || { echo "no TORSA window shown" >&2; exit 1; }; sleep 0.1
done
kill -0 "$torsa" 2>/dev/null || { echo "torsa.exe ended:" >&2; cat "$work/torsa.log" >&2; exit 1; }
mkdir -p "$build/screenshots"
sleep 2   # a moment for it to be drawn
import -window root "$build/screenshots/installed-startup.png" 2>/dev/null || true
