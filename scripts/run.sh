#!/usr/bin/env bash
# The main job: builds the Windows binaries and runs the library's client
# under Wine on a simulated adapter. With no display it runs in a private X
# server. run.sh [ADAPTER] [WIDTHxHEIGHTxDEPTH]   (default s3-765 800x600x16)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
adapter=${1:-s3-765}
export DUO_SCREEN=${2:-800x600x16}
scripts/install-deps.sh
scripts/build.sh win64
source scripts/wine-session.sh
duo_session_start
export DUOGATE_ADAPTER=$adapter
bin="$root/${DUO_BUILD_ROOT:-build}/win64/bin"
# The settings file "duoscope.ini" is created in the working directory.
mkdir -p "$root/build/run"
cd "$root/build/run"
echo "== the simulated adapter ($adapter), before the library runs"
/usr/lib/wine/wine64 "$bin/duogate-sim.exe" --reset
echo
echo "== the library's client"
/usr/lib/wine/wine64 "$bin/duodemo.exe"
echo
echo "== the simulated adapter afterwards"
/usr/lib/wine/wine64 "$bin/duogate-sim.exe"
