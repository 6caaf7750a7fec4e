#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   0. the formatting check: clang-format would change no C++ source;
#   1. the release build's tests (core, CLI, window offscreen);
#   2. the Debian package: built, lintian-clean, unpacked, its programs run;
#   3. the core and CLI tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   4. a short smoke run of every fuzz target, when clang is present;
#   5. with --windows only: trovlin-cli.exe cross-built with MinGW-w64 and
#      run under Wine (scripts/test_windows.sh).
#   ./test.sh [--windows]
set -euo pipefail
cd "$(dirname "$0")"
windows=false
for arg in "$@"; do
  case $arg in
    --windows) windows=true ;;
    *)
      echo "usage: ./test.sh [--windows]" >&2
      exit 1
      ;;
  esac
done
source scripts/setup.sh
if $windows; then
  install_missing_packages "${TROVLIN_WINDOWS_PACKAGES[@]}"
else
  install_missing_packages
fi

summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

echo "== formatting"
scripts/check_format.sh

echo "== release build and tests"
build build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)") | tee -a "$summary"

echo "== package"
scripts/test_package.sh build

echo "== sanitizer build and tests"
build build-asan -DCMAKE_BUILD_TYPE=Debug -DTROVLIN_SANITIZE=ON -DTROVLIN_BUILD_GUI=OFF -DTROVLIN_BUILD_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)") |
  tee -a "$summary"

if command -v clang++ >/dev/null && [ -n "$(find /usr/lib/llvm-*/lib/clang -name 'libclang_rt.fuzzer-x86_64.a' 2>/dev/null)" ]; then
  echo "== fuzz smoke run"
  fuzz/run.sh 5
else
  echo "== fuzz smoke run skipped: clang with libFuzzer is not installed"
fi

if $windows; then
  echo "== Windows build under Wine"
  scripts/test_windows.sh build
else
  echo "== Windows check skipped: ./test.sh --windows cross-builds trovlin-cli.exe and runs it under Wine"
fi

# One closing line for both test runs (a failing run has stopped the script already).
total=0
for n in $(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$summary"); do total=$((total + n)); done
skipped=$(grep -c '(Skipped)$' "$summary" || true)
echo "test.sh: $((total - skipped)) passed, 0 failed, $skipped skipped"
