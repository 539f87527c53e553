#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed programs
# against the installed sample data, as a user of the package would.
set -euo pipefail
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/tamsel-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install-test: $*" >&2; exit 1; }
for f in bin/tamsel-cli bin/tamsel-sample-driver share/man/man1/tamsel-cli.1 \
  share/man/man1/tamsel.1 share/man/man1/tamsel-sample-driver.1 \
  share/bash-completion/completions/tamsel-cli share/tamsel/sample/sample.tcf \
  share/tamsel/sample/catalogue.stanza share/tamsel/sample/db.ifo; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
if [ -e "$build/tamsel" ]; then
  for f in bin/tamsel share/applications/tamsel.desktop \
    share/icons/hicolor/scalable/apps/tamsel.svg share/mime/packages/tamsel.xml; do
    [ -e "$prefix/$f" ] || fail "missing $f"
  done
fi

# The installed CLI reads the installed configuration.
out=$("$prefix/bin/tamsel-cli" -c "check $prefix/share/tamsel/sample/sample.tcf" 2>"$prefix/err") ||
  fail "check failed: $(cat "$prefix/err")"
grep -q "catalogue" <<<"$out" || fail "check printed no catalogue: $out"
if grep -q '^message:' "$prefix/err"; then fail "check reported: $(cat "$prefix/err")"; fi

# The installed driver finds the installed sample data without being told
# where it is, from a directory that has none.
cd "$prefix"
"$prefix/bin/tamsel-sample-driver" --port 0 >"$prefix/driver.out" 2>"$prefix/driver.err" &
pid=$!
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true; rm -rf "$prefix"' EXIT
port=
for _ in $(seq 1 300); do
  port=$(sed -n 's/^listening on \([0-9][0-9]*\)$/\1/p' "$prefix/driver.out")
  [ -n "$port" ] && break
  kill -0 $pid 2>/dev/null || fail "driver ended: $(cat "$prefix/driver.err")"
  sleep 0.1
done
[ -n "$port" ] || fail "driver did not start"
sed "s/127\.0\.0\.1:7301/127.0.0.1:$port/" "$prefix/share/tamsel/sample/sample.tcf" >"$prefix/share/tamsel/sample/local.tcf"
titles=$("$prefix/bin/tamsel-cli" -c "open $prefix/share/tamsel/sample/local.tcf" \
  -c "row 1 Keyword strategy game" -c search -c titles 2>"$prefix/err") ||
  fail "search failed: $(cat "$prefix/err")"
grep -q "0ad" <<<"$titles" || fail "no titles from the installed driver: $titles"
echo "install-test: ok"
