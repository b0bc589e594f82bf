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

export QT_QPA_PLATFORM=offscreen
cd build-test
ctest --output-on-failure -j "$jobs" --timeout 300
