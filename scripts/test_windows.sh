#!/usr/bin/env bash
# Checks the Windows trovlin-cli.exe (the windows-cli preset) under Wine
# against the Linux build's trovlin-cli: every sample and a generated log of
# each service, under several option sets, a log and an item list with
# Japanese names, the CSV written to standard output, a log read from
# standard input, a batch into a folder, no partial file left, the text of
# items and inspect, --version, the exit codes of a missing log, of the log
# itself as the output and of the workbook this build cannot write, a
# read-only file replaced only with --force, and Ctrl+C stopping a long run.
# The CSVs must be the same bytes (cmp).
#   scripts/test_windows.sh [LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]]
# LINUX_BUILD_DIR (default build) must hold trovlin-cli and the log
# generator; WINDOWS_BUILD_DIR (default build-windows) is configured and
# built with the preset when it holds no trovlin-cli.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$(cd "${1:-build}" && pwd)
windows=${2:-build-windows}
samples=$PWD/samples

fail() {
  echo "windows: $*" >&2
  exit 1
}

if [ ! -f "$windows/src/cli/trovlin-cli.exe" ]; then
  [ "$windows" = build-windows ] || fail "no trovlin-cli.exe in $windows"
  cmake --preset windows-cli >/dev/null
fi
cmake --build "$windows" --target trovlin-cli >/dev/null
windows=$(cd "$windows" && pwd)
exe=$windows/src/cli/trovlin-cli.exe
cli=$linux/src/cli/trovlin-cli
loggen=$linux/bench/trovlin_loggen
{ [ -x "$cli" ] && [ -x "$loggen" ]; } || fail "build $linux first (trovlin-cli and bench/trovlin_loggen)"

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || wine=$(command -v wine) || fail "Wine is not installed (scripts/setup.sh installs it with --windows)"
# A prefix of its own, kept with the build; arguments pass from UTF-8.
export WINEPREFIX=$windows/wine-prefix WINEDEBUG=-all WINEARCH=win64 LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# In the work folder, as Wine takes relative names as they are.
run_exe() { (cd "$work" && "$wine" "$exe" "$@"); }
run_cli() { (cd "$work" && "$cli" "$@"); }

out=$(run_exe --version 2>/dev/null | tr -d '\r')
[ "$out" = "$("$cli" --version)" ] || fail "--version says '$out'"

cp "$samples"/*.log "$work"
for kind in stn jois patolis3; do "$loggen" "$kind" 3 "$work/generated_$kind.log" >/dev/null; done
cp "$work/stn_sample.log" "$work/検索ログ.log"

option_sets=("" "--encoding utf-8-bom --quotes double" "--keep-stars --keep-width" "--encoding utf-8")
checked=0
for log in "$work"/*.log; do
  name=$(basename "$log")
  for options in "${option_sets[@]}"; do
    # shellcheck disable=SC2086 # the options are words
    run_cli convert "$name" -o linux.csv $options >/dev/null 2>&1 || fail "Linux: $name $options failed"
    # shellcheck disable=SC2086
    run_exe convert "$name" -o windows.csv $options >/dev/null 2>&1 || fail "Windows: $name $options failed"
    cmp -s "$work/linux.csv" "$work/windows.csv" || fail "$name $options: the CSVs differ"
    checked=$((checked + 1))
  done
done

# The Japanese name in, the proposed name out.
rm -f "$work/検索ログ.csv"
run_exe convert 検索ログ.log >/dev/null 2>&1 || fail "Windows: 検索ログ.log failed"
[ -f "$work/検索ログ.csv" ] || fail "Windows wrote no 検索ログ.csv"
mv "$work/検索ログ.csv" "$work/windows.csv"
run_cli convert 検索ログ.log -o linux.csv >/dev/null 2>&1
cmp -s "$work/linux.csv" "$work/windows.csv" || fail "検索ログ.log: the CSVs differ"

# An item list under a Japanese name.
printf 'trovlin-items 1\nTI\t\nAU\t\n' >"$work/項目.txt"
run_exe convert jois_sample.log --items-file 項目.txt -o windows.csv >/dev/null 2>&1 || fail "Windows: 項目.txt failed"
run_cli convert jois_sample.log --items-file 項目.txt -o linux.csv >/dev/null 2>&1
cmp -s "$work/linux.csv" "$work/windows.csv" || fail "項目.txt: the CSVs differ"

# Standard output carries the CSV's bytes unchanged (no CR added).
run_exe convert generated_jois.log -o - >"$work/windows.csv" 2>/dev/null || fail "Windows: -o - failed"
run_cli convert generated_jois.log -o - >"$work/linux.csv" 2>/dev/null
cmp -s "$work/linux.csv" "$work/windows.csv" || fail "-o -: the CSVs differ"

# A log on standard input, spooled into a temporary file of its own.
run_exe convert - -o windows.csv <"$work/generated_stn.log" >/dev/null 2>&1 || fail "Windows: a log on standard input failed"
run_cli convert - -o linux.csv <"$work/generated_stn.log" >/dev/null 2>&1
cmp -s "$work/linux.csv" "$work/windows.csv" || fail "standard input: the CSVs differ"

# The commands that print: the same text, but for the console's CR LF.
for command in "items stn_sample.log" "inspect jois_sample.log" "inspect patolis_layout3.log"; do
  # shellcheck disable=SC2086 # the command is words
  [ "$(run_exe $command 2>&1 | tr -d '\r')" = "$(run_cli $command 2>&1)" ] || fail "$command: the output differs"
done

# A batch into a folder, several logs at once, Japanese names too.
mkdir "$work/linux" "$work/出力"
run_cli convert stn_sample.log jois_sample.log patolis_layout2.log 検索ログ.log --out-dir linux >/dev/null 2>&1
run_exe convert stn_sample.log jois_sample.log patolis_layout2.log 検索ログ.log --out-dir 出力 >/dev/null 2>&1 ||
  fail "Windows: the batch failed"
[ "$(find "$work/出力" -name '*.csv' | wc -l)" = 4 ] || fail "batch: $(find "$work/出力") written"
for csv in "$work"/linux/*.csv; do
  cmp -s "$csv" "$work/出力/$(basename "$csv")" || fail "batch: $(basename "$csv") differs"
done

expect_code() {
  local want=$1
  shift
  local got=0
  run_exe "$@" >/dev/null 2>"$work/err" || got=$?
  [ "$got" = "$want" ] || fail "$* exits with $got, not $want: $(cat "$work/err")"
}
partial=$(find "$work" -name '*.trovlin-partial-*')
[ -z "$partial" ] || fail "partial files left: $partial"
expect_code 2 convert missing.log -o missing.csv
# The log itself, under another spelling, is never written.
expect_code 2 convert stn_sample.log -o '.\stn_sample.log'
cmp -s "$samples/stn_sample.log" "$work/stn_sample.log" || fail "the log was written"
expect_code 3 convert stn_sample.log -o stn_sample.xlsx
grep -q "writes no workbooks" "$work/err" || fail "the refused workbook is not explained: $(cat "$work/err")"

# A read-only file is replaced only with --force, and stays read-only.
echo old >"$work/readonly.csv"
chmod a-w "$work/readonly.csv"
expect_code 3 convert stn_sample.log -o readonly.csv
expect_code 0 convert stn_sample.log -o readonly.csv --force
run_cli convert stn_sample.log -o linux.csv >/dev/null 2>&1
cmp -s "$work/linux.csv" "$work/readonly.csv" || fail "--force did not replace the read-only file"
[ "$(stat -c %A "$work/readonly.csv")" = "-r--r--r--" ] || fail "the replaced file is no longer read-only"

# Ctrl+C (Wine turns SIGINT into the console's event) stops a long run:
# exit code 130, and neither the CSV nor its partial file is left.
"$loggen" stn 100 "$work/long.log" >/dev/null
(cd "$work" && exec "$wine" "$exe" convert long.log -o long.csv >/dev/null 2>&1) &
pid=$!
for _ in $(seq 200); do
  [ -z "$(find "$work" -name 'long.csv.trovlin-partial-*')" ] || break
  sleep 0.05
done
kill -INT "$pid"
code=0
wait "$pid" || code=$?
[ "$code" = 130 ] || fail "Ctrl+C: exit code $code, not 130"
[ -z "$(find "$work" -name 'long.csv*')" ] || fail "Ctrl+C left $(find "$work" -name 'long.csv*')"

echo "windows: $checked conversions, Japanese names, standard input and output, a batch, items and inspect the same as Linux; --version, exit codes, a read-only file and Ctrl+C as expected"
