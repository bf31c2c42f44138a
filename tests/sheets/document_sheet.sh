#!/usr/bin/env bash
# The document property sheet of the UI stand-in on the X display: the driver's page comes up
# with the tree's visible items, Apply writes the public device mode and the private record,
# and the 32-bit render-host prints with that record.
#   tests/sheets/document_sheet.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
. "$root/tests/e2e/lib/prolog.bash"
printer='VEX Sheet Document'

# Applied, photographed while it is up: the driver's page in front, its first item selected.
script up "expect window \"$printer Printing Preferences\"" 'expect 1001 rows 19' \
  'expect 1001 row 0 "Orientation"' 'expect 1001 selected 0' 'expect 1003 text "Portrait"'
if sheet apply --shot document-sheet.png --printer "$printer" docsheet --press apply \
     --script "$(winpath "$work/up.txt")" --screenshot-wait 2500 --dump "$(winpath "$work/apply.txt")" \
     --out-record "$(winpath "$work/apply.rec")" --out-devmode "$(winpath "$work/apply.dm")"; then
  shot_kept apply "$artifacts/document-sheet.png"
  has "$work/apply.txt" 'applied: yes' "apply: the sheet was not applied"
  has "$work/apply.txt" 'CommonUIProp(1) with 0 items: 0x00000000' "apply: second common-UI call"
  has "$work/apply.txt" 'DocumentPropertySheets(INIT)' "apply: no INIT call"
  has "$work/apply.txt" 'DocumentPropertySheets(DESTROY)' "apply: no DESTROY call"
  has "$work/apply.txt" 'callback APPLYNOW' "apply: the plug-in heard no APPLYNOW"
  has "$work/apply.txt" 'callback OPTITEMS_CREATED' "apply: no OPTITEMS_CREATED"
  # The driver's own items that nobody hides are on the page, read back from its controls.
  for row in 'row "Orientation" = "Portrait"' 'row "Two-Sided" = "Off"' \
             'row "PostScript Output Option" = "Optimize for Speed"' 'row "Paper Type" = "Plain Paper"'; do
    has "$work/apply.txt" "$row" "apply: page row"
  done
  [ "$(wc -c <"$work/apply.rec")" -eq 3880 ] || fail "apply: the record is not 3880 bytes"
  [ "$(head -c 12 "$work/apply.rec" | od -An -tx1 | tr -d ' \n')" = 280f00003030303201000000 ] ||
    fail "apply: the record's header is not 3880, \"0002\", 1"
  # The whole device mode: DEVMODEW (dmSize 220 at 68, dmDriverExtra 176 at 70, dmOrientation 1
  # (portrait) at 76, dmPaperSize 9 (A4) at 78) and the core driver's private part behind it.
  [ "$(stat -c %s "$work/apply.dm")" -eq 396 ] || fail "apply: the device mode is not 396 bytes"
  [ "$(od -An -tu2 -j68 -N4 "$work/apply.dm" | tr -s ' ')" = ' 220 176' ] ||
    fail "apply: dmSize and dmDriverExtra"
  [ "$(od -An -tu2 -j76 -N4 "$work/apply.dm" | tr -s ' ')" = ' 1 9' ] || fail "apply: orientation/paper"
  # The record crosses to the 32-bit rendering plug-in: the defaults' compression comment.
  cp "$work/apply.rec" "$work/cross.rec"
  job_file cross '[Printer]' "Name=$printer" 'Model.JobInfoDll=' '[Features]' 'VXJob_Type=Normal' \
    '[Record]' 'RecordFile=cross.rec' '[Document]' 'Name=Sheet job'
  rc=0
  render cross || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "cross: render-host exited with $rc: $(cat "$work/cross.err")"
  else
    { printf '\033%%-12345X@PJL JOB NAME="Sheet job"\r\n@PJL COMMENT COMPRESSION:FLATE LEVEL:6\r\n'
      printf '@PJL ENTER LANGUAGE=POSTSCRIPT\n'; plugin_prolog; printf '\033%%-12345X@PJL EOJ\r\n'; } \
      >"$work/cross.expected"
    cmp -s "$work/cross.expected" "$work/cross.inj" || fail "cross: the job's bytes differ"
  fi
else
  fail "apply: ui-host exited with $?: $(said apply "$work/apply.txt")"
fi

# A selection made on the page reaches the public device mode; a record given to the sheet is
# the one it starts from and writes back.
if sheet landscape --printer "$printer" docsheet --select Orientation=Landscape \
     --select 'Paper Size=Letter' --record "$(winpath "$work/apply.rec")" --press ok \
     --out-record "$(winpath "$work/ok.rec")" --out-devmode "$(winpath "$work/ok.dm")" \
     --dump "$(winpath "$work/ok.txt")"; then
  [ "$(od -An -tu2 -j76 -N4 "$work/ok.dm" | tr -s ' ')" = ' 2 1' ] ||
    fail "landscape: dmOrientation 2 and dmPaperSize 1 expected"
  has "$work/ok.txt" 'row "Orientation" = "Landscape"' "landscape: the page does not show it"
  has "$work/ok.txt" 'select Orientation=Landscape: done' "landscape: not selected"
  [ "$(wc -c <"$work/ok.rec")" -eq 3880 ] || fail "landscape: no record"
else
  fail "landscape: ui-host exited with $?: $(cat "$work/landscape.err")"
fi

# Cancel: nothing is written.
if sheet cancel --printer "$printer" docsheet --press cancel --out-record "$(winpath "$work/cancel.rec")" \
     --dump "$(winpath "$work/cancel.txt")"; then
  [ ! -e "$work/cancel.rec" ] || fail "cancel: a record was written"
  has "$work/cancel.txt" 'applied: no' "cancel: the sheet counts as applied"
  lacks "$work/cancel.txt" 'callback APPLYNOW' "cancel: APPLYNOW was sent"
else
  fail "cancel: ui-host exited with $?: $(cat "$work/cancel.err")"
fi

# What cannot be done is reported: an item that does not exist, an option that is not offered.
rc=0
sheet bad-select --printer "$printer" docsheet --select Nonsense=1 --select Orientation=Upside \
  --press cancel --dump "$(winpath "$work/bad.txt")" || rc=$?
[ "$rc" -eq 2 ] || fail "bad-select: exit code $rc, expected 2"
has "$work/bad.txt" 'failed: --select Nonsense=1: no item Nonsense' "bad-select: unknown item"
has "$work/bad.txt" 'failed: --select Orientation=Upside: option Upside' "bad-select: unknown option"

# A hostile PPD: the sheet still comes up with what could be read.
{ printf '*PPD-Adobe: "4.3"\r\n*OpenUI *VXStaple/%s: PickOne\r\n' "$(printf 'S%.0s' {1..5000})"
  printf '*VXStaple Off/Off: ""\r\n*VXStaple %s/x: ""\r\n' "$(printf 'K%.0s' {1..300})"
  printf '*OpenUI *PageSize: PickOne\r\n*PageSize A4/A4: "\r\n'; } >"$work/hostile.ppd"
if sheet hostile --printer "$printer" docsheet --ppd "$(winpath "$work/hostile.ppd")" --press cancel \
     --dump "$(winpath "$work/hostile.txt")"; then
  has "$work/hostile.txt" 'row "Orientation"' "hostile: the standard items are missing"
else
  fail "hostile: ui-host exited with $?: $(cat "$work/hostile.err")"
fi

finish document_sheet
