#!/bin/bash
# Runs two builds of trovlin-cli on the same logs and options and compares
# everything they leave: standard output, standard error, the exit code and
# every file written (a workbook's members unzipped and compared one by one).
#
#   scripts/compare_builds.sh BASELINE_CLI NEW_CLI [LOGGEN]
#
# LOGGEN is the generator of large logs (bench/trovlin_loggen; default: the
# one beside BASELINE_CLI's build). Each run happens in a fresh copy of the
# same folder under the same relative names, so the two builds see the same
# paths. Prints one line per differing run and a count; exits 1 on any
# difference.
set -u
[ $# -ge 2 ] || { echo "usage: $0 BASELINE_CLI NEW_CLI [LOGGEN]" >&2; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
gen=${3:-$(dirname "$old")/../../bench/trovlin_loggen}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

# The logs: the samples, generated logs of the services the generator
# knows, and logs made to fail.
logs=$work/logs
mkdir -p "$logs"
cp "$root"/samples/*.log "$logs"/
if [ -x "$gen" ]; then
  for kind in stn jois patolis3; do "$gen" $kind 2 "$logs/gen_$kind.log" >/dev/null 2>&1; done
else
  echo "note: no log generator at $gen; generated logs left out" >&2
fi
# UTF-8 and LF-only readings of a sample.
iconv -f cp932 -t utf-8 "$root/samples/jois_sample.log" >"$logs/jois_utf8.log"
tr '\r' '\n' <"$root/samples/stn_sample.log" >"$logs/stn_lf.log"
# A PATOLIS log with LF CR pairs, read with them repaired.
sed 's/\r$//' "$root/samples/patolis_layout3.log" | tr '\n' '\r' | sed 's/\r/\n\r/g' >"$logs/patolis_lfcr.log"
python3 - "$root/samples/patolis_layout1.log" "$logs" <<'EOF'
import sys
src, out = sys.argv[1], sys.argv[2]
data = open(src, 'rb').read()
layout = '様式 :  1'.encode('cp932')
open(out + '/patolis_layout9.log', 'wb').write(data.replace(layout, '様式 :  9'.encode('cp932'), 1))
open(out + '/patolis_nolayout.log', 'wb').write(data.replace(layout, 'xx'.encode('cp932'), 1))
open(out + '/patolis_cut.log', 'wb').write(data[: len(data) * 2 // 3])
open(out + '/patolis_cut2.log', 'wb').write(open(src.replace('layout1', 'layout2'), 'rb').read()[:1500])
open(out + '/stn_noitems.log', 'wb').write(b'L1   ANSWER 1 OF 1  CAPLUS\r(C) 2006\r\rxx\r')
open(out + '/not_a_log.txt', 'wb').write(b'hello\rworld\r')
EOF
all_logs=$(cd "$logs" && ls)

differ=0
runs=0
# run NAME ARGS...: ARGS run in a fresh copy of the logs, once per build.
run() {
  local name=$1
  shift
  runs=$((runs + 1))
  for side in old new; do
    local dir=$work/run/$side
    rm -rf "$work/run/$side"
    mkdir -p "$dir"
    cp -l "$logs"/* "$dir"/
    mkdir -p "$dir/batch"
    local cli=$old
    [ $side = new ] && cli=$new
    (cd "$dir" && "$cli" "$@" >"$work/run/$side.out" 2>"$work/run/$side.err" </dev/null
     echo $? >"$work/run/$side.rc")
    # A workbook is compared by its members, without the time it was made;
    # a batch's summary lines without the seconds they took.
    find "$dir" -name '*.xlsx' | while read -r book; do
      mkdir -p "$book.members" && (cd "$book.members" && unzip -qq "$book") && rm "$book"
      sed -i 's/[0-9T:-]*Z</TIME</g' "$book.members/docProps/core.xml"
    done
    sed -i -E 's/, [0-9]+\.[0-9]+ s$/, S s/' "$work/run/$side.err"
  done
  local what=""
  for f in out err rc; do cmp -s "$work/run/old.$f" "$work/run/new.$f" || what="$what $f"; done
  diff -rq "$work/run/old" "$work/run/new" >/dev/null || what="$what files"
  if [ -n "$what" ]; then
    differ=$((differ + 1))
    echo "DIFFERS ($what ): $name: $*"
  fi
}

for log in $all_logs; do
  run default convert "$log"
  run utf8bom convert "$log" -o out.csv --encoding utf-8-bom --quotes double
  run keep convert "$log" -o out.csv --keep-stars --keep-width
  run utf8 convert "$log" -o out.csv --encoding utf-8 --protect-formulas --skip-empty-rows
  run xlsx convert "$log" --format xlsx -o x.xlsx
  run xlsx-name convert "$log" -o y.xlsx --report r.json
  run report convert "$log" -o out.csv --report r.json
  run report-stderr convert "$log" -o - --report -
  run strict convert "$log" -o out.csv --strict
  run discover convert "$log" -o out.csv --discover first-answer
  run items-given convert "$log" -o out.csv --item TI --items AB,PA,XX
  run inspect inspect "$log"
  run inspect-json inspect "$log" --json --strict
  run items items "$log"
  run detect detect "$log"
  run same-file convert "$log" -o "$log"
  run stdin convert - <"$work/logs/$log"
  for db in STN DIALOG JOIS PATOLIS; do run db-$db convert "$log" -o out.csv --db $db; done
done
run batch convert $all_logs --out-dir batch --report batch.json
run batch-one-job convert $all_logs --out-dir batch --jobs 1
run batch-xlsx convert $all_logs --out-dir batch --format xlsx
run missing-dir convert stn_sample.log -o nowhere/out.csv
run missing-dir-patolis convert patolis_layout2.log -o nowhere/out.csv
run missing-log convert absent.log
run no-out-dir convert stn_sample.log jois_sample.log --out-dir nowhere
run report-is-log convert stn_sample.log --report stn_sample.log
run itemlist-missing convert stn_sample.log --items-file absent.txt
run usage convert
run usage-bad convert stn_sample.log --encoding latin1
echo "$runs runs, $differ differing"
[ $differ -eq 0 ]
