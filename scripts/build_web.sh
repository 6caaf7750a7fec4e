#!/usr/bin/env bash
# Builds the page: the core compiled with Debian's emscripten (the `web`
# CMake preset), put together with the page's HTML, style and scripts into
# one self-contained file, build-web/trovlin.html. Prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v emcc >/dev/null; then
  echo "build_web.sh: emcc is missing (apt-get install emscripten)" >&2
  exit 1
fi
# emcc runs its JavaScript helpers with acorn from Debian's node modules,
# which a Node.js other than Debian's does not find by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# Workbooks need libxlsxwriter and zlib built for the page from Debian's
# sources; without them the page is built to refuse workbooks.
workbooks=ON
if ! scripts/fetch_web_sources.sh; then
  echo "build_web.sh: no libxlsxwriter and zlib sources; the page will not write workbooks" >&2
  workbooks=OFF
fi
cmake --preset web -DTROVLIN_WORKBOOKS=$workbooks >/dev/null
cmake --build --preset web -j"${TROVLIN_JOBS:-2}"

core=build-web/cmake/src/web
page=build-web/trovlin.html
/usr/bin/python3 scripts/assemble_page.py src/web/page "$core/trovlin_core.js" "$core/trovlin_core.wasm" "$page"
size=$(stat -c %s "$page")
if [ "$size" -ge $((4 << 20)) ]; then
  echo "build_web.sh: $page is $size bytes; the page must stay under 4 MiB" >&2
  exit 1
fi
echo "$PWD/$page"
