#!/usr/bin/env bash
# Configures and builds the three trees: native (portable core, simulator,
# unit tests), win64 (the binaries the tests run under Wine) and win32 (the
# 32-bit build, checked statically); on request also asan, i386 (the portable
# core and its tests for 32-bit Linux, run under qemu-i386) and fuzz
# (libFuzzer targets, clang). build.sh [native|asan|win64|win32|i386|fuzz ...]
# A tree written TREE:TARGET builds only that target (win64:duo_main: what
# scripts/run.sh runs). Every tree is configured again each time, so that a
# changed option (DUO_WERROR under CI) takes effect.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# DUO_BUILD_ROOT lets several checkouts' worth of work build side by side.
broot=${DUO_BUILD_ROOT:-build}
werror=OFF
[[ "${CI:-}" == true ]] && werror=ON
trees=("$@")
((${#trees[@]})) || trees=(native win64 win32)
for entry in "${trees[@]}"; do
  tree=${entry%%:*}
  targets=()
  [[ $entry == *:* ]] && targets=(--target "${entry#*:}")
  case "$tree" in
    native) args=() ;;
    win64) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake") ;;
    win32) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
    i386) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/linux-i386.cmake") ;;
    asan) args=(-DDUO_SANITIZE=ON) ;;
    fuzz) args=(-DCMAKE_CXX_COMPILER=clang++ -DDUO_FUZZ=ON -DDUO_BUILD_TESTS=OFF) ;;
    *) echo "unknown tree $tree" >&2; exit 2 ;;
  esac
  cmake -S . -B "$broot/$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUO_WERROR=$werror "${args[@]}" >/dev/null
  cmake --build "$broot/$tree" -j2 "${targets[@]}"
done
