#!/usr/bin/env bash
# Installs what is missing, builds Hollyphone and starts it.
# The player keeps its queue in ./default.m3u of the folder it runs in (the
# repository's root here) and its settings in Hollyphone.ini next to the
# executable (build/release/app/).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DHOLLYPHONE_TESTS=OFF -DHOLLYPHONE_BENCH=OFF
cmake --build build/release -j"$(nproc)"

program=build/release/app/hollyphone
if [ ! -x "$program" ]; then
    echo "Hollyphone's libraries are built; the program itself is not part of this build yet."
    exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "error: no desktop session to show the window in (DISPLAY and WAYLAND_DISPLAY are unset)" >&2
    exit 1
fi
exec "$program"
