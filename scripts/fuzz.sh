#!/usr/bin/env bash
# Builds the libFuzzer targets (tree "fuzz", clang) and runs each for SECONDS
# (default 30) on a fresh copy of its seed corpus in fuzz/corpus/; the
# committed corpus never grows. Prints per target the executions run and
# whether it found anything; exits non-zero on a finding, whose input and
# log stay in the fuzz tree's run/ folder. fuzz.sh [SECONDS]
# DUO_SEED, when given, is libFuzzer's seed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-30}
broot=${DUO_BUILD_ROOT:-build}
scripts/build.sh fuzz

# Target and its largest input in bytes.
targets=(settings_file_fuzzer:8192 hardware_key_fuzzer:512 core_exports_fuzzer:16384 bitmap_text_fuzzer:4096 tool_input_fuzzer:4096)
found=0
for entry in "${targets[@]}"; do
  target=${entry%%:*}
  max_len=${entry##*:}
  run="$broot/fuzz/run/$target"
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/findings"
  cp fuzz/corpus/"$target"/* "$run/corpus/"
  status=0
  "$broot/fuzz/bin/$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
    ${DUO_SEED:+-seed="$DUO_SEED"} -artifact_prefix="$run/findings/" "$run/corpus" >"$run/log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log")
  [[ -n $runs ]] || runs=$(grep -o '^#[0-9]*' "$run/log" | tail -n 1 | tr -d '#' || true)
  if ((status != 0)) || [[ -n $(ls -A "$run/findings") ]]; then
    found=1
    echo "$target: ${runs:-?} executions, FOUND a failure (exit $status): $run/log, $run/findings/"
    grep -m 5 -E 'ERROR|SUMMARY|deadly signal' "$run/log" || true
  else
    echo "$target: $runs executions, nothing found"
  fi
done
exit $found
