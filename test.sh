#!/usr/bin/env bash
# Sets up and runs every test: installs missing packages, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer into build/test, runs ctest. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
corvane_ensure_packages "${CORVANE_PACKAGES[@]}"

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_TESTS=ON
cmake --build build/test -j2
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/test --output-on-failure -j2
