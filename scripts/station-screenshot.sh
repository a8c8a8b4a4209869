#!/usr/bin/env bash
# The README's picture of the station window: torsa-station at 4 ports mid-run,
# under Xvfb. Line 1 is unpaced (its unit done well, still on the line), line 2
# has a worn cell (failed at its verification), lines 3 and 4 are paced at
# 38400 baud (in progress). Usage: station-screenshot.sh BUILD_DIR OUT.png [SECONDS]
set -euo pipefail

if [ -z "${TORSA_SCREENSHOT_DISPLAY:-}" ]; then
    export TORSA_SCREENSHOT_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

build=$(cd "${1:?usage: station-screenshot.sh BUILD_DIR OUT.png [SECONDS]}" && pwd)
out=$(realpath -m "${2:?usage: station-screenshot.sh BUILD_DIR OUT.png [SECONDS]}")
seconds=${3:-12}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
sims=()
cleanup() {
    for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "${station:-}" ] && kill "$station" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

sim_options() {   # LINE
    case $1 in
        1) echo ;;
        2) echo --stuck-cell 1:100 ;;
        *) echo --baud 38400 ;;
    esac
}
for line in 1 2 3 4; do
    # shellcheck disable=SC2046
    "$build/tools/zel-sim/zel-sim" --link "$work/ligne$line" $(sim_options $line) >/dev/null 2>&1 &
    sims+=("$!")
done
for line in 1 2 3 4; do
    for _ in $(seq 100); do [ -e "$work/ligne$line" ] && break; sleep 0.05; done
done

cd "$work"
cp "$root/samples/demo.zel" ligne3.zel
"$build/tools/torsa-station/torsa-station" ligne3.zel --port ./ligne1 --port ./ligne2 --port ./ligne3 \
    --port ./ligne4 --log production.csv &
station=$!
sleep "$seconds"
window=$(xwininfo -name "TORSA - Station de production" | awk '/Window id:/ { print $4 }')
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
