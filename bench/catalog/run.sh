#!/bin/sh
# Builds and runs the catalogue benchmark in the given build folder
# (default: build/bench), configured as a release build.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/bench}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHOLLYPHONE_TESTS=OFF >/dev/null
ninja -C "$build" hp_bench_catalog
"$build/bench/catalog/hp_bench_catalog"
