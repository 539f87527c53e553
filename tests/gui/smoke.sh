#!/usr/bin/env bash
# Starts the real program under Xvfb, waits for its main window, takes a
# screenshot and checks that something was painted.
# Usage: smoke.sh TAMSEL_BINARY OUTPUT_DIR
set -euo pipefail
binary=$1
outdir=$2
shot="$outdir/smoke-startup.png"

# Settings, temporary files and the single-instance socket of this run only,
# so a Tamsel the user is running does not answer.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime" "$work/tmp"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
export TMPDIR="$work/tmp"
unset TEMP TMP

rm -f "$shot"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  binary=$1; shot=$2
  "$binary" -e &
  pid=$!
  found=0
  for _ in $(seq 1 100); do
    if xwininfo -root -tree | grep -q "\"Tamsel\""; then found=1; break; fi
    if ! kill -0 "$pid" 2>/dev/null; then break; fi
    sleep 0.2
  done
  if [ "$found" = 1 ]; then
    sleep 1  # let it paint
    import -window root "$shot"
  else
    echo "smoke: no window titled \"Tamsel\" within 20 s" >&2
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ "$found" = 1 ]
' smoke "$binary" "$shot"

# Ended by SIGTERM, the program still removes its private directory.
leftover=$(find "$work/tmp" -maxdepth 1 -name 'tamsel-*')
if [ -n "$leftover" ]; then
  echo "smoke: temporary files left behind: $leftover" >&2
  exit 1
fi

colours=$(identify -format %k "$shot")
echo "smoke: screenshot $shot has $colours colours"
if [ "$colours" -le 1 ]; then
  echo "smoke: the screenshot is blank" >&2
  exit 1
fi
