#!/usr/bin/env bash
# Times retrieving 3000 titles from the sample driver: through tamsel-cli (a
# search for every catalogue record, then More until 3000 titles), through the
# GUI on the offscreen platform, and through a bare client that sends the
# same 3000 title requests one at a time. Prints each time (the median of
# RUNS runs) and the ratio to the bare client: the client's overhead above
# the protocol's round trips.
#
#   bench/titles.sh BUILD-DIR        (RUNS=5 by default)
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-5}
count=3000
cli="$build/tamsel-cli"
bare="$build/bench/tamsel_bare_titles"
gui="$build/bench/tamsel_gui_titles"
name=titles
programs=("$build/tools/sample-driver/tamsel-sample-driver" "$cli" "$bare")
# shellcheck source=bench/lib/session.sh
source "$top/bench/lib/session.sh"
mkdir -p "$work/gui"
cd "$work"

# Whole runs, process start to exit, timed the same way for both.
time_cli() {
  local before after
  before=$EPOCHREALTIME
  "$cli" -f "$work/session" >"$work/cli.out" 2>"$work/cli.err"
  after=$EPOCHREALTIME
  if [ "$(wc -l <"$work/cli.out")" -ne "$count" ] ||
    ! tail -n 1 "$work/cli.out" | grep -q "^$count "; then
    echo "titles: tamsel-cli did not list $count titles" >&2
    tail -n 5 "$work/cli.err" >&2
    exit 1
  fi
  awk -v a="$before" -v b="$after" 'BEGIN { printf "%.6f\n", b - a }'
}
# The bare client's whole run, then its own time from connect to last title.
time_bare() {
  local before after
  before=$EPOCHREALTIME
  "$bare" "$port" "$count" >"$work/bare.out"
  after=$EPOCHREALTIME
  awk -v a="$before" -v b="$after" 'BEGIN { printf "%.6f ", b - a }'
  sed -n 's/^connect-to-last-title //p' "$work/bare.out"
}

# One run of each first, so the driver's and the system's caches are warm.
time_cli >/dev/null
time_bare >/dev/null

# Runs take turns, so a change in the machine's load falls on both.
: >"$work/cli.times"
: >"$work/bare.times"
for _ in $(seq "$runs"); do
  time_cli >>"$work/cli.times"
  time_bare >>"$work/bare.times"
done
cli_time=$(median <"$work/cli.times")
bare_time=$(cut -d' ' -f1 "$work/bare.times" | median)
bare_inner=$(cut -d' ' -f2 "$work/bare.times" | median)

line() {
  awk -v label="$1" -v t="$2" -v base="${3:-}" -v target="${4:-}" 'BEGIN {
    printf "  %-36s %8.1f ms", label, t * 1000
    if (base != "") printf "   ratio %.2f (target at most %s)", t / base, target
    printf "\n"
  }'
}
echo "$count titles from the sample driver, median of $runs runs:"
line "bare client, whole run" "$bare_time"
line "tamsel-cli, whole run" "$cli_time" "$bare_time" 1.25

if [ -x "$gui" ]; then
  time_gui() {
    QT_QPA_PLATFORM=offscreen "$gui" "$work/sample.tcf" "$work/gui" "$count" 2>"$work/gui.err" |
      sed -n 's/^connect-to-last-title //p'
  }
  if [ -z "$(time_gui)" ]; then
    echo "  GUI: the offscreen session failed:" >&2
    tail -n 5 "$work/gui.err" >&2
    exit 1
  fi
  gui_time=$(for _ in $(seq "$runs"); do time_gui; done | median)
  line "bare client, open to last title" "$bare_inner"
  line "GUI (offscreen), open to last title" "$gui_time" "$bare_inner" 1.5
else
  echo "  GUI: not built (TAMSEL_GUI=OFF)"
fi
