#!/bin/bash
# Checks the Debian package made by `make package` with lintian (no error, no
# warning), installs it on this machine, checks what it put where, starts the
# installed program under Xvfb, runs the installed torsa-cli against the
# installed zel-sim, then purges the package and checks that nothing of it is
# left. Needs root (dpkg).
#
#   packaging/package-test.sh build/torsa_1.0.0-1_amd64.deb
set -uo pipefail

deb=${1:?usage: package-test.sh PACKAGE.deb}
[ -f "$deb" ] || { echo "package-test: no package $deb (make package)"; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "package-test: needs root (dpkg -i)"; exit 1; }
if dpkg-query -W -f='${Status}' torsa 2>/dev/null | grep -q "ok installed"; then
    echo "package-test: torsa is installed already; remove it first (dpkg --purge torsa)"
    exit 1
fi

# The checks' own tools (lintian, xwininfo, desktop-file-validate) come with
# `make package-test`, xvfb-run with the build's dependencies.
for tool in lintian xwininfo desktop-file-validate xvfb-run; do
    command -v $tool >/dev/null || { echo "package-test: no $tool (make package-test installs it)"; exit 1; }
done

passed=0
failed=0
check() {   # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@" >/tmp/package-test.out 2>&1; then
        passed=$((passed + 1))
        echo "ok    $what"
    else
        failed=$((failed + 1))
        echo "FAIL  $what"
        sed 's/^/      /' /tmp/package-test.out | head -20
    fi
}

files=(
    /usr/bin/torsa
    /usr/bin/torsa-cli
    /usr/bin/zel-sim
    /usr/share/applications/torsa.desktop
    /usr/share/mime/packages/torsa.xml
    /usr/share/icons/hicolor/32x32/apps/torsa.png
    /usr/share/icons/hicolor/64x64/apps/torsa.png
    /usr/share/torsa/AIDE_TORSA.DOC
    /usr/share/man/man1/torsa.1.gz
    /usr/share/man/man1/torsa-cli.1.gz
    /usr/share/man/man1/zel-sim.1.gz
    /usr/share/doc/torsa/changelog.Debian.gz
    /usr/share/doc/torsa/copyright
    /usr/share/doc/torsa/examples/demo.zel
    /usr/share/doc/torsa/examples/demo-sans-automate.zel
    /usr/share/doc/torsa/examples/demo.csv
)

all_present() { for f in "${files[@]}"; do [ -f "$f" ] || { echo "missing $f"; return 1; }; done; }
none_present() { for f in "${files[@]}"; do [ ! -e "$f" ] || { echo "left $f"; return 1; }; done; }

# The program under a virtual display: its main window " TORSA" must show, and
# the program must still run a few seconds later; then it is ended.
program_runs() {
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        cd /tmp && /usr/bin/torsa & pid=$!
        for _ in $(seq 50); do
            xwininfo -root -tree | grep -q "\" TORSA\"" && break
            sleep 0.2
        done
        xwininfo -root -tree | grep "\" TORSA\"" || { echo "no window \" TORSA\""; kill $pid; exit 1; }
        sleep 3
        kill -0 $pid || { echo "the program ended by itself"; exit 1; }
        kill $pid
        wait $pid
        exit 0'
}

# Started with a production file, as the file manager starts it: the report
# of the file ("TORSA", the boxes' title) stands over the window.
program_opens_file() {
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        cd /tmp && /usr/bin/torsa /usr/share/doc/torsa/examples/demo.zel & pid=$!
        for _ in $(seq 50); do
            xwininfo -root -tree | grep -q "\"TORSA\"" && break
            sleep 0.2
        done
        xwininfo -root -tree | grep "\"TORSA\"" || { echo "no report box"; kill $pid; exit 1; }
        kill $pid
        wait $pid
        exit 0'
}

# The file manager's view: *.zel is TORSA's type in the MIME database, and the
# desktop entry is the program for it.
mime_type_opens_with_torsa() {
    grep -qx "application/x-torsa-production:\*\.zel" /usr/share/mime/globs &&
        grep -q "^application/x-torsa-production=.*torsa\.desktop" /usr/share/applications/mimeinfo.cache
}

# The installed torsa-cli programs the installed sample into the installed
# simulator and verifies it.
cli_programs_sim() {
    local dir
    dir=$(mktemp -d)
    /usr/bin/zel-sim --link "$dir/zel" >"$dir/sim.out" &
    local sim=$!
    for _ in $(seq 50); do [ -e "$dir/zel" ] && break; sleep 0.1; done
    /usr/bin/torsa-cli program /usr/share/doc/torsa/examples/demo.zel --port "$dir/zel" &&
        /usr/bin/torsa-cli verify /usr/share/doc/torsa/examples/demo.zel --port "$dir/zel"
    local status=$?
    kill $sim
    wait $sim
    rm -rf "$dir"
    return $status
}

# Debian's own checks of the package, as its archive runs them: any error or
# warning fails (lintian warns about running as root: that is not one).
check "lintian $(basename "$deb")" lintian --fail-on error,warning "$deb"
check "dpkg -i $(basename "$deb")" dpkg -i "$deb"
check "installed files are there" all_present
check "dpkg lists them" bash -c 'dpkg -L torsa | grep -qx /usr/bin/torsa && dpkg -L torsa | grep -qx /usr/share/torsa/AIDE_TORSA.DOC'
check "desktop entry is valid" desktop-file-validate /usr/share/applications/torsa.desktop
check "desktop entry starts torsa on a file, with its icon" bash -c \
    'grep -qx "Exec=torsa %f" /usr/share/applications/torsa.desktop && grep -qx "Icon=torsa" /usr/share/applications/torsa.desktop &&
     grep -qx "MimeType=application/x-torsa-production;" /usr/share/applications/torsa.desktop'
check "*.zel is TORSA's type, opened by its desktop entry" mime_type_opens_with_torsa
check "man pages" bash -c 'zcat /usr/share/man/man1/torsa.1.gz | grep -q "^\.TH TORSA 1" &&
    zcat /usr/share/man/man1/torsa-cli.1.gz | grep -q "^\.TH TORSA\\\\-CLI 1" &&
    zcat /usr/share/man/man1/zel-sim.1.gz | grep -q "^\.TH ZEL\\\\-SIM 1"'
check "copyright file in Debian's format, with TORSA's terms" bash -c \
    'head -1 /usr/share/doc/torsa/copyright | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" &&
     grep -q "^ All rights reserved\.$" /usr/share/doc/torsa/copyright'
check "changelog of this version" bash -c \
    'zcat /usr/share/doc/torsa/changelog.Debian.gz | head -1 | grep -q "^torsa ($(dpkg-query -W -f="\${Version}" torsa))"'
check "torsa-cli --version" bash -c '/usr/bin/torsa-cli --version | grep -qx "torsa-cli [0-9.]*"'
check "zel-sim --help" /usr/bin/zel-sim --help
check "torsa-cli list of the sample" /usr/bin/torsa-cli list /usr/share/doc/torsa/examples/demo.zel
check "torsa-cli programs and verifies zel-sim" cli_programs_sim
check "torsa starts and shows its window under Xvfb" program_runs
check "torsa FILE shows the file's report under Xvfb" program_opens_file
check "dpkg --purge torsa" dpkg --purge torsa
check "nothing of it is left" none_present
check "dpkg knows it no more" bash -c '! dpkg-query -W -f="\${Status}" torsa 2>/dev/null | grep -q "ok installed"'

# Whatever happened above, the machine is left without the package.
dpkg-query -W -f='${Status}' torsa 2>/dev/null | grep -q "ok installed" && dpkg --purge torsa >/dev/null

echo "package-test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
