#!/usr/bin/env bash
# check_win95.sh OBJDUMP EXPORTS_DIR IMAGE [OWN_DLL...]
# The Windows 95 loader refuses an image that imports anything the system
# does not export, and Windows 95 exports most wide-character functions only
# as failing stubs. So every import of IMAGE must be a name listed in
# EXPORTS_DIR/<dll>.txt for a system DLL, or come from one of the product's
# own DLLs (OWN_DLL, e.g. duoscope.dll, imported by ordinal). The image must
# also say OS and subsystem version 4.0. All offences are listed at once.
set -euo pipefail
objdump=$1 exports=$2 image=$3
shift 3
own=" ${*,,} "
name=$(basename "$image")
dump=$("$objdump" -p "$image")

bad=()
for field in MajorOSystemVersion:4 MinorOSystemVersion:0 MajorSubsystemVersion:4 MinorSubsystemVersion:0; do
  value=$(awk -v key="${field%%:*}" '$1 == key {print $2}' <<<"$dump")
  [[ "$value" == "${field#*:}" ]] || bad+=("${field%%:*}=${value:-missing}")
done

# "dll name" per import; an import by ordinal has no name ("<none>") and is
# written "#ordinal" (objdump's hint column then holds the ordinal).
imports=$(awk '
  /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
  /^[^\t]/ { dll = "" }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, ($NF == "<none>" ? "#" $2 : $NF) }' <<<"$dump")
count=0
while read -r dll function; do
  [[ -n "$dll" ]] || continue
  count=$((count + 1))
  if [[ "$own" == *" $dll "* ]]; then continue; fi
  list="$exports/${dll%.dll}.txt"
  if [[ ! -f "$list" ]]; then
    bad+=("$dll:$function")
  elif ! grep -qxF -- "$function" "$list"; then
    bad+=("$dll:$function")
  fi
done <<<"$imports"
# An image imports at least its start-up functions from KERNEL32: finding
# none means the dump was not read, which must not pass as clean.
grep -q '^kernel32.dll ' <<<"$imports" || bad+=("no KERNEL32 imports found")

if ((${#bad[@]})); then
  echo "FAIL: $name imports what Windows 95 lacks: ${bad[*]}" >&2
  exit 1
fi
echo "OK: $name, $count imports, all exported by Windows 95"
