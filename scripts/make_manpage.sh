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
    # The help is written for 80 columns: it is set without the body's indent.
    echo ".nf"
    echo ".in 0"
    "$cli" "$command" --help | verbatim
    echo ".in"
    echo ".fi"
  done
  cat <<'SECTIONS'
[EXAMPLES]
.nf
trovlin-cli convert search.log
    search.csv beside the log, in code page 932
trovlin-cli convert search.log -o - --encoding utf-8 | less
trovlin-cli convert search.log -o search.xlsx
    a workbook; the report on its second sheet
trovlin-cli items search.log --save items.txt
trovlin-cli convert next.log --items-file items.txt
    the same columns for a later log
trovlin-cli convert *.log --out-dir csv --report csv/report.json
trovlin-cli convert search.log --strict --quiet --report - | jq .answers
.fi
[EXIT STATUS]
.TP
0
success (for inspect and detect: the log was read)
.TP
1
a usage error, told in a line with where to read more
.TP
2
the log cannot be read, is not a search log, or has nothing to convert
.TP
3
the output cannot be written
.TP
4
with \-\-strict: answers missing, repeated, or cut off by the log's end
.TP
129, 130, 143
SIGHUP, SIGINT or SIGTERM stopped the run; nothing half written is left
.PP
In a batch (\-\-out\-dir) the exit status is the worst of the logs'.
[FILES]
An item list (written by items \-\-save, read by convert \-\-items\-file) is
UTF\-8 text: the line "trovlin\-items 1", then one line per column: the item
code exactly as it stands, a TAB, and the join mark ("*" or nothing). The
mark is kept for the window and changes no byte of a conversion. CR LF line
ends and a UTF\-8 byte\-order mark are accepted.
[REPORT]
convert \-\-report FILE and inspect \-\-json write a JSON object (with
\-\-out\-dir, an array with one entry per log, in the order given; a log that
failed is {"log", "failed": true, "error_kind", "error", "exit_code"}).
Its keys:
.TP
log, service, encoding, line_end
the log, the service it was converted as, how it was read ("cp932",
"utf\-8", "utf\-16le", "utf\-16be"; "CR" or "LF")
.TP
lf_cr_repaired
true when an LF CR pair of a PATOLIS log was read as CR LF
.TP
lines, bytes, records, rows
what was read, and the rows written
.TP
empty_rows, empty_row_count
the first lines of records that hold none of the items (at most 20), and
how many there were
.TP
items
per column: code, and the rows in which it has a value
.TP
answers
per answer set: set, announced, found, missing and expected (ranges
[first, last]), repeated (at most 1,000 numbers; repeated_left_out counts
the others), missing_at, repeated_at, first_line
.TP
warnings, warnings_left_out
line, kind and message of each warning (at most 1,000), and how many more
there were. Kinds: invalid\-bytes, items\-left\-out, record\-cut\-short,
unencodable, item\-not\-shown, cell\-cut
.TP
formulas_protected
values written after an apostrophe by \-\-protect\-formulas
.TP
records_cut_short
records the log's end cut short or left without their text
.TP
output
format ("csv" or "xlsx"), encoding ("cp932", "utf\-8", "utf\-8\-bom"; a
workbook is "utf\-8"), quotes ("apostrophe" or "double"), protect_formulas,
skip_empty_rows, stars_removed, half_width
SECTIONS
  echo "[SEE ALSO]"
  echo "trovlin(1) is the window; both convert alike."
} >"$include"

help2man --no-info --section=1 --version-string="$version" --include="$include" \
  --name="turn the saved log of an online search into CSV" "$cli" >"$out"
