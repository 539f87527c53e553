#!/usr/bin/env bash
# Times the 3000-title tamsel-cli run of titles.sh with and without the packet
# trace (TAMSEL_TRACE) and prints the ratio: what tracing costs a session.
#
#   bench/trace.sh BUILD-DIR        (RUNS=5 by default)
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-5}
count=3000
cli="$build/tamsel-cli"
name=trace
programs=("$build/tools/sample-driver/tamsel-sample-driver" "$cli")
# shellcheck source=bench/lib/session.sh
source "$top/bench/lib/session.sh"
cd "$work"

# One whole run; with an argument, traced into that file (emptied first).
time_run() {
  local before after
  if [ -n "${1:-}" ]; then
    : >"$1"
  fi
  before=$EPOCHREALTIME
  TAMSEL_TRACE="${1:-}" "$cli" -f "$work/session" >"$work/cli.out" 2>"$work/cli.err"
  after=$EPOCHREALTIME
  if [ "$(wc -l <"$work/cli.out")" -ne "$count" ]; then
    echo "trace: tamsel-cli did not list $count titles" >&2
    tail -n 5 "$work/cli.err" >&2
    exit 1
  fi
  awk -v a="$before" -v b="$after" 'BEGIN { printf "%.6f\n", b - a }'
}

time_run >/dev/null
time_run "$work/trace.txt" >/dev/null
: >"$work/plain.times"
: >"$work/traced.times"
for _ in $(seq "$runs"); do
  time_run >>"$work/plain.times"
  time_run "$work/trace.txt" >>"$work/traced.times"
done
plain=$(median <"$work/plain.times")
traced=$(median <"$work/traced.times")
packets=$(grep -c ' ms \(sent\|received\) ' "$work/trace.txt")
echo "$count titles through tamsel-cli, median of $runs runs:"
awk -v p="$plain" -v t="$traced" -v n="$packets" 'BEGIN {
  printf "  %-36s %8.1f ms\n", "without trace", p * 1000
  printf "  %-36s %8.1f ms   ratio %.3f (target at most 1.10), %d packets traced\n",
         "with TAMSEL_TRACE", t * 1000, t / p, n
}'
