#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for longer than the test command
# does. Findings stay in build/fuzz/<target>/ as crash-* files.
#   scripts/fuzz.sh [seconds per target, default 600] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true

scripts/install-deps.sh test

dir=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHOLLYPHONE_FUZZ=ON -DHOLLYPHONE_TESTS=OFF -DHOLLYPHONE_BENCH=OFF >/dev/null
targets=${*:-$(cat "$dir/fuzzers.txt")}
# shellcheck disable=SC2086
cmake --build "$dir" -j"$(nproc)" --target $targets

status=0
for target in $targets; do
    binary=$(find "$dir" -name "$target" -type f -perm -u+x | head -n1)
    corpus="$dir/corpus/$target"
    mkdir -p "$corpus" "$dir/$target"
    if [ -d "tests/fuzz/corpus/$target" ]; then
        cp -n "tests/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
    fi
    # The user-defined characters' table goes to a fresh folder of the
    # build, not the home: every run starts from an empty table.
    rm -rf "${dir:?}/$target/data-home"
    echo "== $target for ${seconds}s"
    if ! (cd "$dir/$target" && XDG_DATA_HOME="$OLDPWD/$dir/$target/data-home" \
        "$OLDPWD/$binary" -max_total_time="$seconds" -print_final_stats=1 \
        "$OLDPWD/$corpus"); then
        echo "== $target: fault found (see $dir/$target/)"
        status=1
    fi
done
exit $status
