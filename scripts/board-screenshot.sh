#!/bin/bash
# `make board-screenshot`: the board of a production run as a technician sees
# it, `torsa-cli program --verify` on 32 simulated lines in an 80x24 xterm under
# Xvfb: most units at 9600 baud and programming, a few at 115200 already
# verified, one with a worn cell and one that stops answering mid-programming.
#
#   scripts/board-screenshot.sh BUILD_DIR OUT.png [SECONDS]
#
# SECONDS (default 30) is how long the run goes on before the picture.
set -euo pipefail

if [ -z "${TORSA_SCREENSHOT_DISPLAY:-}" ]; then
    export TORSA_SCREENSHOT_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

build=$(cd "${1:?usage: board-screenshot.sh BUILD_DIR OUT.png [SECONDS]}" && pwd)
out=$(realpath -m "${2:?usage: board-screenshot.sh BUILD_DIR OUT.png [SECONDS]}")
seconds=${3:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
sims=()
cleanup() {
    for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "${term:-}" ] && kill "$term" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Each line's simulator, its options by line number.
sim_options() {   # LINE
    case $1 in
        3|11|20) echo --baud 115200 ;;
        7) echo --baud 115200 --stuck-cell 1:100 ;;
        15) echo --baud 9600 --silent-from 1500 ;;
        *) echo --baud 9600 ;;
    esac
}
for line in $(seq -w 1 32); do
    # shellcheck disable=SC2046
    "$build/tools/zel-sim/zel-sim" --link "$work/ligne$line" $(sim_options $((10#$line))) \
        >/dev/null 2>&1 &
    sims+=("$!")
done
for line in $(seq -w 1 32); do
    for _ in $(seq 100); do [ -e "$work/ligne$line" ] && break; sleep 0.05; done
done

# Short names, as a bench's own would be ("./": a bare name is taken under /dev).
cd "$work"
ln -s "$root/samples/demo.zel" ligne3.zel
command=("$build/tools/torsa-cli/torsa-cli" program ligne3.zel --verify)
for line in $(seq -w 1 32); do command+=(--port "./ligne$line"); done
xterm -T torsa-board -geometry 80x24+0+0 -fa 'DejaVu Sans Mono' -fs 11 -bg white -fg black \
    -e "${command[@]}" &
term=$!
sleep "$seconds"
window=$(xwininfo -name torsa-board | awk '/Window id:/ { print $4 }')
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "board-screenshot: $out"
