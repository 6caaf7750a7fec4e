#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   0. the formatting check: clang-format would change no C++ source;
#   1. the release build's tests (core, CLI, window offscreen);
#   2. the Debian package: built, lintian-clean, unpacked, its programs run;
#   3. the core and CLI tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   4. a short smoke run of every fuzz target, when clang is present;
#   5. the page: built with emscripten, its core held against trovlin-cli
#      on generated logs in Node.js, the page driven in headless Chromium
#      (scripts/test_web.sh);
#   6. with --windows only: trovlin-cli.exe cross-built with MinGW-w64 and
#      run under Wine (scripts/test_windows.sh).
#   ./test.sh [--quick] [--windows]
#   --quick runs steps 0 and 1 only.
set -euo pipefail
cd "$(dirname "$0")"
windows=false
quick=false
for arg in "$@"; do
  case $arg in
    --windows) windows=true ;;
    --quick) quick=true ;;
    *)
      echo "usage: ./test.sh [--quick] [--windows]" >&2
      exit 1
      ;;
  esac
done
source scripts/setup.sh
extra=("${TROVLIN_TEST_PACKAGES[@]}")
$quick || extra+=("${TROVLIN_WEB_PACKAGES[@]}")
$windows && extra+=("${TROVLIN_WINDOWS_PACKAGES[@]}")
install_missing_packages "${extra[@]}"

passed=0
failed=0
skipped=0
# ctest_in DIR: runs DIR's tests and adds what ran to the closing count; a
# failure ends the script after the count is printed.
ctest_in() {
  local log
  log=$(mktemp)
  local status=0
  (cd "$1" && ctest --output-on-failure -j "$(nproc)") | tee "$log" || status=$?
  local total fails skips
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  fails=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n 1)
  skips=$(grep -c '(Skipped)$' "$log" || true)
  rm -f "$log"
  total=${total:-0}
  fails=${fails:-0}
  passed=$((passed + total - fails - skips))
  failed=$((failed + fails))
  skipped=$((skipped + skips))
  if [ "$status" -ne 0 ] || [ "$fails" -ne 0 ] || [ "$total" -eq 0 ]; then
    [ "$fails" -eq 0 ] && failed=$((failed + 1))
    closing
    exit 1
  fi
}
# web_tests: the page's tests; each browser test and the differential run
# of the core count as one test.
web_tests() {
  local log
  log=$(mktemp)
  local status=0
  scripts/test_web.sh 2>&1 | tee "$log" || status=$?
  local ran fails errors skips
  ran=$(sed -n 's/^Ran \([0-9]*\) tests\? in .*/\1/p' "$log" | tail -n 1)
  fails=$(sed -n 's/.*failures=\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  errors=$(sed -n 's/.*errors=\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  skips=$(sed -n 's/.*skipped=\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  ran=${ran:-0}
  fails=$((${fails:-0} + ${errors:-0}))
  skips=${skips:-0}
  if grep -q '^the page core and trovlin-cli agree on every log$' "$log"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
  rm -f "$log"
  passed=$((passed + ran - fails - skips))
  failed=$((failed + fails))
  skipped=$((skipped + skips))
  if [ "$status" -ne 0 ] || [ "$fails" -ne 0 ] || [ "$ran" -eq 0 ]; then
    [ "$fails" -eq 0 ] && failed=$((failed + 1))
    closing
    exit 1
  fi
}
closing() { echo "test.sh: $passed passed, $failed failed, $skipped skipped"; }

echo "== formatting"
scripts/check_format.sh

echo "== release build and tests"
build release
QT_QPA_PLATFORM=offscreen ctest_in build

if ! $quick; then
  echo "== package"
  scripts/test_package.sh build

  echo "== sanitizer build and tests"
  build asan
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest_in build-asan

  if command -v clang++ >/dev/null && [ -n "$(find /usr/lib/llvm-*/lib/clang -name 'libclang_rt.fuzzer-x86_64.a' 2>/dev/null)" ]; then
    echo "== fuzz smoke run"
    fuzz/run.sh 5
  else
    echo "== fuzz smoke run skipped: clang with libFuzzer is not installed"
  fi

  echo "== the page (WebAssembly, headless Chromium)"
  web_tests

  if $windows; then
    echo "== Windows build under Wine"
    scripts/test_windows.sh build
  else
    echo "== Windows check skipped: ./test.sh --windows cross-builds trovlin-cli.exe and runs it under Wine"
  fi
fi

closing
