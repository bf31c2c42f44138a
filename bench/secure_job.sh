#!/usr/bin/env bash
# secure: the same 64 MiB document printed by the rendering stand-in as a "Secure_Chip" job (with
# the sample package's crypto library) against the sum of (a) the document printed as a Normal
# job and (b) the crypto library alone encrypting 64 MiB in the same 4 KiB chunks
# (Create/Init/Update/End, same bitness), in one run; ratio = secure / (a + b). Also prints the
# cipher's own throughput in both bitnesses, and the plug-in's share of the stand-in's peak
# memory (the peak with the plug-in less the peak of the same job without it; the stand-in
# streams its document) for 1 MiB and 256 MiB Normal and secure jobs: the header filter is
# bounded and the encryption streams, so it stays flat.
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
# Seconds (and peak resident KiB in $work/NAME.mem, or NAME.bare.mem with --no-plugin) of one
# stand-in run.
run() {  # name [--no-plugin]
  rm -f "$work/$1.prn"
  local t0 t1 mem=$work/$1.mem
  [ "${2:-}" = --no-plugin ] && mem=$work/$1.bare.mem
  t0=$(date +%s.%N)
  if ! /usr/bin/time -f %M -o "$mem" "$root/scripts/wine" "$host" \
       --job "$(winpath "$work/$1.ini")" --out "$(winpath "$work/$1.prn")" ${2:+"$2"} \
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
for size in 1 256; do
  job "secure-$size" Secure_Chip "$work/$size.ps"
  job "normal-$size" Normal "$work/$size.ps"
  for name in "secure-$size" "normal-$size"; do
    run "$name" >/dev/null
    rm -f "$work/$name.prn"
    run "$name" --no-plugin >/dev/null
    rm -f "$work/$name.prn"
  done
done
rm -f "$work/256.ps"
# The plug-in's share: the peak with it less the peak of the same job without it.
share() { echo "($(cat "$work/$1.mem") - $(cat "$work/$1.bare.mem")) / 1024" | bc -l; }
mib() { echo "$(cat "$work/$1") / 1024" | bc -l; }
printf 'secure memory: the plug-in'"'"'s share of the peak, Normal 1 MiB %.1f MiB, 256 MiB %.1f MiB; secure 1 MiB %.1f MiB, 256 MiB %.1f MiB; growth from 1 to 256 MiB: Normal %.1f MiB, secure %.1f MiB (stand-in alone %.1f and %.1f MiB)\n' \
  "$(share normal-1)" "$(share normal-256)" "$(share secure-1)" "$(share secure-256)" \
  "$(echo "$(share normal-256) - $(share normal-1)" | bc -l)" \
  "$(echo "$(share secure-256) - $(share secure-1)" | bc -l)" \
  "$(mib normal-1.bare.mem)" "$(mib normal-256.bare.mem)"
printf 'secure: 64 MiB Secure_Chip job %.2f s, Normal job %.2f s + cipher alone %.2f s, ratio %.2f\n' \
  "$secure" "$normal" "$cipher32" "$ratio"
