#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. native: GCC with warnings as errors, the whole suite on a private X
#      server and a private sound server (the user's session is not touched);
#   2. sanitized: the same suite under AddressSanitizer and
#      UndefinedBehaviorSanitizer;
#   3. fuzz: every libFuzzer target (clang) for a short, fixed budget;
#   4. windows: the 32-bit Windows build (MinGW-w64) and its tests under Wine;
#   5. package: the Debian package (scripts/package-deb.sh), its files and
#      validators, and the program installed from it run by an ordinary user.
# Ends with a line "N passed, N failed" and exits non-zero on any failure.
#
# Environment: HOLLYPHONE_JOBS (parallel jobs, default: number of cores),
# HOLLYPHONE_FUZZ_SECONDS (per fuzz target, default 20),
# HOLLYPHONE_STAGES (default "native sanitized fuzz windows package").
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${HOLLYPHONE_JOBS:-$(nproc)}
fuzz_seconds=${HOLLYPHONE_FUZZ_SECONDS:-20}
stages=${HOLLYPHONE_STAGES:-native sanitized fuzz windows package}

scripts/install-deps.sh test

passed=0
failed=0
problems=()

note_failure() {
    failed=$((failed + 1))
    problems+=("$1")
}

# Adds the counts of one ctest log to the totals.
count_ctest_log() {
    local stage=$1 log=$2 line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1 || true)
    if [ -z "$line" ]; then
        if grep -q 'No tests were found' "$log"; then
            echo "== $stage: no tests"
            return
        fi
        note_failure "$stage: ctest did not finish"
        return
    fi
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.*, ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    if [ "$bad" -gt 0 ]; then
        problems+=("$stage: $bad of $total tests failed (see $log)")
    fi
}

# Private servers for the tests: an X server always, a sound server when
# the script for it is present.
in_test_session() {
    if [ -x scripts/with-sound-server.sh ]; then
        scripts/with-display.sh scripts/with-sound-server.sh "$@"
    else
        scripts/with-display.sh "$@"
    fi
}

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || {
        cat "$dir.configure.log"
        return 1
    }
    cmake --build "$dir" -j"$jobs"
}

run_ctest() {
    local stage=$1 dir=$2
    shift 2
    local log="$dir/ctest.log"
    in_test_session ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600 "$@" \
        >"$log" 2>&1 || true
    grep -E '^(The following tests FAILED|[[:space:]]+[0-9]+ - )' "$log" || true
    count_ctest_log "$stage" "$log"
}

stage_native() {
    local dir=build/native
    mkdir -p build
    if ! configure_and_build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOLLYPHONE_WERROR=ON; then
        note_failure "native: build failed"
        return
    fi
    run_ctest native "$dir"
}

stage_sanitized() {
    local dir=build/sanitized
    mkdir -p build
    if ! configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Debug -DHOLLYPHONE_SANITIZE=ON \
        -DHOLLYPHONE_BENCH=OFF; then
        note_failure "sanitized: build failed"
        return
    fi
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_ctest sanitized "$dir"
}

stage_fuzz() {
    local dir=build/fuzz
    mkdir -p build
    if ! CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DHOLLYPHONE_FUZZ=ON -DHOLLYPHONE_TESTS=OFF -DHOLLYPHONE_BENCH=OFF >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        note_failure "fuzz: configure failed"
        return
    fi
    local targets
    targets=$(cat "$dir/fuzzers.txt" 2>/dev/null || true)
    if [ -z "$targets" ]; then
        echo "== fuzz: no targets"
        return
    fi
    # shellcheck disable=SC2086
    if ! cmake --build "$dir" -j"$jobs" --target $targets; then
        note_failure "fuzz: build failed"
        return
    fi
    local target corpus
    for target in $targets; do
        corpus="$dir/corpus/$target"
        mkdir -p "$corpus"
        if [ -d "tests/fuzz/corpus/$target" ]; then
            cp -n "tests/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
        fi
        echo "== fuzz: $target for ${fuzz_seconds}s"
        # Absolute paths: a target may change its working folder.
        # The user-defined characters' table goes to the build, not the home.
        if (cd "$dir" && XDG_DATA_HOME="$root/$dir/data-home" \
            "$root/$dir/$(find . -name "$target" -type f -perm -u+x | head -n1)" \
            -max_total_time="$fuzz_seconds" -print_final_stats=0 "$root/$corpus" \
            >"$target.log" 2>&1); then
            passed=$((passed + 1))
        else
            tail -n 40 "$dir/$target.log"
            note_failure "fuzz: $target found a fault (see $dir/$target.log)"
        fi
    done
}

stage_windows() {
    local dir=build/windows started=$SECONDS
    mkdir -p build
    if ! configure_and_build "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DHOLLYPHONE_WERROR=ON; then
        note_failure "windows: build failed"
        return
    fi
    echo "== windows: built in $((SECONDS - started)) s"
    # The build's session script runs every test program under Wine: its own
    # 32-bit prefix (made here on first use) and the Japanese locale.
    if ! in_test_session "$dir/wine-session.sh" --prepare; then
        note_failure "windows: the Wine prefix or the locale could not be prepared"
        return
    fi
    run_ctest windows "$dir"
    "$dir/wine-session.sh" --stop
    echo "== windows: $((SECONDS - started)) s in all"
}

stage_package() {
    local log=build/package.log package scenario
    mkdir -p build
    if ! HOLLYPHONE_JOBS=$jobs scripts/package-deb.sh >"$log" 2>&1; then
        tail -n 40 "$log"
        note_failure "package: the package could not be built (see $log)"
        return
    fi
    package=$(tail -n1 "$log")
    echo "== package: $package"
    for scenario in PackageContents InstalledPackage; do
        if HOLLYPHONE_DEB=$package in_test_session python3 tests/e2e/run_linux.py "$package" \
            image "package_scenarios.$scenario" >"build/package.$scenario.log" 2>&1; then
            passed=$((passed + 1))
        else
            tail -n 40 "build/package.$scenario.log"
            note_failure "package: $scenario failed (see build/package.$scenario.log)"
        fi
    done
}

for stage in $stages; do
    echo "==== stage: $stage"
    "stage_$stage"
done

echo
if [ ${#problems[@]} -gt 0 ]; then
    printf 'problem: %s\n' "${problems[@]}"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
