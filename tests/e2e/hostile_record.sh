#!/usr/bin/env bash
# Records of any content reach the plug-in through the driver's merge (RecordFile=): the job
# still prints, with the document whole in the job file.
#   tests/e2e/hostile_record.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: hostile_record.sh <build tree>}
. "$here/lib/e2e.bash"


# Reproducible pseudo-random bytes: count, seed.
noise() {
  LC_ALL=C awk -v n="$1" -v seed="$2" \
    'BEGIN { srand(seed); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }'
}
# A little-endian u32.
u32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
header() { u32 "$1"; printf '0002'; u32 "$2"; }  # size, version

noise 3880 1 >"$work/random.rec"
{ header 3880 1; noise 3868 2; } >"$work/signed.rec"
{ header 4294967295 1; noise 3868 3; } >"$work/huge-size.rec"
{ header 12 1; noise 3868 4; } >"$work/tiny-size.rec"
{ header 0 4294967295; noise 3868 5; } >"$work/zero-size.rec"
{ header 3880 1; noise 88 6; } >"$work/short.rec"
head -c 3880 /dev/zero | tr '\0' '\377' >"$work/ones.rec"
: >"$work/empty.rec"

for record in random signed huge-size tiny-size zero-size short ones empty; do
  printf '%s\r\n' '[Record]' "RecordFile=$record.rec" '[Features]' 'VXJob_Type=Normal' \
    '[Document]' "Name=hostile $record" 'Application=hostile' >"$work/$record.ini"
  rc=0
  "$root/scripts/wine" "$host" --job "$(winpath "$work/$record.ini")" \
    --out "$(winpath "$work/$record.prn")" >"$work/$record.out" 2>"$work/$record.err" || rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "FAIL: $record: render-host exited with $rc: $(cat "$work/$record.err")" >&2
    failures=$((failures + 1))
  elif ! grep -q '^%%EOF$' "$work/$record.prn" || ! grep -q '^%!PS-Adobe-3.0$' "$work/$record.prn"; then
    echo "FAIL: $record: the job file lacks the document" >&2
    failures=$((failures + 1))
  fi
done

if [ "$failures" -ne 0 ]; then
  echo "hostile_record: $failures failure(s)" >&2
  exit 1
fi
echo "hostile_record: ok"
