#!/bin/bash
# On a terminal Wine gives the program a console (script provides the
# terminal): the texts must come out exactly, whatever the console's code page.
. "$(dirname "$0")/common.sh" link
start_sim "$unit_link"
status=0
LC_ALL=C.UTF-8 script -qec "wine '$build/torsa-cli.exe' program '$(windows_path "$root/samples/demo.zel")' --port COM1" \
    /dev/null </dev/null >"$work/console.out" 2>&1 || status=$?
[ "$status" = 0 ] && grep -qF 'Programmation terminée avec succés !' "$work/console.out" ||
    { echo "exit $status, console:" >&2; cat -A "$work/console.out" >&2; exit 1; }
