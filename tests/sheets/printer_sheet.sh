#!/usr/bin/env bash
# The printer property sheet of the UI stand-in on the X display: the installable-options group
# with one item per installable PPD feature, page switching, the driver's refusal of a value,
# and the printer event.
#   tests/sheets/printer_sheet.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Printer'

# Photographed while it is up: the driver's page in front with the group and its items.
script up "expect window \"$printer Properties\"" 'expect 1001 row 0 "Installable Options"' \
  'expect 1001 row 1 "Storage Card"' 'expect 1001 selected 0'
if sheet up --shot printer-sheet.png --printer "$printer" prnsheet --page 0 --press ok \
     --script "$(winpath "$work/up.txt")" --screenshot-wait 2500 --dump "$(winpath "$work/up.dump")"; then
  shot_kept up "$artifacts/printer-sheet.png"
  has "$work/up.dump" 'CommonUIProp(2) without items: 0x00000000' "up: first common-UI call"
  has "$work/up.dump" 'DevicePropertySheets(GET_INFO_HEADER)' "up: no GET_INFO_HEADER"
  has "$work/up.dump" 'page 0: shown' "up: page 0 not shown"
  has "$work/up.dump" 'row "Installable Options" = ""' "up: no group row"
  for row in 'row "Storage Card" = "Not Installed"' 'row "Printer Memory" = "256 MB"' \
             'row "Punch Unit" = "Not Installed"' 'row "Optional Trays" = "None"'; do
    has "$work/up.dump" "$row" "up: installable row"
  done
  has "$work/up.dump" '  options: 128 MB | 256 MB | 512 MB' "up: memory options"
  # The group's name is the driver's string 64798 from the stand-in's own table.
  has "$work/up.dump" 'item - id=28 index=0 name="Installable Options"' "up: group item"
else
  fail "up: ui-host exited with $?: $(said up)"
fi

# No such page, no such button: reported, exit code 2.
rc=0
sheet bad --printer "$printer" prnsheet --page 5 --press-button Nothing --press cancel \
  --dump "$(winpath "$work/bad.txt")" || rc=$?
[ "$rc" -eq 2 ] || fail "bad: exit code $rc, expected 2"
has "$work/bad.txt" 'failed: no page 5' "bad: page"
has "$work/bad.txt" 'failed: --press-button: no button Nothing' "bad: button"

# The printer event reaches the plug-in (events other than initialisation do nothing).
if sheet event --printer "$printer" printerevent --event 1 --flags 0; then
  has "$work/event.out" 'PrinterEvent(1, flags 0x0) returned 0x00000000' "event: result"
else
  fail "event: ui-host exited with $?: $(cat "$work/event.err")"
fi

# Printer initialisation through the plug-in: the printer's data values land in its registry key.
if sheet init --printer "$printer" printerevent --event 3 --flags 0; then
  has "$work/init.out" 'PrinterEvent(3, flags 0x0) returned 0x00000000' "init: result"
  key="HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$printer\\PrinterDriverData"
  (. "$root/scripts/env.sh" && wine reg query "$key" /v Protocol) >"$work/protocol.txt" 2>&1 || true
  grep -qE 'Protocol[[:space:]]+REG_DWORD[[:space:]]+0x4' "$work/protocol.txt" ||
    fail "init: Protocol is not 4: $(tr -d '\r' <"$work/protocol.txt")"
else
  fail "init: ui-host exited with $?: $(cat "$work/init.err")"
fi

finish printer_sheet
