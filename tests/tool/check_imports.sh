#!/usr/bin/env bash
# duodeck.exe is bound to duoscope.dll when it loads and imports exactly the
# ten exports it calls, by ordinal only (no names), and otherwise only
# system DLLs.  check_imports.sh OBJDUMP duodeck.exe
set -euo pipefail
objdump=$1 image=$2
dump=$("$objdump" -p "$image")
dlls=$(grep -o 'DLL Name: .*' <<<"$dump" | sed 's/DLL Name: //' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[[ "$dlls" == "duoscope.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll " ]] || { echo "unexpected DLLs: $dlls"; exit 1; }
# The rows of the duoscope.dll block up to the next blank line.
rows=$(awk '/DLL Name: duoscope.dll/{on=1; next} on && /^[[:space:]]*$/{exit} on && /^[[:space:]]*[0-9a-f]+[[:space:]]/' <<<"$dump")
# The ordinal is the low word of the lookup entry (objdump prints the
# ordinal column in hex on x86_64 and in decimal on i686).
ordinals=$(while read -r entry _; do echo $((16#${entry: -4})); done <<<"$rows" | sort -n | tr '\n' ' ')
[[ "$ordinals" == "1 2 3 4 5 6 7 8 9 15 " ]] || { echo "unexpected ordinals: $ordinals"; exit 1; }
# By ordinal: the high bit of every lookup entry is set and no name follows.
if awk '{ if ($3 != "<none>" && $3 != "") exit 1 }' <<<"$rows"; then :; else echo "imports by name: $rows"; exit 1; fi
while read -r entry _; do
  [[ ${entry:0:1} == 8 ]] || { echo "not an ordinal import: $entry"; exit 1; }
done <<<"$rows"
echo "duodeck.exe imports duoscope.dll ordinals $ordinals"
