#!/usr/bin/env bash
# The package ships release binaries: no debug sections and no symbol table in any DLL or
# program of the package, and in each a debug link naming its debug file in the symbols folder,
# whose checksum the link carries and which holds the debug information. The check is also run
# on damaged copies, each of which it must refuse.
#   tests/package/release_binaries.sh <package dir> <symbols dir>
set -euo pipefail
package=${1:?usage: release_binaries.sh <package dir> <symbols dir>}
symbols=${2:?usage: release_binaries.sh <package dir> <symbols dir>}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

objdump_for() {  # folder of the package
  case $1 in
    x86) echo i686-w64-mingw32-objdump ;;
    x64) echo x86_64-w64-mingw32-objdump ;;
  esac
}

# Prints why a binary is not a release binary with a good debug link; nothing when it is one.
release_faults() {  # objdump, binary, symbols folder
  local objdump=$1 binary=$2 dir=$3 sections
  sections=$("$objdump" -h "$binary" | awk '$1 ~ /^[0-9]+$/ { print $2 }')
  grep -q '^\.debug' <<<"$sections" && echo "has debug sections: $(grep '^\.debug' <<<"$sections" | paste -sd' ')"
  [ "$("$objdump" -t "$binary" | grep -c '^\[ *[0-9]*\](sec')" -eq 0 ] || echo "has a symbol table"
  grep -qx '\.gnu_debuglink' <<<"$sections" || { echo "has no debug link"; return; }
  "${objdump%objdump}objcopy" --dump-section .gnu_debuglink="$work/link" "$binary" "$work/discard"
  # The link: the debug file's name, NUL, padding to 4 bytes, the file's CRC-32 (little endian).
  python3 - "$work/link" "$dir" <<'PY'
import os, struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
name, _, _ = data.partition(b'\0')
name = name.decode('ascii', 'replace')
if len(data) < 4 or '/' in name or '\\' in name or not name:
    print('has a malformed debug link'); sys.exit()
path = os.path.join(sys.argv[2], name)
if not os.path.isfile(path):
    print('links to %s, which the symbols folder lacks' % name); sys.exit()
crc = struct.unpack('<I', data[-4:])[0]
if zlib.crc32(open(path, 'rb').read()) != crc:
    print('links to %s, whose checksum differs from the link' % name)
PY
  local debug
  debug=$(tr -d '\0' <"$work/link" | head -c 200 | grep -ao '^[A-Za-z0-9._-]*' || true)
  if [ -n "$debug" ] && [ -f "$dir/$debug" ] && ! "$objdump" -h "$dir/$debug" | grep -q ' \.debug_info '; then
    echo "links to $debug, which holds no debug information"
  fi
}

count=0
for folder in x86 x64; do
  objdump=$(objdump_for "$folder")
  [ -d "$package/$folder" ] || { fail "the package has no $folder folder"; continue; }
  for binary in "$package/$folder"/*.dll "$package/$folder"/*.exe; do
    [ -e "$binary" ] || continue
    count=$((count + 1))
    problems=$(release_faults "$objdump" "$binary" "$symbols/$folder" | paste -sd';' | sed 's/;/; /g')
    [ -z "$problems" ] || fail "$folder/$(basename "$binary") $problems"
  done
done
[ "$count" -gt 0 ] || fail "the package holds no binaries"

# The check refuses what it must refuse: a binary with its debug information, a debug file that
# changed after the link was made, and a missing debug file.
# Whether the check gives this reason for a binary (the output is taken whole: a reader that
# stopped early would break the check's pipe).
refuses() {  # reason, objdump, binary, symbols folder
  local reason=$1 out; shift
  out=$(release_faults "$@")
  grep -qF -- "$reason" <<<"$out"
}
sample=$(find "$package/x64" -name '*.dll' | sort | head -1)
name=$(basename "$sample")
mkdir -p "$work/symbols"
cp "$symbols/x64/$name.debug" "$work/symbols/"
objdump=$(objdump_for x64)
[ -z "$(release_faults "$objdump" "$sample" "$work/symbols")" ] ||
  fail "the check refuses a good copy of $name"
printf 'x' >>"$work/symbols/$name.debug"
refuses 'checksum differs' "$objdump" "$sample" "$work/symbols" ||
  fail "the check accepts a debug file that changed after linking"
rm "$work/symbols/$name.debug"
refuses 'symbols folder lacks' "$objdump" "$sample" "$work/symbols" ||
  fail "the check accepts a missing debug file"
refuses 'has debug sections' "$objdump" "$symbols/x64/$name.debug" "$symbols/x64" ||
  fail "the check accepts a binary with debug sections"
refuses 'has a symbol table' "$objdump" "$symbols/x64/$name.debug" "$symbols/x64" ||
  fail "the check accepts a binary with a symbol table"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "release binaries: $count binaries without debug sections, each linked to its debug file"
