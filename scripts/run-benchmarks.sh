#!/bin/sh
# Runs every benchmark program of a build, one after the other.
set -eu
build_dir=${1:-build}
status=0
# A benchmark that draws a PDF sits beside the Qt module, in the build's top.
for bench in "$build_dir"/bench/*_bench "$build_dir"/*_bench; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" || status=1
done
exit $status
