#!/usr/bin/env bash
# Installs what is missing, builds, and converts the bundled STN sample log.
#   ./run.sh          convert samples/stn_sample.log and show the first rows
#   ./run.sh --gui    open the window with the sample loaded
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
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
