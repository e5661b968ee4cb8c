#!/usr/bin/env bash
# The user's main flow on the DuoDeck bar, played by itself with synthetic
# mouse input (xdotool): start, enable stereo, swap the eyes, open the
# frequency select dialog, change the frequency, disable, exit. After each
# step it saves a screenshot and prints what the simulated monitor shows.
#
#   demo-flow.sh BIN_DIR SCREENSHOT_DIR
#
# Runs inside a Wine session (scripts/wine-session.sh: DISPLAY, WINEPREFIX,
# a persistent wineserver) with DUOGATE_ADAPTER naming the simulated adapter.
set -euo pipefail
bin=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
wine=/usr/lib/wine/wine64

# A fresh directory: no "DuoDeck.ini", so the bar opens at the screen's
# top-left corner in one row and its buttons stand at known places.
work=$(mktemp -d)
cd "$work"
deck=""
finish() {
  if [[ -n "$deck" ]] && kill -0 "$deck" 2>/dev/null; then kill "$deck" 2>/dev/null || true; fi
  [[ -n "$deck" ]] && wait "$deck" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

step=0
show() {
  step=$((step + 1))
  local shot
  shot="$out/$(printf '%02d' "$step")-$1.png"
  sleep 0.6
  import -window root "$shot"
  printf '%d. %s\n   %s\n   screenshot %s\n' "$step" "$2" "$("$wine" "$bin/duogate-sim.exe" | grep '^monitor:')" "$shot"
}

window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -1) && [[ -n "$id" ]] && break
    sleep 0.1
  done
  [[ -n "$id" ]] || { echo "demo-flow: no window \"$1\"" >&2; exit 1; }
  echo "$id"
}

# Buttons in the bar's first row, by their place: 0 Enable, 1 Disable,
# 2 Select frequency, 3 Information, 4 Adjust, 5 Test, 6 Resume, 7 Toggle
# glasses, 8 Setup, 9 Exit.
press() { xdotool mousemove --window "$bar" $((43 + 36 * $1 + 18)) 25 click 1; }

"$wine" "$bin/duogate-sim.exe" --reset >/dev/null
"$wine" "$bin/duodeck.exe" &
deck=$!
bar=$(window '^DUO DECK$')
show start "the bar has started; stereo is off"
press 0
show enable "Enable: stereo on at the default frequency"
press 7
show eye-swap "Toggle glasses: the left and right eye swap (display start one line down)"
press 2
dialog=$(window '^Frequency Select $')
show frequency-dialog "Select frequency: the dialog lists the available frequencies"
xdotool mousemove --window "$dialog" 60 157 click 1 # the 110 Hz label
sleep 0.5
xdotool mousemove --window "$dialog" 250 22 sleep 0.3 mousedown 1 sleep 0.1 mouseup 1 # OK
for _ in $(seq 50); do xdotool search --name '^Frequency Select $' >/dev/null 2>&1 || break; sleep 0.1; done
show frequency-110 "110 Hz chosen and applied"
press 1
show disable "Disable: the desktop timing is back"
press 9
for _ in $(seq 100); do kill -0 "$deck" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$deck" 2>/dev/null; then echo "demo-flow: the bar did not exit" >&2; exit 1; fi
wait "$deck" && status=0 || status=$?
deck=""
show exit "Exit: the bar has closed (exit code $status) and saved DuoDeck.ini ($(stat -c %s DuoDeck.ini) bytes)"
