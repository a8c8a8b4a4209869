#!/bin/bash
# `make demo`: TORSA without a unit. zel-sim stands for a unit that holds the
# sample production file, COM1 is pinned to it (TORSA_COM1), and the program
# starts in BUILD_DIR/demo, which holds fresh copies of the samples. The
# simulator stops when the program ends and leaves what the unit held in
# BUILD_DIR/demo/unit.zel.
#
#   scripts/demo.sh BUILD_DIR [BAUD]     BAUD paces the line (0: no pacing)
set -euo pipefail

build=$(cd "${1:?usage: demo.sh BUILD_DIR [BAUD]}" && pwd)
baud=${2:-115200}
root=$(cd "$(dirname "$0")/.." && pwd)
demo=$build/demo
unit=$demo/zel-unit

mkdir -p "$demo"
cp -f "$root"/samples/demo*.zel "$root"/samples/demo*.csv "$demo/"
rm -f "$unit"

"$build/tools/zel-sim/zel-sim" --load "$demo/demo.zel" --save "$demo/unit.zel" \
    --link "$unit" --baud "$baud" >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null' EXIT

for _ in $(seq 50); do
    [ -e "$unit" ] && break
    kill -0 $sim 2>/dev/null || { echo "demo: zel-sim did not start"; exit 1; }
    sleep 0.1
done
[ -e "$unit" ] || { echo "demo: zel-sim did not make $unit"; exit 1; }

echo "demo: the simulated unit is COM1 ($unit -> $(readlink "$unit")), ${baud} baud"
echo "demo: the program runs in $demo; \"Ouvrir\" shows demo.zel there"
cd "$demo"
TORSA_COM1=$unit "$build/torsa"
