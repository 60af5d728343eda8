#!/bin/sh
# Runs every fuzz target of a fuzz build for a set time each, from the seed
# corpus in fuzz/corpus/<target>. Fails on any crash, leak, sanitizer report
# or timeout. Usage: fuzz/run.sh BUILD_DIR SECONDS
set -eu
build_dir=$1
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in split_line_fuzz import_fuzz reader_fuzz; do
    name=${target%_fuzz}
    mkdir -p "$work/$name"
    echo "== $target, $seconds s"
    if "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/$name-" \
        "$work/$name" "$here/corpus/$name" > "$work/$name.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^Done' "$work/$name.log" || true
    else
        status=1
        tail -n 40 "$work/$name.log"
        for artifact in "$work/$name"-*; do
            [ -e "$artifact" ] && cp "$artifact" "$here/" && echo "reproducer kept: fuzz/$(basename "$artifact")"
        done
    fi
done
exit $status
