#!/usr/bin/env bash
# Converts large synthetic logs with trovlin-cli and sets the figures against
# the user-space copy floor (dd bs=1M of the log to a file in the same folder
# as the CSV), the kernel copy (cp, which copies inside the kernel where it
# can), the decode floor (iconv CP932 -> UTF-16LE) and the read floor (cat) on
# the same files; prints one table per log and a summary with the goal per log
# (a share of dd's throughput: a converter reads and writes through user space
# as dd does).
#
#   bench/run.sh                      after ./test.sh: 20 MB and 200 MB logs
#   RUNS=3 SIZES="20" bench/run.sh    fewer runs, smaller logs
#   BASELINE=/tmp/old/build bench/run.sh
#                                     also times the trovlin-cli of another
#                                     build (say, of the previous commit) in
#                                     the same turns, for a before/after
#                                     comparison that a busy machine hits alike
#
# Every figure is the median of RUNS runs (default 7), the commands taking
# turns so that a drift of the machine hits them alike. MB is
# 1,000,000 bytes; peak RSS comes from /usr/bin/time -v. The logs live in a
# temporary folder (under $TMPDIR, default /tmp) that is removed at the end.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."

RUNS=${RUNS:-7}
HOOK_RUNS=${HOOK_RUNS:-7}
SIZES=${SIZES:-"20 200"}
KINDS=${KINDS:-"stn jois patolis3"}
build=${TROVLIN_BUILD_DIR:-build}
cli=$build/src/cli/trovlin-cli
gen=$build/bench/trovlin_loggen
probe=$build/bench/trovlin_hook_probe
baseline_cli=${BASELINE:+$BASELINE/src/cli/trovlin-cli}
if [ -n "$baseline_cli" ] && [ ! -x "$baseline_cli" ]; then
  echo "bench/run.sh: no trovlin-cli in the baseline build $BASELINE" >&2
  exit 1
fi

if [ ! -x /usr/bin/time ] || [ ! -f "$build/build.ninja" ]; then
  source scripts/setup.sh
  install_missing_packages "${TROVLIN_TEST_PACKAGES[@]}"
  [ -f "$build/build.ninja" ] || build release
fi
# Up to date with the sources (a no-op right after ./test.sh).
cmake --build "$build" --target trovlin-cli trovlin_loggen trovlin_hook_probe >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/trovlin-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

title() {
  case $1 in
    stn) echo "STN-style tagged log (mostly ASCII, some Japanese)" ;;
    jois) echo "JOIS-style tagged log (mostly full-width, half-width conversion on)" ;;
    patolis3) echo "PATOLIS layout 3 log" ;;
  esac
}

# timed NAME COMMAND...: appends "seconds peak_rss_kib" to $work/NAME.
timed() {
  local name=$1
  shift
  local start=$EPOCHREALTIME
  if ! /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt"; then
    echo "bench/run.sh: failed: $*" >&2
    cat "$work/stderr.txt" >&2
    exit 1
  fi
  local end=$EPOCHREALTIME
  local rss
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  awk -v s="$start" -v e="$end" -v r="$rss" 'BEGIN {printf "%.6f %d\n", e - s, r}' >>"$work/$name"
}

# median FILE COLUMN
median() {
  sort -g -k"$2","$2" "$1" | awk -v c="$2" '{v[NR] = $c} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

summary="$work/summary"
: >"$summary"
echo "trovlin benchmark: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $RUNS runs per figure (medians)"
for size in $SIZES; do
  for kind in $KINDS; do
    log="$work/$kind-$size.log"
    "$gen" "$kind" "$size" "$log"
    bytes=$(stat -c %s "$log")
    rm -f "$work/trovlin" "$work/iconv" "$work/cat" "$work/cp" "$work/dd" "$work/baseline"
    cat "$log" >/dev/null  # every tool then reads the log from the page cache
    for ((run = 1; run <= RUNS; run++)); do
      timed trovlin "$cli" convert "$log" -o "$work/out.csv"
      rm -f "$work/out.csv"
      if [ -n "$baseline_cli" ]; then
        timed baseline "$baseline_cli" convert "$log" -o "$work/out.csv"
        rm -f "$work/out.csv"
      fi
      timed iconv iconv -f CP932 -t UTF-16LE "$log"
      timed cat cat "$log"
      timed cp cp "$log" "$work/copy.log"
      rm -f "$work/copy.log"
      timed dd dd if="$log" of="$work/copy.log" bs=1M status=none
      rm -f "$work/copy.log"
    done
    t_trovlin=$(median "$work/trovlin" 1)
    t_iconv=$(median "$work/iconv" 1)
    t_cat=$(median "$work/cat" 1)
    t_cp=$(median "$work/cp" 1)
    r_cp=$(median "$work/cp" 2)
    t_dd=$(median "$work/dd" 1)
    r_dd=$(median "$work/dd" 2)
    r_trovlin=$(median "$work/trovlin" 2)
    r_iconv=$(median "$work/iconv" 2)
    r_cat=$(median "$work/cat" 2)
    t_base=-
    r_base=-
    if [ -n "$baseline_cli" ]; then
      t_base=$(median "$work/baseline" 1)
      r_base=$(median "$work/baseline" 2)
    fi
    echo
    awk -v title="$(title "$kind")" -v mb="$bytes" -v tt="$t_trovlin" -v ti="$t_iconv" -v tc="$t_cat" \
      -v rt="$r_trovlin" -v ri="$r_iconv" -v rc="$r_cat" -v tb="$t_base" -v rb="$r_base" -v tp="$t_cp" -v rp="$r_cp" \
      -v td="$t_dd" -v rd="$r_dd" 'BEGIN {
        m = mb / 1e6
        printf "%s, %.1f MB\n", title, m
        printf "  %-22s %9s %9s %8s %8s %9s %8s %10s\n", "", "seconds", "MB/s", "of dd", "of cp", "vs iconv", "of cat", "peak RSS"
        row("trovlin-cli convert", tt, rt, 1)
        if (tb != "-") row("baseline convert", tb, rb, 1)
        row("iconv (decode floor)", ti, ri, 1)
        row("dd bs=1M (copy floor)", td, rd, 0)
        row("cp (kernel copy)", tp, rp, 0)
        row("cat (read floor)", tc, rc, 0)
      }
      # One line: seconds, MB/s and the throughput as a share of dd, cp and cat
      # (and as a multiple of iconv for the converters).
      function row(name, t, r, converts) {
        printf "  %-22s %9.3f %9.1f %7.1f%% %7.1f%% %9s %7.1f%% %6.1f MiB\n", name, t, m / t, 100 * td / t, 100 * tp / t,
          converts ? sprintf("%.2fx", ti / t) : "", 100 * tc / t, r / 1024
      }'
    # A workbook of the STN log: a figure to watch, no goal.
    if [ "$kind" = stn ]; then
      rm -f "$work/xlsx"
      for ((run = 1; run <= 3; run++)); do
        timed xlsx "$cli" convert "$log" -o "$work/out.xlsx"
        rm -f "$work/out.xlsx"
      done
      awk -v mb="$bytes" -v tx="$(median "$work/xlsx" 1)" -v rx="$(median "$work/xlsx" 2)" 'BEGIN {
        printf "  %-22s %9.3f %9.1f %8s %8s %9s %8s %6.1f MiB\n", "convert -o .xlsx", tx, mb / 1e6 / tx, "", "", "", "", rx / 1024
      }'
    fi
    echo "$kind $size $bytes $t_trovlin $t_iconv $t_cat $r_trovlin $t_base $t_cp $t_dd" >>"$summary"
    [ "$size" = "${SIZES##* }" ] || rm -f "$log"
  done
done

echo
echo "Summary (MB/s; of dd = trovlin's throughput as a share of dd's, the goal per log; of cp likewise;"
echo "vs iconv = trovlin / iconv throughput)"
printf "  %-9s %6s %10s %10s %8s %6s %10s %8s %9s %10s\n" log size trovlin dd "of dd" goal cp "of cp" "vs iconv" "peak RSS"
awk -v goals="stn=50 jois=40 patolis3=40" -v sizes="$SIZES" -v kinds="$KINDS" 'BEGIN {
    n = split(goals, g, " ")
    for (i = 1; i <= n; i++) { split(g[i], kv, "="); goal[kv[1]] = kv[2] }
  }
  {
    m = $3 / 1e6
    share = 100 * $10 / $4
    note = (share >= goal[$1]) ? "" : "  (below goal)"
    printf "  %-9s %5dMB %10.1f %10.1f %7.1f%% %5d%% %10.1f %7.1f%% %8.2fx %6.1f MiB%s\n", $1, $2, m / $4, m / $10, share,
      goal[$1], m / $9, 100 * $9 / $4, $5 / $4, $7 / 1024, note
    rss[$1 " " $2] = $7
  }
  END {
    print ""
    print "Peak RSS of trovlin-cli convert by log size (goal: under 20 MiB, growth at most 2 MiB)"
    nk = split(kinds, k, " ")
    ns = split(sizes, s, " ")
    for (i = 1; i <= nk; i++) {
      line = sprintf("  %-9s", k[i])
      worst = 0
      for (j = 1; j <= ns; j++) {
        line = line sprintf("  %dMB: %.1f MiB", s[j], rss[k[i] " " s[j]] / 1024)
        if (rss[k[i] " " s[j]] > worst) worst = rss[k[i] " " s[j]]
      }
      growth = (rss[k[i] " " s[ns]] - rss[k[i] " " s[1]]) / 1024
      if (ns > 1) line = line sprintf("  growth: %+.2f MiB", growth)
      if (worst / 1024 >= 20 || growth > 2) line = line "  (beyond goal)"
      print line
    }
  }' "$summary"

if [ -n "$baseline_cli" ]; then
  echo
  echo "Against the baseline $BASELINE (MB/s; share of dd's throughput in the same turns)"
  printf "  %-9s %6s %10s %7s %10s %7s %9s\n" log size baseline "of dd" trovlin "of dd" speed-up
  awk '{
    m = $3 / 1e6
    printf "  %-9s %5dMB %10.1f %6.1f%% %10.1f %6.1f%% %8.2fx\n", $1, $2, m / $8, 100 * $10 / $8, m / $4, 100 * $10 / $4, $8 / $4
  }' "$summary"
fi

largest=${SIZES##* }
echo
echo "Event hook on the ${largest} MB logs (trovlin_hook_probe, $HOOK_RUNS runs each way):"
for kind in $KINDS; do
  log="$work/$kind-$largest.log"
  [ -f "$log" ] || "$gen" "$kind" "$largest" "$log"
  "$probe" "$log" "$HOOK_RUNS" | grep -v '^hook-probe ' | sed 's/^/  /'
  rm -f "$log"
done
