#!/bin/sh
# Static analysis of the project's own sources (src/, tools/, tests/, bench/)
# with the compile commands of a configured build:
#   scripts/lint.sh BUILD_DIR
# clang-format with .clang-format (the sources of fuzz/ and packaging/ too),
# clang-tidy with .clang-tidy, then cppcheck with .cppcheck-suppressions.
# Any finding fails.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
jobs=$(nproc)

echo "== clang-format"
cd "$root"
git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' \
    'fuzz/*.cpp' 'fuzz/*.h' 'packaging/*.cpp' | xargs clang-format --dry-run --Werror
echo "clean"

echo "== clang-tidy"
log="$build/clang-tidy.log"
# Only the project's sources: moc's output in the build folder is not ours.
if ! run-clang-tidy -quiet -j "$jobs" -p "$build" "^$root/(src|tools|tests|bench)/.*\.cpp\$" >"$log" 2>&1; then
    sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '(warning|error):' | sort -u >&2 || true
    echo "clang-tidy: findings above (whole output in $log)" >&2
    exit 1
fi
echo "clean"

echo "== cppcheck"
# cppcheck reads the project's headers but not Qt's (it knows Qt through its
# qt library); the moc output that tests include needs the moc's own macros.
revision=$(grep -rhoE 'Q_MOC_OUTPUT_REVISION != [0-9]+' "$build" --include='*.moc' --include='moc_*.cpp' \
    | head -n 1 | grep -oE '[0-9]+$')
cppcheck --quiet --project="$build/compile_commands.json" --std=c++20 --library=qt \
    -DQ_MOC_OUTPUT_REVISION="$revision" -DQT_BEGIN_MOC_NAMESPACE= -DQT_END_MOC_NAMESPACE= \
    -DQT_WARNING_PUSH= -DQT_WARNING_POP= -DQT_WARNING_DISABLE_DEPRECATED= -DQ_CONSTINIT= \
    --enable=warning,performance,portability --inline-suppr \
    --suppressions-list="$root/.cppcheck-suppressions" \
    -i "$build" --error-exitcode=1 -j "$jobs" \
    --template='{file}:{line}: {severity}: {message} [{id}]'
echo "clean"
