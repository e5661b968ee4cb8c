#!/usr/bin/env bash
# check_pe.sh OBJDUMP IMAGE KIND
# KIND library:   every export has its fixed ordinal and name; .shared is shared;
#                 only system DLLs are imported.
# KIND simulator: .shared is shared; only system DLLs are imported.
set -euo pipefail
objdump=$1 image=$2 kind=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

headers=$("$objdump" -h "$image")
shared=$(echo "$headers" | awk '/ \.shared /{getline; print}')
[[ -n "$shared" ]] || fail "$image has no .shared section"
[[ "$shared" == *SHARED* ]] || fail ".shared section is not marked shared: $shared"

private=$("$objdump" -p "$image")
imports=$(echo "$private" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
  case "$dll" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|msvcrt.dll) ;;
    *) fail "$image imports $dll: the runtime must be linked statically" ;;
  esac
done

if [[ "$kind" == library ]]; then
  # The export table of the library, ordinal and name.
  declare -A expected=(
    [1]=Init_VR_System [2]=Enable_VR_System [3]=Disable_VR_System [4]=Close_VR_System
    [5]=Query_VR_System [6]=Set_VR_System_Frequency [7]=Adjust_VR_System [8]=Diagnosis_VR_System
    [9]=Resume_VR_System [10]=Set_VR_System [11]=AdjustVRSystemDlgProc [12]=PopupWndProc
    [13]=DiagnosisVRSystemDlgProc [14]=Set_VR_Reserved [15]=SwitchGlasses
  )
  # objdump prints the ordinal base, then "[ordinal - base] name" in the
  # name pointer table.
  base=$(echo "$private" | sed -n 's/.*Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' | head -n 1)
  rows=$(echo "$private" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
         sed -n 's/^\s*\[ *\([0-9]*\)\] \(\S*\)$/\1 \2/p' |
         while read -r index name; do echo "$((index + base)) $name"; done)
  [[ -n "$rows" ]] || fail "$image exports nothing"
  count=0
  while read -r ordinal name; do
    [[ "${expected[$ordinal]:-}" == "$name" ]] || fail "export $name has ordinal $ordinal, expected ${expected[$ordinal]:-no export at that ordinal}"
    count=$((count + 1))
  done <<< "$rows"
  echo "$count export(s) checked"
fi
echo "OK: $image"
