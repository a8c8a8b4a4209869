#!/bin/sh
# Static analysis of the project's own sources (src/, tools/, tests/, bench/)
# with the compile commands of a configured build:
#   scripts/lint.sh BUILD_DIR
# clang-tidy with .clang-tidy, then cppcheck with the suppressions in
# .cppcheck-suppressions. Any finding fails.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
jobs=$(nproc)

echo "== clang-tidy"
# Only the project's sources; moc's output in the build folder is not ours.
run-clang-tidy -quiet -j "$jobs" -p "$build" "^$root/(src|tools|tests|bench)/.*\.cpp\$" >"$build/clang-tidy.log" 2>&1 || {
    grep -E 'warning:|error:' "$build/clang-tidy.log" | sort -u >&2 || true
    echo "clang-tidy: findings above (whole output in $build/clang-tidy.log)" >&2
    exit 1
}
echo "clean"

echo "== cppcheck"
cppcheck --quiet --project="$build/compile_commands.json" --std=c++20 --library=qt \
    --enable=warning,performance,portability --inline-suppr \
    --suppressions-list="$root/.cppcheck-suppressions" \
    -i "$build" --error-exitcode=1 -j "$jobs" \
    --template='{file}:{line}: {severity}: {message} [{id}]'
echo "clean"
