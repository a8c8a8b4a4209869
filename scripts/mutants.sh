#!/bin/bash
# Planted faults: each fault of the list is applied to a copy of the tree, the
# copy is rebuilt incrementally and the whole test suite runs; a fault is
# caught when a test fails. The file is put back before the next fault.
#
#   scripts/mutants.sh [--check | --all] [FAULTS_FILE] [N ...]
#
# FAULTS_FILE defaults to tests/faults.txt; N picks faults by number (from 1).
# --check only verifies that every fault's text stands exactly once in its file.
# --all runs every suite for every fault (not only up to the first failure) and
# names every test function that fails: which tests catch which fault.
# The copy and its build live in $MUTANTS_DIR (default build-mutants), so the
# work tree is never touched, even when the run is interrupted.
set -uo pipefail
cd "$(dirname "$0")/.."
top=$PWD
# The tree the faults are planted in: this one, or another checkout given by
# MUTANTS_SOURCE (for instance the suite before a change, to compare).
source_tree=${MUTANTS_SOURCE:-$top}

check_only=0
every_suite=0
if [ "${1:-}" = "--check" ]; then check_only=1; shift; fi
if [ "${1:-}" = "--all" ]; then every_suite=1; shift; fi
faults_file=tests/faults.txt
if [ $# -gt 0 ] && [ -f "$1" ]; then faults_file=$1; shift; fi
picked=" $* "
work=${MUTANTS_DIR:-build-mutants}
case $work in /*) ;; *) work=$top/$work ;; esac
tree=$work/tree
build=$work/build
jobs=${JOBS:-$(nproc)}

# ---------------------------------------------------------------- the list
# Blocks of "file:", "find:", "replace:" and "seen:" lines, separated by blank
# lines; "find:" and "replace:" may repeat for a change of several lines.
files=() finds=() replaces=() seens=()
file='' find='' replace='' seen='' have_find=0 have_replace=0
flush() {
    if [ -n "$file" ]; then
        files+=("$file") finds+=("$find") replaces+=("$replace") seens+=("$seen")
    fi
    file='' find='' replace='' seen='' have_find=0 have_replace=0
}
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
        '#'*) ;;
        '') flush ;;
        file:*) file=${line#file: } ;;
        find:*) value=${line#find:}; value=${value# }
                if [ $have_find = 1 ]; then find+=$'\n'"$value"; else find=$value; have_find=1; fi ;;
        replace:*) value=${line#replace:}; value=${value# }
                if [ $have_replace = 1 ]; then replace+=$'\n'"$value"; else replace=$value; have_replace=1; fi ;;
        seen:*) seen=${line#seen: } ;;
        *) echo "$faults_file: cannot read the line: $line" >&2; exit 2 ;;
    esac
done < "$faults_file"
flush
total=${#files[@]}

# The text of a fault stands once in its file: a fault is one spot.
occurrences() { # content find
    local rest=$1 n=0
    while [[ $rest == *"$2"* ]]; do n=$((n + 1)); rest=${rest#*"$2"}; done
    echo $n
}

bad=0
for ((i = 0; i < total; i++)); do
    f=${files[$i]}
    if [ ! -f "$source_tree/$f" ]; then echo "fault $((i + 1)): no file $f" >&2; bad=1; continue; fi
    n=$(occurrences "$(cat "$source_tree/$f"; echo x)" "${finds[$i]}")
    if [ "$n" != 1 ]; then echo "fault $((i + 1)): the text stands $n times in $f" >&2; bad=1; fi
done
[ $bad = 0 ] || exit 2
if [ $check_only = 1 ]; then echo "$total faults, each text found once"; exit 0; fi

# ---------------------------------------------------------------- the copy
# Only files whose content differs are copied, with a new time, so that the
# build sees them and nothing else is rebuilt. Files the source no longer has
# go: a suite removed since the last run must not go on catching faults.
sync_tree() {
    mkdir -p "$tree"
    git -C "$source_tree" -c core.quotePath=false ls-files -co --exclude-standard > "$work/files"
    while IFS= read -r f; do
        if ! cmp -s "$source_tree/$f" "$tree/$f"; then
            mkdir -p "$tree/$(dirname "$f")"
            cp "$source_tree/$f" "$tree/$f"
        fi
    done < "$work/files"
    (cd "$tree" && find . -type f -printf '%P\n') | grep -vxF -f "$work/files" | while IFS= read -r f; do
        rm -f "$tree/$f"
    done
}

build_tree() {
    cmake --build "$build" -j"$jobs" > "$work/build.log" 2>&1
}

sync_tree
if [ ! -f "$build/build.ninja" ]; then
    # Unoptimised, without debug information and without -Werror: quick to
    # rebuild, and a fault that only draws a warning still builds. Shared
    # libraries that the programs do not relink against: a fault in the core
    # rebuilds one object and one library.
    cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
        -DTORSA_WERROR=OFF -DBUILD_SHARED_LIBS=ON -DCMAKE_LINK_DEPENDS_NO_SHARED=ON \
        > "$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 2; }
fi
if ! build_tree; then
    tail -30 "$work/build.log"; echo "the tree does not build" >&2; exit 2
fi

current=''
saved="$work/original"
restore() {
    if [ -n "$current" ]; then cp "$saved" "$tree/$current"; current=''; fi
}
trap 'restore; exit 130' INT TERM

caught=0 missed=0 broken=0 run=0
missed_list=''
for ((i = 0; i < total; i++)); do
    number=$((i + 1))
    if [ "$picked" != "  " ] && [[ $picked != *" $number "* ]]; then continue; fi
    run=$((run + 1))
    f=${files[$i]}
    current=$f
    cp "$tree/$f" "$saved"
    content=$(cat "$saved"; echo x)
    content=${content%x}
    printf '%s' "${content/"${finds[$i]}"/"${replaces[$i]}"}" > "$tree/$f"
    label=$(printf '%3d %s: %s' "$number" "$f" "${seens[$i]}")
    if ! build_tree; then
        broken=$((broken + 1))
        echo "BROKEN $label"
        restore
        continue
    fi
    log="$work/fault-$number.log"
    if [ $every_suite = 1 ]; then
        stop=(--output-on-failure)
    else
        stop=(--stop-on-failure)
    fi
    if ctest --test-dir "$build" -j2 "${stop[@]}" --timeout 120 > "$log" 2>&1; then
        missed=$((missed + 1))
        missed_list+=" $number"
        echo "MISSED $label"
    else
        caught=$((caught + 1))
        if [ $every_suite = 1 ]; then
            by=$( (grep -oE '^FAIL! +: [A-Za-z]+::[A-Za-z0-9_]+' "$log" | sed -E 's/^FAIL! +: //'
                   sed -nE 's/^[[:space:]]+[0-9]+ - (test_[a-z_]+) \(.*/suite \1/p' "$log") | sort -u | tr '\n' ' ')
        else
            by=$(sed -nE 's/^[[:space:]]+[0-9]+ - (test_[a-z_]+) \(.*/\1/p' "$log" | tr '\n' ' ')
        fi
        echo "caught $label  [${by% }]"
    fi
    restore
done
trap - INT TERM
build_tree || true

echo "$caught caught, $missed missed of $run${broken:+ ($broken did not build)}" | sed 's/ (0 did not build)//'
[ -z "$missed_list" ] || echo "missed:$missed_list"
[ $missed = 0 ] && [ $broken = 0 ]
