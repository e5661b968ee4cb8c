#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the build tree's private prefix.
# The caller (scripts/test.sh or scripts/run.sh) provides DISPLAY and keeps a
# wineserver alive; this wrapper sets the environment and the seed.
#
# The emulation now and then ends a program before it prints anything (about
# once in a few hundred starts): such a start, failed and silent on both
# streams, runs once more with the same seed. A program that printed
# anything keeps its result. The output is passed on when the program ends.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/../../build/wineprefix}"
export WINEPREFIX
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=-all
# Chosen here when not given, so that a second start draws the same.
export DUO_SEED=${DUO_SEED:-$((RANDOM << 15 | RANDOM))}
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for start in 1 2; do
  status=0
  /usr/lib/wine/wine64 "$@" >"$out" 2>"$err" || status=$?
  if ((status == 0)) || [[ -s $out || -s $err ]]; then break; fi
  ((start == 2)) || echo "wine-run: $1 ended with status $status before printing anything; starting it once more (DUO_SEED=$DUO_SEED)" >&2
done
cat "$out"
cat "$err" >&2
exit "$status"
