#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   1. the release build's tests (core, CLI, window offscreen);
#   2. the core and CLI tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. a short smoke run of every fuzz target, when clang is present.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
install_missing_packages

echo "== release build and tests"
build build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

echo "== sanitizer build and tests"
build build-asan -DCMAKE_BUILD_TYPE=Debug -DTROVLIN_SANITIZE=ON -DTROVLIN_BUILD_GUI=OFF -DTROVLIN_BUILD_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)")

if command -v clang++ >/dev/null && [ -n "$(find /usr/lib/llvm-*/lib/clang -name 'libclang_rt.fuzzer-x86_64.a' 2>/dev/null)" ]; then
  echo "== fuzz smoke run"
  fuzz/run.sh 5
else
  echo "== fuzz smoke run skipped: clang with libFuzzer is not installed"
fi
