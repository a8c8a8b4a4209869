#!/bin/sh
# Runs every fuzz target for a bounded time from its seed corpus.
#   fuzz/run.sh BUILD_DIR SECONDS
# New inputs go to BUILD_DIR/fuzz-corpus/<target> (the seeds in fuzz/corpus
# stay as they are), a crashing input to BUILD_DIR/fuzz-crashes/<target>-*,
# the fuzzer's whole output to BUILD_DIR/fuzz-logs/<target>.log.
# Fails on the first target that crashes, leaks or breaks a property.
set -eu

build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build/fuzz-crashes" "$build/fuzz-logs"

for target in fuzz_production_file fuzz_link_answers fuzz_byte_command fuzz_message_roundtrip fuzz_centering fuzz_list_import; do
    case $target in
        fuzz_production_file) max_len=8400 ;;   # past the 8192 bytes of a file
        fuzz_byte_command) max_len=512 ;;       # every piece crosses a pseudo-terminal
        fuzz_list_import) max_len=4096 ;;       # a few rows with their quotes and marks
        *) max_len=2048 ;;
    esac
    mkdir -p "$build/fuzz-corpus/$target"
    log="$build/fuzz-logs/$target.log"
    echo "== $target: $seconds s"
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-crashes/$target-" \
        "$build/fuzz-corpus/$target" "$here/corpus/$target" >"$log" 2>&1 || status=$?
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::average_exec_per_sec)' "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log" >&2
        echo "$target failed (exit $status); the input is in $build/fuzz-crashes/" >&2
        exit 1
    fi
done
