#!/bin/sh
# What `make fuzz` and `make lint` need beyond the build: clang with libFuzzer
# and the sanitizer runtimes, clang-tidy and cppcheck. Kept apart from
# install-deps.sh so that `make run` stays light. Does nothing when all is there.
set -eu

packages="
clang
libclang-rt-dev
clang-tidy
cppcheck
"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
