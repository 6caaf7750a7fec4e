#!/usr/bin/env bash
# Builds the page and tests it: the core (WebAssembly, in Node.js) against
# the native trovlin-cli on generated logs of every service, then the page
# itself in headless Chromium (file input, drop, options, batch, cancel,
# errors, no network request, screenshots in build-web/screens/).
#
#   scripts/test_web.sh                    after the native build in build/
#   WEB_LOGS_PER_SERVICE=200 scripts/test_web.sh   a quicker differential run
#   TROVLIN_BUILD_DIR=dir                  the native build to compare with
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
install_missing_packages "${TROVLIN_WEB_PACKAGES[@]}"

build=${TROVLIN_BUILD_DIR:-build}
cli=$build/src/cli/trovlin-cli
gen=$build/bench/trovlin_loggen
if [ ! -x "$cli" ] || [ ! -x "$gen" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"${TROVLIN_JOBS:-2}" --target trovlin-cli trovlin_loggen
fi

# The tests run the CLI from folders of their own.
cli=$(realpath "$cli")
gen=$(realpath "$gen")
scripts/build_web.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/node tests/web/differential.js build-web/cmake/src/web "$cli" samples "$work/logs" "${WEB_LOGS_PER_SERVICE:-1000}"
/usr/bin/python3 tests/web/page_test.py build-web/trovlin.html "$cli" "$gen" build-web/screens
