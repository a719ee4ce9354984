#!/usr/bin/env bash
# What tools/install-deps.sh and `make run`/`make test` say about packages,
# with fake package tools on PATH: silent when nothing is missing, one line
# when it installs (the package manager's output in the log it names), the
# log printed when the installation fails, and without root or sudo the one
# line with the root command, from make too, with no `make: ***` after it.
set -uo pipefail
SOURCE=${TARNWICK_SOURCE_DIR:?the source folder}
WORK=$(mktemp -d /tmp/tarnwick-deps-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
failures=0 passes=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }

# dpkg-query: the packages in $MISSING are not installed. id -u: $FAKE_UID.
# sudo never works without a password. apt-get: prints a lot, fails when
# $APT_FAILS is set.
mkdir -p "$WORK/bin"
cat > "$WORK/bin/dpkg-query" <<'SH'
#!/bin/sh
for p in $MISSING; do [ "$p" = "$3" ] && exit 1; done
printf 'install ok installed'
SH
cat > "$WORK/bin/id" <<'SH'
#!/bin/sh
echo "$FAKE_UID"
SH
cat > "$WORK/bin/sudo" <<'SH'
#!/bin/sh
exit 1
SH
cat > "$WORK/bin/apt-get" <<'SH'
#!/bin/sh
for i in $(seq 40); do echo "debconf: delaying package configuration, line $i"; done
[ -z "${APT_FAILS:-}" ]
SH
chmod +x "$WORK/bin/"*
deps() { env PATH="$WORK/bin:$PATH" "$SOURCE/tools/install-deps.sh" "$@" >"$WORK/out" 2>"$WORK/err"; echo $?; }
lines() { grep -c '' "$1"; }

# case: what is missing, uid, apt fails, args, wanted status, wanted stdout lines, stderr lines, a word each must hold
while IFS='|' read -r what missing uid apt args status out err want_out want_err; do
  [ -n "$what" ] || continue
  got=$(MISSING=$missing FAKE_UID=$uid APT_FAILS=$apt deps $args)
  ok=1
  [ "$got" = "$status" ] || { fail "$what: status $got, wanted $status"; ok=0; }
  [ "$(lines "$WORK/out")" = "$out" ] || { fail "$what: $(lines "$WORK/out") line(s) out: $(cat "$WORK/out")"; ok=0; }
  [ "$(lines "$WORK/err")" = "$err" ] || { fail "$what: $(lines "$WORK/err") line(s) on stderr: $(head -n3 "$WORK/err")"; ok=0; }
  [ -z "$want_out" ] || grep -qF -- "$want_out" "$WORK/out" || { fail "$what: no '$want_out' in: $(cat "$WORK/out")"; ok=0; }
  [ -z "$want_err" ] || grep -qF -- "$want_err" "$WORK/err" || { fail "$what: no '$want_err' in: $(tail -n1 "$WORK/err")"; ok=0; }
  [ $ok = 1 ] && pass
done <<CASES
nothing missing||0||play $WORK/a.log|0|0|0||
installs, says how many and where the log is|cmake sox|0||test $WORK/b.log|0|1|0|Installing 2 packages (cmake sox); the package manager's output goes to $WORK/b.log|
the installation fails: the log is printed|cmake|0|yes|play $WORK/c.log|1|1|41|Installing 1 package (cmake)|the installation failed
no root, no sudo: the root command|cmake zlib1g-dev|1000||play $WORK/d.log|1|0|1||as root, run: apt-get install --no-install-recommends cmake zlib1g-dev
no root, no sudo: the root command for make|cmake|1000||play --root-command|0|1|0|as root, run: apt-get install --no-install-recommends cmake|
root: make needs no command|cmake|0||play --root-command|0|0|0||
CASES
grep -q 'debconf: delaying' "$WORK/b.log" && ! grep -q 'debconf' "$WORK/out" || fail "the package manager's output is not in the log"

# make run and make test without root or sudo: the one line, nothing else.
for goal in run test; do
  (cd "$SOURCE" && env PATH="$WORK/bin:$PATH" MISSING=cmake FAKE_UID=1000 DISPLAY=:99 \
     make --no-print-directory "$goal" BUILD="$WORK/never" PLAY_BUILD="$WORK/never") >"$WORK/out" 2>"$WORK/err"
  status=$?
  if [ "$status" != 0 ] && [ ! -s "$WORK/out" ] && [ "$(lines "$WORK/err")" = 1 ] &&
     grep -q 'as root, run: apt-get install --no-install-recommends cmake' "$WORK/err" && [ ! -e "$WORK/never" ]; then
    pass
  else
    fail "make $goal without root: status $status, said: $(cat "$WORK/out" "$WORK/err")"
  fi
done
echo "deps: $passes passed, $failures failed"
[ "$failures" = 0 ]
