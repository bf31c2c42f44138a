#!/usr/bin/env bash
# A record made by the 64-bit vexui (its defaults, and the fields its pages set) travels to the
# 32-bit vexps, as it does inside the driver's device mode: the UI stand-in writes it to a file,
# the rendering stand-in prints with it, and the job's PJL header carries its fields.
#   tests/e2e/ui_record_cross.sh <win32 build tree>   (the 64-bit tree lies beside it as win64)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: ui_record_cross.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/prolog.bash"

uihost=$(cd "$tree/../win64" 2>/dev/null && pwd)/bin/ui-host.exe
[ -f "$uihost" ] || { echo "FAIL: no 64-bit ui-host.exe beside $tree" >&2; exit 1; }

printer='VEX E2E UI Record'
exit_seq='\033%%-12345X'
enter='@PJL ENTER LANGUAGE=POSTSCRIPT\n'
trailer='\033%%-12345X@PJL EOJ\r\n'

# ui_record NAME UI-HOST-ARGUMENTS...: the record file $work/NAME.rec from the 64-bit plug-in.
ui_record() {
  local name=$1; shift
  local rc=0
  timeout 120 "$root/scripts/wine" "$uihost" --printer "$printer" "$@" \
    --out "$(winpath "$work/$name.rec")" >"$work/$name.ui.out" 2>"$work/$name.ui.err" || rc=$?
  if [ "$rc" -ne 0 ]; then fail "$name: ui-host exited with $rc: $(cat "$work/$name.ui.err")"; return 1; fi
  [ "$(wc -c <"$work/$name.rec")" -eq 3880 ] || { fail "$name: the record is not 3880 bytes"; return 1; }
  # Size 3880, signature "0002", version 1, in the record's own byte order.
  [ "$(head -c 12 "$work/$name.rec" | od -An -tx1 | tr -d ' \n')" = 280f000030303032""01000000 ] ||
    fail "$name: the record's header is not 3880, \"0002\", 1"
}

# cross_case NAME JOB-TYPE EXPECTED-HEADER-FORMAT UI-HOST-ARGUMENTS...
cross_case() {
  local name=$1 type=$2 expected=$3; shift 3
  ui_record "$name" "$@" || return 0
  job_file "$name" '[Printer]' "Name=$printer" 'Model.JobInfoDll=' '[Features]' "VXJob_Type=$type" \
    '[Record]' "RecordFile=$name.rec" '[Document]' 'Name=Cross job'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"; return; fi
  # The header, then the prolog every job carries, then the trailer.
  { printf "${expected%"$trailer"}"; plugin_prolog; printf "$trailer"; } >"$work/$name.expected"
  if ! cmp -s "$work/$name.expected" "$work/$name.inj"; then
    fail "$name: bytes differ"
    diff <(cat -A "$work/$name.expected") <(cat -A "$work/$name.inj") | head -10 >&2 || true
  fi
  gs_accepts "$name" "$work/$name.prn"
}

# The UI's defaults alone: the sample model's "Compression" (index 5, level 2) reaches the header.
cross_case defaults Normal \
  "$exit_seq@PJL JOB NAME=\"Cross job\"\r\n@PJL COMMENT COMPRESSION:FLATE LEVEL:6\r\n$enter$trailer" \
  defaults
cross_case secure Secure \
  "$exit_seq@PJL VEXSECURE PASSWORD=1234\r\n@PJL JOB NAME=\"Budget\"\r\n@PJL COMMENT COMPRESSION:FLATE LEVEL:9\r\n$enter$trailer" \
  record --set jobName=Budget --set jobPassword=1234 --set compression=3
cross_case spool Spool \
  "$exit_seq@PJL VEXSECURE PASSWORD=0042 PERMANENT=ON\r\n@PJL JOB NAME=\"Keep me\"\r\n@PJL COMMENT COMPRESSION:FLATE LEVEL:1\r\n$enter$trailer" \
  record --set 'jobName=Keep me' --set jobPassword=0042 --set compression=1
# Compression off in the record: no comment at all.
cross_case no-compression Secure \
  "$exit_seq@PJL VEXSECURE PASSWORD=9876\r\n@PJL JOB NAME=\"Plain\"\r\n$enter$trailer" \
  record --set jobName=Plain --set jobPassword=9876 --set compression=0

# A record of the UI's merged again through the UI: what it wrote is what it reads.
ui_record merged-again record --in "$(winpath "$work/secure.rec")" &&
  { cmp -s "$work/secure.rec" "$work/merged-again.rec" || fail "merged-again: the UI changed its own record"; }

finish ui_record_cross
