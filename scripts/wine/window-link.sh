#!/bin/bash
# The window opens COM1, then COM7 while COM1 is open, and programs and
# verifies the unit through COM7 (tests/windows/windows_link.cpp).
. "$(dirname "$0")/common.sh" link
start_sim "$unit_link"
QT_QPA_PLATFORM=offscreen "$root/scripts/wine-run.sh" "$build/tests/windows/windows_link.exe"
