#!/usr/bin/env bash
# Builds a release build without the tests and runs every benchmark program
# that the build put in a folder under bench/ (each folder's CMakeLists.txt
# adds its own), on a private X server and a private sound server. Each
# program prints its own figures and ratios; nothing here is a test.
#   scripts/bench.sh [build folder]      (default: build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/bench}
mkdir -p "$(dirname "$build")"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHOLLYPHONE_TESTS=OFF \
    >"$build.configure.log" 2>&1 || {
    cat "$build.configure.log"
    exit 1
}
cmake --build "$build" -j"${HOLLYPHONE_JOBS:-$(nproc)}"

in_session() {
    if [ -x scripts/with-sound-server.sh ]; then
        scripts/with-display.sh scripts/with-sound-server.sh "$@"
    else
        scripts/with-display.sh "$@"
    fi
}

# The executables directly in each bench folder of the build, in name order.
mapfile -t programs < <(find "$build/bench" -mindepth 2 -maxdepth 2 -type f -perm -u+x | sort)
if [ ${#programs[@]} -eq 0 ]; then
    echo "no benchmark programs were built"
    exit 1
fi
failed=0
for program in "${programs[@]}"; do
    echo "==== $(basename "$(dirname "$program")")/$(basename "$program")"
    if ! in_session "$program"; then
        echo "== $(basename "$program") failed"
        failed=$((failed + 1))
    fi
done
[ "$failed" -eq 0 ]
