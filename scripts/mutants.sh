#!/usr/bin/env bash
# Mutation testing of the portable core: one small fault at a time (the
# operators in scripts/mutants/operators.txt) in lib/core, lib/hw and
# lib/timing, each built and run against the native tests; prints killed,
# survived, stillborn (does not build) and each survivor.
#   scripts/mutants.sh [--sample N --seed S] [--files REGEX...] [--jobs N] [--list]
# The mutants go into copies of the sources under build-mutants/ (own build
# trees), never into the work tree; the tree is checked unchanged at the end.
# Exit status: 0 when every chosen mutant was tested and everything was
# restored, whatever survived; 2 when the run could not be made; 3 when a
# restore failed; 130 on Ctrl-C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 "$root/scripts/mutants/mutants.py" "$@"
