#!/usr/bin/env bash
# Installs what is missing, builds, and converts the bundled STN sample log.
#   ./run.sh          convert samples/stn_sample.log and show the first rows
#   ./run.sh --gui    open the window with the sample loaded
#   ./run.sh --web    build the page, build-web/trovlin.html, and say where it is
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
if [ "${1:-}" = "--web" ]; then
  install_missing_packages "${TROVLIN_WEB_PACKAGES[@]}"
  page=$(scripts/build_web.sh | tail -n 1)
  echo "The page is $page: open it in a browser (from disk or any static server)."
  exit 0
fi
install_missing_packages
build release

sample=samples/stn_sample.log
if [ "${1:-}" = "--gui" ]; then
  exec build/src/app/trovlin "$sample"
fi

csv=$(build/src/cli/trovlin-cli propose-name "$sample")
build/src/cli/trovlin-cli convert "$sample" -o "$csv"
echo "CSV written to: $csv"
echo "First rows (shown in UTF-8; the file itself is code page 932):"
head -c 2000 "$csv" | iconv -f CP932 -t UTF-8 | head -n 4
