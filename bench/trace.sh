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
driver="$build/tools/sample-driver/tamsel-sample-driver"
cli="$build/tamsel-cli"
for program in "$driver" "$cli"; do
  if [ ! -x "$program" ]; then
    echo "trace: $program is missing; build the benchmarks first" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tamsel-trace-bench.XXXXXX")
driver_pid=
cleanup() {
  if [ -n "$driver_pid" ]; then
    kill "$driver_pid" 2>/dev/null || true
    wait "$driver_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$driver" --port 0 --db "catalogue=$top/data/sample/catalogue.stanza" >"$work/driver.out" \
  2>"$work/driver.err" &
driver_pid=$!
port=
for _ in $(seq 1 600); do
  port=$(sed -n 's/^listening on \([0-9][0-9]*\)$/\1/p' "$work/driver.out")
  if [ -n "$port" ] || ! kill -0 "$driver_pid" 2>/dev/null; then
    break
  fi
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "trace: the sample driver did not start" >&2
  exit 1
fi

sed "s/127\.0\.0\.1:7301/127.0.0.1:$port/" "$top/data/sample/sample.tcf" >"$work/sample.tcf"
cp "$top/data/sample/db.ifo" "$work/db.ifo"
mkdir -p "$work/config" "$work/tmp"
export XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp"
cd "$work"
{
  echo "open sample.tcf"
  echo "row 1 Keyword *"
  echo "search"
  for _ in $(seq 2 $((count / 30))); do
    echo "more"
  done
  echo "titles"
} >"$work/session"

median() {
  sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
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
