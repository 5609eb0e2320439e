#!/usr/bin/env bash
# Builds the core tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them once.
# Any finding stops the run with the sanitizer's report.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build-asan
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUMELEAF_SANITIZE=ON \
  -DBRUMELEAF_BUILD_APP=OFF -DBRUMELEAF_BUILD_BENCH=OFF > "$dir/configure.log" 2>&1 || {
  cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" --target brumeleaf_core_tests brumeleaf-cli -- -j"${JOBS:-2}"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" -R '^core$' --output-on-failure
