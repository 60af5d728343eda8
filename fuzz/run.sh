#!/bin/sh
# Runs every fuzz target of a fuzz build for a set time each, on every core
# (one libFuzzer job per core, sharing one corpus), from the seed corpus in
# fuzz/corpus/<target> with the target's dictionary. Prints the executions of
# each target, all jobs together. Fails on any crash, leak, sanitizer report
# or timeout. Usage: fuzz/run.sh BUILD_DIR SECONDS [JOBS]; FUZZ_TARGETS
# (default: all three) names the targets to run.
set -eu
build_dir=$(cd "$1" && pwd)
seconds=${2:-60}
jobs=${3:-$(nproc 2>/dev/null || echo 2)}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in ${FUZZ_TARGETS:-split_line_fuzz import_fuzz reader_fuzz}; do
    name=${target%_fuzz}
    case $name in
        # Long enough for a block of 60 fibers and the start of the next.
        reader) dict=$here/reader.dict; max_len=6144 ;;
        # A line, and a table of a few dozen lines: what breaks in 2,000
        # lines breaks in 20, at a tenth of the cost of each try.
        split_line) dict=$here/table.dict; max_len=1024 ;;
        *) dict=$here/table.dict; max_len=2048 ;;
    esac
    mkdir -p "$work/$name" "$work/$name-logs"
    echo "== $target, $seconds s, $jobs jobs"
    if (cd "$work/$name-logs" && "$build_dir/fuzz/$target" -jobs="$jobs" -workers="$jobs" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -dict="$dict" -print_final_stats=1 -artifact_prefix="$work/$name-" \
        "$work/$name" "$here/corpus/$name" > "$work/$name.log" 2>&1); then
        cat "$work/$name-logs"/fuzz-*.log |
            awk '/^stat::number_of_executed_units/ { n += $2 } END { printf "executions: %d\n", n }'
    else
        status=1
        tail -n 40 "$work/$name-logs"/fuzz-*.log
        for artifact in "$work/$name"-*; do
            [ -f "$artifact" ] && cp "$artifact" "$here/" && echo "reproducer kept: fuzz/$(basename "$artifact")"
        done
    fi
done
exit $status
