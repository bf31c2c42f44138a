#!/usr/bin/env bash
# overlay-dialog: the overlay dialog opened from the job options page and closed with OK (which
# saves the store) ten times in one document sheet, on a full store (32 definitions of 3 forms,
# 10 history entries) against an empty store, with a sheet that opens no dialog as the baseline
# that both lose, in one run; ratio = full / empty. Needs DISPLAY (an X server) and a Wine
# server of the prefix (scripts/env.sh).
#   bench/overlay_dialog.sh [win64 build tree]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build/win64}
host=$tree/bin/ui-host.exe
[ -f "$host" ] || { echo "overlay-dialog: no $host; run scripts/build first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "overlay-dialog: no DISPLAY" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
. "$root/scripts/env.sh"
openings=10

store() {  # file, overlays
  {
    printf '%s\r\n' '[OEMFiles]' 'OEMDriverFile1=vexps.dll' 'OEMConfigFile1=vexui.dll' \
      '[DependentFiles]' 'OVERLAY_JP=VEXOVL.PS' '[OverlaySetting]' "Overlay_Num=$2"
    if [ "$2" -gt 0 ]; then
      printf 'History_Num=10\r\n'
      for h in $(seq 0 9); do printf 'History %d=HISTORY_FORM_%02d\r\n' "$h" "$h"; done
    else
      printf 'History_Num=0\r\n'
    fi
    for i in $(seq 0 $(($2 - 1))); do
      printf '[Overlay_Info %d]\r\nOverlay_Name=Overlay number %02d\r\nPageMode=4\r\n' "$i" "$i"
      printf 'CustomPage=1,3,5-12\r\nForm_Num=3\r\n'
      for f in 0 1 2; do printf 'Form_Name %d=FORM_%02d_%d\r\n' "$f" "$i" "$f"; done
    done
  } >"$1"
}
script() {  # file, openings
  { for _ in $(seq "$2"); do printf '%s\n' 'page 1' 'click 1536' 'expect window "叠加打印"' 'ok'; done
    printf '%s\n' 'page 0'; } >"$1"
}
# Seconds of one sheet with script NAME over store INI.
run() {  # name, ini, script
  local t0 t1
  t0=$(date +%s.%N)
  if ! "$root/scripts/wine" "$host" --printer 'VEX Overlay Bench' --driver 'VEX Overlay Bench PS' \
       --model JobInfoDll=vexjobinfo.dll --files "$(winpath "$2")" docsheet \
       --script "$(winpath "$3")" --press cancel >"$work/$1.out" 2>"$work/$1.err"; then
    echo "overlay-dialog: $1 failed: $(cat "$work/$1.err")" >&2
    return 1
  fi
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}

store "$work/OVLBENCH.INI" 0
script "$work/none.txt" 0
script "$work/open.txt" "$openings"
run warm "$work/OVLBENCH.INI" "$work/none.txt" >/dev/null  # installs the printer
base=$(run base "$work/OVLBENCH.INI" "$work/none.txt")
empty=$(run empty "$work/OVLBENCH.INI" "$work/open.txt")
store "$work/OVLBENCH.INI" 32
full=$(run full "$work/OVLBENCH.INI" "$work/open.txt")
awk -v b="$base" -v e="$empty" -v f="$full" -v n="$openings" 'BEGIN {
  de = e - b; df = f - b; if (de <= 0) de = 0.001
  printf "overlay-dialog open+OK x%d: full store %.3f s, empty store %.3f s (sheet %.2f s) ratio %.2f\n",
    n, df / n, de / n, b, df / de }'
