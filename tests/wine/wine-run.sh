#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the build tree's private prefix.
# The caller (scripts/test.sh or scripts/run.sh) provides DISPLAY and keeps a
# wineserver alive; this wrapper only sets the environment.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/../../build/wineprefix}"
export WINEPREFIX
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=-all
exec /usr/lib/wine/wine64 "$@"
