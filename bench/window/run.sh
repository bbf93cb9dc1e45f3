#!/bin/sh
# Builds the window repaint benchmark in the given build folder (default:
# build/bench, a release build) and runs it for 30 s on a private Xvfb.
#   bench/window/run.sh [build folder] [seconds]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/bench}
seconds=${2:-30}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$build" hp_bench_window
"$root/scripts/with-display.sh" "$build/bench/window/hp_bench_window" "$seconds"
