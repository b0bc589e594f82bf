#!/usr/bin/env bash
# Installs what is missing, builds every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKV8_TEST_BUILD=ON -DKV8_SANITIZE=ON -DKV8_BUILD_TESTS=ON
cmake --build build-test -j "$jobs"

# A short fuzzing run of the frame collector and reply router (clang libFuzzer, about 10 s).
# New inputs go to a scratch folder; tests/fuzz/corpus stays as committed.
if command -v clang++ >/dev/null 2>&1; then
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DKV8_TEST_BUILD=ON -DKV8_SANITIZE=ON -DKV8_BUILD_FUZZERS=ON >/dev/null
    cmake --build build-fuzz -j "$jobs" --target collector_fuzz
    rm -rf build-fuzz/corpus-new && mkdir -p build-fuzz/corpus-new
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
        build-fuzz/tests/collector_fuzz -runs=200000 -max_total_time=10 -print_final_stats=1 \
        build-fuzz/corpus-new tests/fuzz/corpus
fi

# The tests run last, so that their summary closes the output.
export QT_QPA_PLATFORM=offscreen
(cd build-test && ctest --output-on-failure -j "$jobs" --timeout 300)
