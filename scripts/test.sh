#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests (also at 32 bits
# under qemu-i386), the Windows binaries under Wine, and the static checks of
# the 32-bit build (among them its imports against Windows 95's exports).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
broot=${DUO_BUILD_ROOT:-build}
scripts/install-deps.sh
scripts/build.sh native asan win64 win32 i386

# Seeds. Every seeded test and simulated desktop draws from DUO_SEED. Under
# CI each stage runs with its own fixed seed (the set in README.md) and the
# randomised runs are bounded by steps, not by time, so that a result does
# not depend on luck or on the machine's speed; elsewhere each program takes
# a seed from the clock and prints it. A DUO_SEED given here holds for every
# stage.
given_seed=${DUO_SEED:-}
ci=false
[[ "${CI:-}" == true ]] && ci=true
stage_seed() {
  if [[ -n $given_seed ]]; then export DUO_SEED=$given_seed
  elif $ci; then export DUO_SEED=$1
  else unset DUO_SEED
  fi
}
# Steps per adapter/mode run of the sequence test in a tree (the slower
# trees take fewer); empty outside CI: the test's own time bound.
sequence_steps() { $ci && echo "$1" || true; }

echo "== native tests"
stage_seed 1
DUO_SEQUENCE_STEPS=$(sequence_steps 2500) ctest --test-dir $broot/native --output-on-failure
echo "== mutation testing: a seeded sample of the portable core's mutants"
# Reports the score and the survivors without failing on them; fails when
# the mutation run itself breaks (nothing mutated, a file not restored).
# scripts/mutants.sh without --sample is the full run (about an hour).
scripts/mutants.sh --sample 30 --seed 1
echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
stage_seed 2
DUO_SEQUENCE_STEPS=$(sequence_steps 150) ctest --test-dir $broot/asan --output-on-failure
echo "== native tests at 32 bits (i386, under qemu-i386)"
stage_seed 3
DUO_SEQUENCE_STEPS=$(sequence_steps 500) ctest --test-dir $broot/i386 --output-on-failure
echo "== static checks of the 32-bit and 64-bit images"
ctest --test-dir $broot/win32 --output-on-failure -R '^static\.'
ctest --test-dir $broot/win64 --output-on-failure -R '^static\.'
echo "== the release package (no simulator fallback) and its contents"
scripts/package.sh
ctest --test-dir $broot/release32 --output-on-failure

echo "== fuzzing, about 20 s per target"
stage_seed 4
scripts/fuzz.sh 20

echo "== Windows tests under Wine"
DUO_PRIVATE_X=1 DUO_SCREEN=800x600x16
export DUO_PRIVATE_X DUO_SCREEN
source scripts/wine-session.sh
duo_session_start
# A Wine start that ends before printing anything runs once more with the
# same seed (tests/wine/wine-run.sh); every other failure fails.
stage_seed 5
if $ci; then export DUO_STRESS_STEPS=6000; fi
ctest --test-dir $broot/win64 --output-on-failure -R '^wine\.'

# Two desktop modes the 800x600x16 screen cannot show: a 256-colour screen
# (the dialogs' and the bar's palette paths) and 640x480 at 16 bits (a mode the Trident 9440
# refuses, for the bar's error box).
wine_test() {
  (cd "$broot/win64/bin" && "$root/tests/wine/wine-run.sh" "./$1" "--gtest_filter=$2")
}
for screen in 640x480x8 640x480x16; do
  duo_session_end
  DUO_SCREEN=$screen
  duo_session_start
  echo "== Windows tests at $screen"
  stage_seed 6
  case "$screen" in
    640x480x8)
      wine_test dialogs_win_test.exe '*'
      wine_test duodeck_e2e_test.exe 'Duodeck.FacesComeFromTheSheetsOfTheScreenDepth'
      ;;
    640x480x16) wine_test duodeck_e2e_test.exe 'Duodeck.DisplayModeRefusedBox' ;;
  esac
done
