# Shared by the title benchmarks (sourced, not run): checks the programs,
# starts the sample driver on a free port with the catalogue, and prepares a
# working directory with the sample configuration pointing at it and a
# tamsel-cli session that lists COUNT titles. Set before sourcing: build,
# top, count, name (for messages) and programs (those that must exist).
# Leaves: work, port, driver_pid, median(); the driver stops at exit.

for program in "${programs[@]}"; do
  if [ ! -x "$program" ]; then
    echo "$name: $program is missing; build the benchmarks first" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tamsel-$name-bench.XXXXXX")
driver_pid=
cleanup() {
  if [ -n "$driver_pid" ]; then
    kill "$driver_pid" 2>/dev/null || true
    wait "$driver_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$build/tools/sample-driver/tamsel-sample-driver" --port 0 \
  --db "catalogue=$top/data/sample/catalogue.stanza" >"$work/driver.out" 2>"$work/driver.err" &
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
  echo "$name: the sample driver did not start" >&2
  cat "$work/driver.err" >&2
  exit 1
fi

sed "s/127\.0\.0\.1:7301/127.0.0.1:$port/" "$top/data/sample/sample.tcf" >"$work/sample.tcf"
cp "$top/data/sample/db.ifo" "$work/db.ifo"
mkdir -p "$work/config" "$work/tmp"
export XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp"

# The catalogue connects on open; 30 titles come with the search and More
# brings the rest.
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
