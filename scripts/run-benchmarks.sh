#!/bin/sh
# Runs every benchmark program of a build, one after the other.
set -eu
build_dir=${1:-build}
status=0
for bench in "$build_dir"/bench/*_bench; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" || status=1
done
exit $status
