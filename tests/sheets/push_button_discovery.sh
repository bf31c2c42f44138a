#!/usr/bin/env bash
# The printer sheet's push button with a simulated network printer: the plug-in shows and enables
# its button because the network library answers for the printer; pressing it reads the
# printer's installed options from the library's data file and sets the installable-option items
# through the driver (DrvUpdateUISetting, mode 2). A printer the library does not know keeps its
# button hidden.
#   tests/sheets/push_button_discovery.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Discovery'

# The library's own configuration lies beside it (and beside ui-host.exe); other tests use it
# too, so it is put back as it was.
ini=$win64/bin/vexnetext.ini
saved=$work/vexnetext.ini.saved
[ -f "$ini" ] && cp "$ini" "$saved"
restore() { if [ -f "$saved" ]; then cp "$saved" "$ini"; else rm -f "$ini"; fi; }
trap 'restore; rm -rf "$work"' EXIT
# Installed 0x25: trays in bits 0 and 2 (three trays), the duplex unit (bit 5), no MPF, no finisher.
printf '[Answers]\r\nDataFile=%s\r\n[Options]\r\nInstalled=37\r\nRandom Access Memory=512\r\nSD Card=0\r\nPunchType=2\r\nJobLimitationMode=1\r\n' \
  "$(winpath "$work/discovery.dat")" >"$work/device.ini"
printf '[Printers]\r\n%s=%s\r\n' "$printer" "$(winpath "$work/device.ini")" >"$ini"

# Photographed after the press: the driver's page in front with the plug-in's button enabled.
script up "expect window \"$printer Properties\"" 'expect 1001 rows 9' \
  'expect 1001 row 5 "Printer Memory"' 'expect 1100 text "获取打印机选件信息"' 'expect 1100 enabled 1'
if sheet press --shot printer-sheet-discovered.png --printer "$printer" \
     --model NetExtDLL=vexnetext.dll prnsheet --press-button '#1' --press ok \
     --script "$(winpath "$work/up.txt")" --screenshot-wait 2500 --dump "$(winpath "$work/press.txt")"; then
  shot_kept press "$artifacts/printer-sheet-discovered.png"
  d=$work/press.txt
  grep -qE '^oem-item .*type=PUSHBUTTON' "$d" || fail "press: no push button item"
  grep -E '^oem-item .*type=PUSHBUTTON' "$d" | grep -q 'HIDE' && fail "press: the button is hidden"
  grep -E '^oem-item .*type=PUSHBUTTON' "$d" | grep -q 'DISABLED' && fail "press: the button is disabled"
  has "$d" 'press-button #1: clicked' "press: the button was not clicked"
  for request in VXHDD:1 VXOptionDuplex:0 VXOptionTray:3 InstalledMemory:2 VXFinisher:0 \
                 VXOptionMPF:0 VXPunchUnit:1 VXJobLimit:1; do
    grep -qE "DrvUpdateUISetting ${request%%:*} previous=[0-9]+ requested=${request#*:} mode=2: accepted, now ${request#*:}" "$d" ||
      fail "press: ${request%%:*} not set to ${request#*:}: $(grep "DrvUpdateUISetting ${request%%:*} " "$d")"
  done
  has "$d" 'row "Printer Memory" = "512 MB"' "press: the page does not show the discovered memory"
  has "$d" 'row "Optional Trays" = "3 Trays"' "press: the page does not show three trays"
else
  fail "press: ui-host exited with $?: $(said press "$work/press.txt")"
fi

# A printer the library does not know: the plug-in hides its button.
if sheet unknown --printer 'VEX Sheet Unknown' --model NetExtDLL=vexnetext.dll prnsheet \
     --press cancel --dump "$(winpath "$work/unknown.txt")"; then
  grep -E '^oem-item .*type=PUSHBUTTON' "$work/unknown.txt" | grep -q 'flags=HIDE' ||
    fail "unknown: the button is not hidden"
else
  fail "unknown: ui-host exited with $?: $(cat "$work/unknown.err")"
fi

finish push_button_discovery
