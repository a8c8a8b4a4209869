#!/bin/bash
# Eight units on a console of 60 columns and 6 rows: Windows gives its size, so
# the board drops the activity to fit the width and, with more units than rows,
# shows the units in progress over a totals line.
. "$(dirname "$0")/common.sh" link
ports=() units=${#suite_ports[@]}
for mapping in "${suite_ports[@]}"; do
    start_sim "${mapping#*=}" --baud 9600
    ports+=(--port "${mapping%%=*}")
done
out=$work/board.out
drawn() {   # the totals line and a unit's line without its activity
    grep -qF "$units unités : $units en cours" "$out" &&
        grep -qE "COM[0-9]+ +[0-9]+%  effectuée  Temps écoulé" "$out"
}
LC_ALL=C.UTF-8 script -qec "stty cols 60 rows 6; wine '$build/torsa-cli.exe' program \
    '$(windows_path "$root/samples/demo.zel")' --verify ${ports[*]}" /dev/null </dev/null >"$out" 2>&1 &
console=$!
# Until the board has been drawn, a minute at most (Wine is slow to start).
tries=0
until drawn || [ $tries -ge 600 ]; do tries=$((tries + 1)); sleep 0.1; done
kill "$console" 2>/dev/null || true
wait "$console" 2>/dev/null || true
drawn && ! grep -qF "en cours..." "$out" || { echo "console:" >&2; tail -c 2000 "$out" | cat -A >&2; exit 1; }
