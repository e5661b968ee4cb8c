#!/usr/bin/env bash
# The main job: builds the Windows binaries and starts the DuoDeck bar under
# Wine on a simulated adapter. With a display, the user drives the bar; with
# none, it runs in a private X server and plays the user's main flow by
# itself (enable, eye swap, frequency select dialog, frequency change,
# disable, exit), saving a screenshot after each step in build/screenshots/run
# and printing what the simulated monitor shows. Before the bar, a library
# client shows the same steps as text.
#   run.sh [ADAPTER] [WIDTHxHEIGHTxDEPTH]   (default s3-765 800x600x16; the
#                                            mode applies to the private X server)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
adapter=${1:-s3-765}
export DUO_SCREEN=${2:-800x600x16}
scripts/install-deps.sh
scripts/build.sh win64:duo_main
source scripts/wine-session.sh
duo_session_start
export DUOGATE_ADAPTER=$adapter
broot="$root/${DUO_BUILD_ROOT:-build}"
bin="$broot/win64/bin"
# The settings files are created in the working directory.
mkdir -p "$broot/run"
cd "$broot/run"
echo "== the simulated adapter ($adapter) as the desktop left it"
/usr/lib/wine/wine64 "$bin/duogate-sim.exe" --reset
echo
echo "== a library client, step by step"
/usr/lib/wine/wine64 "$bin/duodemo.exe"
echo
echo "== the DuoDeck bar"
if [[ -n "$duo_xvfb_pid" ]]; then
  "$root/scripts/demo-flow.sh" "$bin" "$broot/screenshots/run"
else
  /usr/lib/wine/wine64 "$bin/duodeck.exe"
fi
