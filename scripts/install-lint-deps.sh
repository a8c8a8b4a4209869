#!/bin/sh
# What `make fuzz` and `make lint` need beyond the build: clang with libFuzzer
# and the sanitizer runtimes, clang-format, clang-tidy and cppcheck. Kept apart from the
# build's list so that `make run` stays light. Does nothing when all is there.
set -eu
exec "$(dirname "$0")/install-deps.sh" clang libclang-rt-dev clang-format clang-tidy cppcheck git
