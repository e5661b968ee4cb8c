#!/usr/bin/env bash
# Builds the release package: duoscope-<version>-win32.zip in the release
# tree (build/release32) with the 32-bit duoscope.dll and duodeck.exe (built
# without the simulated-driver fallback of the test builds), the SDK
# (header, import libraries, .def, docs/api.md), the example client's source
# and the README for users. Prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
broot=${DUO_BUILD_ROOT:-build}
tree=$broot/release32
werror=OFF
[[ "${CI:-}" == true ]] && werror=ON
scripts/install-deps.sh
# Configured every time, so that a changed option takes effect.
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUO_WERROR=$werror -DDUO_SIM_FALLBACK=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$tree" -j2
ls "$(cd "$tree" && pwd)"/duoscope-*-win32.zip
