#!/usr/bin/env bash
# check_sdk.sh OBJDUMP CC CXX INCLUDE_DIR IMPORT_LIB SDK_DEF DLL
# The SDK against the library it describes: duoscope.h needs nothing but
# <windows.h> and has no // comments; its ordinals, the import definitions' and the DLL's export
# table agree; a program calling all fifteen exports compiles as C89 and as
# C++ (pedantic, warnings as errors) and, linked with the import library,
# imports every one of them from duoscope.dll by ordinal.
set -euo pipefail
objdump=$1 cc=$2 cxx=$3 include=$4 importlib=$5 def=$6 dll=$7
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
header=$include/duoscope.h

# A C89 compiler sees "//" only where a macro that holds it is used.
if grep -n '//' "$header"; then fail "duoscope.h has // comments"; fi
includes=$(grep '^[[:space:]]*#[[:space:]]*include' "$header" || true)
[[ "$includes" == "#include <windows.h>" ]] || fail "duoscope.h includes more than <windows.h>: $includes"

# Export name (upper case) -> ordinal, from each of the three.
declare -A header_ord def_ord dll_ord
while read -r name ord; do header_ord[$name]=$ord; done < <(
  sed -n 's/^#define DUO_ORD_\([A-Z_]*\)[[:space:]]\+\([0-9]\+\)[[:space:]]*$/\1 \2/p' "$header")
while read -r name ord; do def_ord[${name^^}]=$ord; done < <(
  sed -n 's/^[[:space:]]*\([A-Za-z_]*\)@[0-9]\+ @\([0-9]\+\) NONAME[[:space:]]*$/\1 \2/p' "$def")
private=$("$objdump" -p "$dll")
base=$(sed -n 's/.*Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p;T;q' <<<"$private")
while read -r index name; do dll_ord[${name^^}]=$((index + base)); done < <(
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$private" | sed -n 's/^\s*\[ *\([0-9]*\)\] \(\S*\)$/\1 \2/p')
((${#dll_ord[@]} == 15)) || fail "the DLL exports ${#dll_ord[@]} names, not 15"
((${#header_ord[@]} == 15)) || fail "duoscope.h names ${#header_ord[@]} ordinals, not 15"
((${#def_ord[@]} == 15)) || fail "$(basename "$def") names ${#def_ord[@]} imports, not 15"
for name in "${!dll_ord[@]}"; do
  [[ "${header_ord[$name]:-}" == "${dll_ord[$name]}" ]] || fail "DUO_ORD_$name is ${header_ord[$name]:-missing}, the DLL exports it at ${dll_ord[$name]}"
  [[ "${def_ord[$name]:-}" == "${dll_ord[$name]}" ]] || fail "$name is @${def_ord[$name]:-missing} in the import definitions, the DLL exports it at ${dll_ord[$name]}"
done

cat >"$work/client.c" <<'CLIENT'
#include "duoscope.h"

int main(int argc, char **argv)
{
    (void)argv;
    if (argc < 0) {
        Init_VR_System(NULL);
        Enable_VR_System(NULL, DUO_FREQ_DEFAULT);
        Disable_VR_System(NULL);
        Close_VR_System(NULL);
        Query_VR_System(DUO_Q_VERSION, 0);
        Set_VR_System_Frequency(DUO_FREQ_MAX);
        Adjust_VR_System(NULL);
        Diagnosis_VR_System(NULL);
        Resume_VR_System();
        Set_VR_System(DUO_LINE_DOUBLE_ON);
        AdjustVRSystemDlgProc(NULL, 0, 0, 0);
        PopupWndProc(NULL, DUO_WM_NOTIFY, DUO_N_STEREO_ON, 0);
        DiagnosisVRSystemDlgProc(NULL, 0, 0, 0);
        Set_VR_Reserved(DUO_LINE_DOUBLE_OFF);
        SwitchGlasses();
    }
    return 0;
}
CLIENT

# The rows of the duoscope.dll import block: every one by ordinal (high bit
# set, no name), ordinals 1 to 15.
check_imports() {
  local image=$1 dump rows ordinals
  # Whole, before awk stops reading early (a broken pipe would end the script).
  dump=$("$objdump" -p "$image")
  rows=$(awk '/DLL Name: duoscope.dll/{on=1; next} on && /^[[:space:]]*$/{exit} on && /^[[:space:]]*[0-9a-f]+[[:space:]]/' <<<"$dump")
  ordinals=$(while read -r entry _; do echo $((16#${entry: -4})); done <<<"$rows" | sort -n | tr '\n' ' ')
  [[ "$ordinals" == "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 " ]] || fail "$(basename "$image") imports ordinals $ordinals"
  while read -r entry _ name _; do
    [[ ${entry:0:1} == 8 && ( -z "$name" || "$name" == "<none>" ) ]] || fail "$(basename "$image") imports by name: $entry $name"
  done <<<"$rows"
}
flags=(-pedantic -Werror -Wall -Wextra -I"$include")
"$cc" -std=c89 "${flags[@]}" "$work/client.c" -L"$(dirname "$importlib")" -lduoscope -o "$work/client_c.exe" ||
  fail "a C89 client of duoscope.h does not build"
check_imports "$work/client_c.exe"
for std in c++98 c++20; do
  "$cxx" -std=$std "${flags[@]}" -x c++ "$work/client.c" -x none -L"$(dirname "$importlib")" -lduoscope \
    -o "$work/client_$std.exe" || fail "a $std client of duoscope.h does not build"
  check_imports "$work/client_$std.exe"
done
echo "OK: duoscope.h (C89, C++98, C++20), 15 ordinals, $(basename "$(dirname "$importlib")") import library"
