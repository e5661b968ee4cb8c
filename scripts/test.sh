#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the Windows
# binaries under Wine, and the static checks of the 32-bit build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
broot=${DUO_BUILD_ROOT:-build}
scripts/install-deps.sh
scripts/build.sh native asan win64 win32

echo "== native tests"
ctest --test-dir $broot/native --output-on-failure
echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir $broot/asan --output-on-failure
echo "== static checks of the 32-bit and 64-bit images"
ctest --test-dir $broot/win32 --output-on-failure -R '^static\.'
ctest --test-dir $broot/win64 --output-on-failure -R '^static\.'

echo "== fuzzing, about 20 s per target"
scripts/fuzz.sh 20

echo "== Windows tests under Wine"
DUO_PRIVATE_X=1 DUO_SCREEN=800x600x16
export DUO_PRIVATE_X DUO_SCREEN
source scripts/wine-session.sh
duo_session_start
ctest --test-dir $broot/win64 --output-on-failure -R '^wine\.'
