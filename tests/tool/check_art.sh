#!/usr/bin/env bash
# DuoDeck's committed pictures are what duotoolart draws, with the sizes and
# colour depths the program relies on.  check_art.sh DUOTOOLART RES_DIR
# [EMULATOR...] (the 32-bit tree runs the generator under its emulator).
set -euo pipefail
gen=$1 res=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$@" "$gen" "$out"
for f in "$out"/*; do
  cmp -s "$f" "$res/$(basename "$f")" || { echo "$(basename "$f") differs from the generator's; run duotoolart tool/res"; exit 1; }
done
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
check_bmp() { # file width height bits
  local f=$res/$1
  [[ "$(head -c2 "$f")" == BM && $(u32 "$f" 18) == "$2" && $(u32 "$f" 22) == "$3" && $(u16 "$f" 28) == "$4" ]] ||
    { echo "$1: not a ${2}x${3} ${4}-bit bitmap"; exit 1; }
}
for f in face_normal face_pressed face_disabled; do
  check_bmp $f.bmp 230 86 24
  check_bmp ${f}16.bmp 230 86 4
  [[ $(u32 "$res/${f}16.bmp" 46) == 16 ]] || { echo "${f}16.bmp: no 16-colour palette"; exit 1; }
done
check_bmp text_light.bmp 246 46 24
check_bmp text_dark.bmp 246 45 24
check_bmp dialog_button_up.bmp 60 24 24
check_bmp dialog_button_down.bmp 60 24 24
check_bmp mark_selected.bmp 20 20 24
check_bmp mark_on_top.bmp 20 20 24
# An icon directory with one 32x32 16-colour image.
[[ $(u16 "$res/duodeck.ico" 0) == 0 && $(u16 "$res/duodeck.ico" 2) == 1 && $(u16 "$res/duodeck.ico" 4) == 1 ]] ||
  { echo "duodeck.ico: not an icon file"; exit 1; }
echo "tool artwork matches its generator"
