#!/usr/bin/env bash
# Times retrieving 3000 titles from the sample driver: through tamsel-cli (a
# search for every catalogue record, then More until 3000 titles), through the
# GUI on the offscreen platform, and through a bare client that sends the
# same 3000 title requests one at a time. Prints each time (the median of
# RUNS runs) and the ratio to the bare client: the client's overhead above
# the protocol's round trips.
#
#   bench/titles.sh BUILD-DIR        (RUNS=11 by default)
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-11}
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
  inner "$work/bare.out"
}
# A client's own times: open (or connect) to last title, search to last.
inner() {
  awk '/^connect-to-last-title / { c = $2 } /^search-to-last-title / { s = $2 }
    END { if (c != "" && s != "") print c, s }' "$1"
}

time_gui() {
  QT_QPA_PLATFORM=offscreen "$gui" "$work/sample.tcf" "$work/gui" "$count" \
    >"$work/gui.out" 2>"$work/gui.err"
  inner "$work/gui.out"
}
with_gui=
if [ -x "$gui" ]; then
  with_gui=1
fi

# One run of each first, so the driver's and the system's caches are warm.
time_cli >/dev/null
time_bare >/dev/null
if [ -n "$with_gui" ] && [ -z "$(time_gui)" ]; then
  echo "titles: the offscreen GUI session failed:" >&2
  tail -n 5 "$work/gui.err" >&2
  exit 1
fi

# Runs take turns, so a change in the machine's load falls on all of them.
: >"$work/runs"
for _ in $(seq "$runs"); do
  cli_run=$(time_cli)
  bare_run=$(time_bare)
  gui_run="0 0"
  if [ -n "$with_gui" ]; then
    gui_run=$(time_gui)
  fi
  echo "$cli_run $bare_run $gui_run" >>"$work/runs"
done
column() {
  awk -v f="$1" '{ print $f }' "$work/runs" | median
}
fastest() {
  awk -v f="$1" '{ print $f }' "$work/runs" | sort -g | head -n 1
}
# The ratio of the medians; beside it that of the fastest runs, which
# leaves out most of what the machine's other work adds.
ratios() {
  awk -v a="$(column "$1")" -v b="$(column "$2")" -v fa="$(fastest "$1")" \
    -v fb="$(fastest "$2")" 'BEGIN { printf "%.4f %.4f", a / b, fa / fb }'
}
line() {
  awk -v label="$1" -v t="$2" -v ratios="${3:-}" -v target="${4:-}" 'BEGIN {
    printf "  %-36s %8.1f ms", label, t * 1000
    if (ratios != "") {
      split(ratios, r, " ")
      printf "   ratio %.2f (fastest runs %.2f; target at most %s)", r[1], r[2], target
    }
    printf "\n"
  }'
}
echo "$count titles from the sample driver, median of $runs runs:"
line "bare client, whole run" "$(column 2)"
line "tamsel-cli, whole run" "$(column 1)" "$(ratios 1 2)" 1.25
if [ -n "$with_gui" ]; then
  line "bare client, open to last title" "$(column 3)"
  line "GUI (offscreen), open to last title" "$(column 5)" "$(ratios 5 3)" 1.5
  # The same without opening the window and connecting: the search and
  # the paging alone.
  line "bare client, search to last title" "$(column 4)"
  line "GUI (offscreen), search to last title" "$(column 6)" "$(ratios 6 4)" 1.5
else
  echo "  GUI: not built (TAMSEL_GUI=OFF)"
fi
