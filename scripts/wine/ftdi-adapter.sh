#!/bin/bash
# An FTDI adapter as the registry describes it (COM7's PortName, its
# LatencyTimer 16) before a simulator that releases its answers at the ticks of
# a 16 ms timer: `ports` shows the timer, a link test warns with the figures
# and what to do, and `latency COM7 1` writes 1 into the key.
. "$(dirname "$0")/common.sh" link
ftdi_key='HKLM\SYSTEM\CurrentControlSet\Enum\FTDIBUS\VID_0403+PID_6001+A50285BIA\0000\Device Parameters'
wine reg add "$ftdi_key" /v PortName /d COM7 /f >/dev/null
wine reg add "$ftdi_key" /v LatencyTimer /t REG_DWORD /d 16 /f >/dev/null
start_sim "$unit_link" --baud 9600 --adapter-latency 16
status=0
wine "$build/torsa-cli.exe" ports >"$work/ports.out" 2>&1 || status=$?
wine "$build/torsa-cli.exe" test --port COM7 >"$work/adapter.out" 2>&1 || status=$?
end_sims
wine "$build/torsa-cli.exe" latency COM7 1 >>"$work/adapter.out" 2>&1 || status=$?
[ "$status" = 0 ] && grep -qE '^COM7 .*latence 16 ms' "$work/ports.out" &&
    grep -qF 'Liaison lente : ' "$work/adapter.out" &&
    grep -qF 'temps de latence est de 16 ms' "$work/adapter.out" &&
    grep -qF 'torsa-cli latency COM7 1' "$work/adapter.out" &&
    grep -qF 'Temps de latence de COM7 mis à 1 ms' "$work/adapter.out" &&
    wine reg query "$ftdi_key" /v LatencyTimer | grep -qE 'REG_DWORD +0x1\b' ||
    { echo "exit $status; ports, the test, latency:" >&2; cat "$work/ports.out" "$work/adapter.out" >&2; exit 1; }
