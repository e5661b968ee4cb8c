#!/usr/bin/env bash
# check_package.sh PART ZIP VERSION OBJDUMP [CC_I686 CC_X86_64]
# The release package, by PART:
#   contents   exactly the files it should hold; both images 32-bit; the
#              library's export table and shared section, the bar's
#              imports by ordinal; both images' version resource and the
#              README name VERSION
#   simulator  the library holds no way to the simulated port driver
#   sdk        the example client builds from the package's SDK alone, as
#              C89, for both architectures, importing by ordinal only
set -euo pipefail
part=$1 zip=$2 version=$3 objdump=$4
tests=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
name=$(basename "$zip" .zip)
[[ "$name" == "duoscope-$version-win32" ]] || fail "package $name for version $version"
(cd "$work" && cmake -E tar xf "$zip")
pkg=$work/$name
[[ "$(ls "$work")" == "$name" ]] || fail "the package unpacks to $(ls "$work" | tr '\n' ' '), not one folder $name"

# The function names an image imports, one per line.
imports() { "$objdump" -p "$1" | sed -n 's/^\s\+[0-9a-f]\+\s\+[0-9]\+\s\+\(\S\+\)$/\1/p'; }

# "major.hundredths hundredths" of the fixed file and product versions.
fixed_versions() {
  local offset words
  offset=$(LC_ALL=C grep -m1 -obUaP '\xBD\x04\xEF\xFE' "$1" | cut -d: -f1)
  [[ -n "$offset" ]] || fail "$(basename "$1") has no version resource"
  # dwFileVersionMS, LS, dwProductVersionMS, LS as 16-bit words, low first.
  read -r -a words < <(od -An -tu2 -j $((offset + 8)) -N 16 "$1")
  echo "${words[1]}.${words[0]} ${words[2]} ${words[3]} ${words[5]}.${words[4]} ${words[6]} ${words[7]}"
}

case "$part" in
contents)
  expected="README.txt duodeck.exe duoscope.dll sdk/docs/api.md sdk/examples/stereo_client/stereo_client.c"
  expected+=" sdk/include/duoscope.h sdk/lib/duoscope.def sdk/lib/i686/libduoscope.a sdk/lib/x86_64/libduoscope.a"
  actual=$(cd "$pkg" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
  [[ "$actual" == "$expected " ]] || fail "package holds: $actual"
  for image in duoscope.dll duodeck.exe; do
    "$objdump" -f "$pkg/$image" | grep -q 'file format pei-i386' || fail "$image is not a 32-bit image"
  done
  "$tests/static/check_pe.sh" "$objdump" "$pkg/duoscope.dll" library >/dev/null
  "$tests/tool/check_imports.sh" "$objdump" "$pkg/duodeck.exe" >/dev/null
  major=${version%%.*} minor=$((10#${version#*.}))
  for image in duoscope.dll duodeck.exe; do
    [[ "$(fixed_versions "$pkg/$image")" == "$major.$minor 0 0 $major.$minor 0 0" ]] ||
      fail "$image: fixed version $(fixed_versions "$pkg/$image"), not $version"
    texts=$(strings -a -el "$pkg/$image")
    for key in FileVersion ProductVersion; do
      [[ "$(grep -A1 -x "$key" <<<"$texts" | sed -n 2p)" == "$version" ]] || fail "$image: $key is not $version"
    done
  done
  readme=$pkg/README.txt
  grep -q "^Duoscope $version"$'\r'"\$" "$readme" || fail "README.txt does not name version $version"
  [[ $(grep -c $'\r$' "$readme") == $(wc -l <"$readme") ]] || fail "README.txt lines do not end in CR LF"
  ;;
simulator)
  dll=$pkg/duoscope.dll
  texts=$( (strings -a "$dll"; strings -a -el "$dll") )
  for text in duogate_sim DUOGATE_ADAPTER DuoGate_; do
    if grep -qi "$text" <<<"$texts"; then fail "duoscope.dll holds \"$text\""; fi
  done
  # What the fallback needs to find and load the simulated driver. (The
  # runtime's start-up code imports LoadLibraryA and GetProcAddress for its
  # own use; they stay.)
  functions=$(imports "$dll")
  for function in LoadLibraryExA LoadLibraryExW GetEnvironmentVariableA GetEnvironmentVariableW GetModuleFileNameA; do
    if grep -qx "$function" <<<"$functions"; then fail "duoscope.dll imports $function"; fi
  done
  ;;
sdk)
  declare -A cc=([i686]=$5 [x86_64]=$6) format=([i686]=pei-i386 [x86_64]=pei-x86-64)
  for arch in i686 x86_64; do
    exe=$work/stereo_client-$arch.exe
    arch_objdump=${cc[$arch]%-gcc*}-objdump
    (cd "$pkg/sdk" && "${cc[$arch]}" -std=c89 -pedantic -Werror -Wall -Wextra -Iinclude \
      examples/stereo_client/stereo_client.c -Llib/$arch -lduoscope -mwindows -o "$exe") ||
      fail "the example does not build from the package for $arch"
    "$arch_objdump" -f "$exe" | grep -q "file format ${format[$arch]}" || fail "$arch example is no ${format[$arch]} image"
    dump=$("$arch_objdump" -p "$exe")
    rows=$(awk '/DLL Name: duoscope.dll/{on=1; next} on && /^[[:space:]]*$/{exit} on && /^[[:space:]]*[0-9a-f]+[[:space:]]/' <<<"$dump")
    [[ -n "$rows" ]] || fail "$arch example imports nothing from duoscope.dll"
    while read -r entry _ import _; do
      [[ ${entry:0:1} == 8 && ( -z "$import" || "$import" == "<none>" ) ]] || fail "$arch example imports by name: $entry $import"
    done <<<"$rows"
  done
  ;;
*) fail "unknown part $part" ;;
esac
echo "OK: $name $part"
