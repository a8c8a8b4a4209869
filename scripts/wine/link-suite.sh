#!/bin/bash
# The Linux build's link suite with torsa-cli.exe under Wine as the program
# under test, each of its simulators behind the first free one of COM10 to COM17.
. "$(dirname "$0")/common.sh" link
IFS=';'
# Each byte command costs Wine a millisecond or two more: the station's six
# units take minutes on a loaded machine, past Qt Test's 5 minutes a function.
QTEST_FUNCTION_TIMEOUT=900000 TORSA_TEST_PORTS="${suite_ports[*]}" TORSA_TEST_CLI="wine \"$build/torsa-cli.exe\"" QT_QPA_PLATFORM=offscreen \
    "$linux_build/tests/test_link_cli"
