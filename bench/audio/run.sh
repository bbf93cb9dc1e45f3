#!/usr/bin/env bash
# Builds and runs the sound benchmarks on a private sound server and prints
# their figures: play-to-sound latency, CPU beside gst-launch-1.0 playbin,
# peak memory. Needs lame, parec (pulseaudio-utils) and gst-launch-1.0.
#   bench/audio/run.sh [build folder]   (default: build/bench)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHOLLYPHONE_TESTS=OFF >/dev/null
cmake --build "$build" --target audio_bench
bench="$build/bench/audio/audio_bench"
scripts/with-sound-server.sh "$bench" latency
scripts/with-sound-server.sh "$bench" cpu 30
