#!/usr/bin/env bash
# secure: the same 64 MiB document printed by the rendering stand-in as a "Secure_Chip" job (with
# the sample package's crypto library) against the sum of (a) the document printed as a Normal
# job and (b) the crypto library alone encrypting 64 MiB in the same 4 KiB chunks
# (Create/Init/Update/End, same bitness), in one run; ratio = secure / (a + b). Also prints the
# cipher's own throughput in both bitnesses, and the stand-in's peak memory for a 1 MiB and a
# 256 MiB secure job (the filter is bounded and the encryption streams, so it stays flat).
#   bench/secure_job.sh [win32 build tree]   (the 64-bit cipher from the win64 tree beside it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build/win32}
tree64=${tree%win32}win64
host=$tree/bin/render-host.exe
probe=$tree/bin/crypto-probe.exe
for f in "$host" "$probe" "$tree/bin/vexcrypto.dll"; do
  [ -f "$f" ] || { echo "secure: no $f; run scripts/build first" >&2; exit 1; }
done
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
. "$root/scripts/env.sh"

body() {  # file, MiB: PostScript text lines
  python3 - "$1" "$2" <<'PY'
import sys
line = b'72 700 moveto (secure benchmark body 0123456789 abcdefghijklmnopqrstuvwxyz) show\n'
with open(sys.argv[1], 'wb') as f:
    chunk = line * (1048576 // len(line) + 1)
    for _ in range(int(sys.argv[2])):
        f.write(chunk[:1048576])
PY
}
hex=$(wine "$probe" "$tree/bin/vexcrypto.dll" encipher 4321 </dev/null | tr -d '\r')
job() {  # name, job type, body file
  printf '%s\r\n' '[Printer]' 'Name=VEX Secure Bench' 'Driver=VEX Demo Secure PS' \
    '[Features]' "VXJob_Type=$2" '[Record]' "encryptedPassword=$hex" \
    "encryptedPasswordLength=$(( ${#hex} / 2 ))" \
    '[Document]' 'Name=Bench' 'Pages=1' "Body=$(winpath "$3")" >"$work/$1.ini"
}
# Seconds (and peak resident KiB in $work/NAME.mem) of one stand-in run.
run() {  # name
  rm -f "$work/$1.prn"
  local t0 t1
  t0=$(date +%s.%N)
  if ! /usr/bin/time -f %M -o "$work/$1.mem" "$root/scripts/wine" "$host" \
       --job "$(winpath "$work/$1.ini")" --out "$(winpath "$work/$1.prn")" \
       >"$work/$1.out" 2>"$work/$1.err"; then
    echo "secure: $1 failed: $(cat "$work/$1.err")" >&2
    return 1
  fi
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}
cipher() {  # tree: seconds for 64 MiB in 4 KiB chunks
  local line
  line=$(wine "$1/bin/crypto-probe.exe" "$1/bin/vexcrypto.dll" bench 67108864 4096 </dev/null | tr -d '\r')
  sed -n 's/.* in \([0-9.]*\) s.*/\1/p' <<<"$line"
}

body "$work/64.ps" 64
job normal Normal "$work/64.ps"
job secure Secure_Chip "$work/64.ps"
run normal >/dev/null  # the printer is installed once, outside the measurement
normal=$(run normal)
secure=$(run secure)
cipher32=$(cipher "$tree")
ratio=$(echo "$secure / ($normal + $cipher32)" | bc -l)
printf 'secure cipher: 64 MiB in 4 KiB chunks, 32-bit %.1f MiB/s' "$(echo "64 / $cipher32" | bc -l)"
if [ -f "$tree64/bin/crypto-probe.exe" ]; then
  printf ', 64-bit %.1f MiB/s' "$(echo "64 / $(cipher "$tree64")" | bc -l)"
fi
printf '\n'

body "$work/1.ps" 1
body "$work/256.ps" 256
job small Secure_Chip "$work/1.ps"
job large Secure_Chip "$work/256.ps"
job large-normal Normal "$work/256.ps"
run small >/dev/null
run large >/dev/null
rm -f "$work/large.prn"
run large-normal >/dev/null
rm -f "$work/256.ps" "$work/large-normal.prn"
mib() { echo "$(cat "$work/$1.mem") / 1024" | bc -l; }
# The stand-in holds the whole document in memory: compare with the Normal job of the same size.
printf 'secure memory: peak of the stand-in, secure 1 MiB job %.1f MiB, secure 256 MiB job %.1f MiB (Normal 256 MiB job %.1f MiB)\n' \
  "$(mib small)" "$(mib large)" "$(mib large-normal)"
printf 'secure: 64 MiB Secure_Chip job %.2f s, Normal job %.2f s + cipher alone %.2f s, ratio %.2f\n' \
  "$secure" "$normal" "$cipher32" "$ratio"
