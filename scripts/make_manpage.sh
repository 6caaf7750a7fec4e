#!/usr/bin/env bash
# Writes trovlin-cli's manual page from its own help, so the two cannot
# disagree: help2man reads the overview, and every command's --help goes
# into a COMMANDS section verbatim.
#   scripts/make_manpage.sh path/to/trovlin-cli VERSION OUT.1
set -euo pipefail
cli=$1 version=$2 out=$3
include=$(mktemp)
trap 'rm -f "$include"' EXIT

# Text shown as it stands: no filling, backslashes and leading dots escaped.
verbatim() { sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"; }

{
  echo "[NAME]"
  echo "trovlin-cli \\- turn the saved log of an online search into CSV"
  echo "[COMMANDS]"
  for command in detect items convert inspect propose-name; do
    echo ".SS $command"
    echo ".nf"
    "$cli" "$command" --help | verbatim
    echo ".fi"
  done
  echo "[SEE ALSO]"
  echo "trovlin(1) is the window; both convert alike."
} >"$include"

help2man --no-info --section=1 --version-string="$version" --include="$include" \
  --name="turn the saved log of an online search into CSV" "$cli" >"$out"
