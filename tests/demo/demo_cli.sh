#!/usr/bin/env bash
# Runs the built glimfx-demo as a user would: each effect in every layout,
# and each kind of bad input, which must give one line on stderr, a non-zero
# status and no output file (an existing one stays as it was).
# usage: demo_cli.sh DEMO ASSETS_DIR [EMULATOR...]
set -uo pipefail
demo=$1
assets=$2
shift 2
emulator=("$@")

work=$(mktemp -d "${TMPDIR:-/tmp}/glimfx-demo-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

program=$demo
run() {  # run DEMO_PATH ARGS...; sets status and err
  local program=$1
  shift
  "${emulator[@]}" "$program" "$@" >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  err=$(tr -d '\r' <"$work/err.txt")
}

bg=$assets/background.png
sprite=$assets/sprite.png

run "$demo" --help
[ $status -eq 0 ] || fail "--help exits $status"
grep -q "never clipped" "$work/out.txt" && grep -q "^Examples:" "$work/out.txt" ||
  fail "--help lacks the clipping rule or the examples"
run "$demo" --version
[ $status -eq 0 ] && grep -q "^glimfx-demo [0-9]" "$work/out.txt" || fail "--version: status $status"

for format in 555 565 24 32; do
  run "$demo" alpha "$bg" "$sprite" --at 37,29 --format "$format" -o "top-$format.png"
  [ $status -eq 0 ] || fail "alpha $format: status $status: $err"
  run "$demo" alpha "$bg" "$sprite" --at 37,29 --format "$format" --bottom-up -o "up-$format.png"
  [ $status -eq 0 ] || fail "alpha $format bottom-up: status $status: $err"
  cmp -s "top-$format.png" "up-$format.png" || fail "alpha $format: bottom-up differs"
done
cmp -s top-555.png top-565.png && fail "alpha: 555 and 565 give the same picture"

run "$demo" noche "$bg" --rect 3,5,61,40 --format 565 --times 2 -o twice.png
[ $status -eq 0 ] || fail "noche --times 2: $err"
run "$demo" noche "$bg" --rect 3,5,61,40 --format 565 -o once.png
run "$demo" noche once.png --rect 3,5,61,40 --format 565 -o once-more.png
cmp -s twice.png once-more.png || fail "noche --times 2 differs from two runs"
cmp -s twice.png once.png && fail "noche --times 2 equals one run"

leftovers=$(find . -name '.*png*' -o -name '*.tmp' | wc -l)
[ "$leftovers" -eq 0 ] || fail "temporary files left behind"

# expect_error STATUS TEXT ARGS...: fails with STATUS, one stderr line holding
# TEXT, and keeps result.png as it was.
expect_error() {
  local want=$1 text=$2
  shift 2
  echo "previous result" >result.png
  run "$program" "$@"
  [ $status -eq "$want" ] || fail "$* -> status $status, expected $want"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "$* -> not one line: $err"
  case "$err" in *"$text"*) ;; *) fail "$* -> '$err' lacks '$text'" ;; esac
  [ "$(cat result.png)" = "previous result" ] || fail "$* -> result.png changed"
}

head -c 300 "$bg" >cut.png
expect_error 1 "cannot open missing.png" noche missing.png -o result.png
expect_error 1 "is not a PNG file" noche "$0" -o result.png
expect_error 1 "is a damaged PNG file" noche cut.png -o result.png
expect_error 1 "does not fit inside the 160x120 background" \
  alpha "$bg" "$sprite" --at 150,0 -o result.png
expect_error 1 "does not fit inside the 48x48 background" alpha "$sprite" "$bg" -o result.png
expect_error 1 "does not fit inside" noche "$bg" --rect 100,100,61,40 -o result.png
expect_error 2 "unknown format '16'" noche "$bg" --format 16 -o result.png
expect_error 2 "--times" noche "$bg" --times 0 -o result.png
expect_error 2 "--at" convert "$bg" --at 1,1 -o result.png
expect_error 2 "unknown command 'blur'" blur "$bg" -o result.png
expect_error 1 "cannot load the glimfx library from" noche "$bg" --library nolib -o result.png

# Alone in a folder, the demo says where it looked.
mkdir alone
cp "$demo" alone/
program=alone/$(basename "$demo")
expect_error 1 "in the system's library search path" noche "$bg" -o result.png
case "$err" in *"looked for "*" in "*alone*) ;; *) fail "search not described: $err" ;; esac
program=$demo

run "$demo" noche "$bg" -o no-such-folder/result.png
[ $status -eq 1 ] && [ ! -e no-such-folder ] || fail "unwritable target: status $status"

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "demo command line: ok"
