#!/usr/bin/env bash
# What the plug-in does with the driver's trees, seen on the stand-in's sheets: the features its
# own pages present are hidden from the driver's page, help numbers and the help extension are
# attached, two papers named by "HidePaperName" are hidden, its push button is hidden without a
# network library, and a value the driver refuses is restored.
#   tests/sheets/item_binding.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Binding'

if sheet doc --printer "$printer" docsheet --press cancel --dump "$(winpath "$work/doc.txt")"; then
  d=$work/doc.txt
  # Hidden by the plug-in: absent from the page, flagged in the tree.
  for name in 'Job Type' 'Overlay' 'Colour Mode' 'Staple' 'Punch' 'Output Bin' 'Collate' \
              'Scaling' 'Copy Count' 'Print Quality' 'Mirror Image' 'Negative Image' 'Resolution' \
              'Job Spooling' 'Trapping' 'Binding Position'; do
    lacks "$d" "row \"$name\"" "doc: $name is on the page"
  done
  for keyword in VXJob_Type VXOverlay VXStaple VXPunch OutputBin VXResolution VXTrapping; do
    item_line "$d" "$keyword" | grep -q 'flags=HIDE,' || fail "doc: $keyword not hidden in the tree"
  done
  # Help numbers with the extension; features that stay visible get theirs too.
  for pair in VXStaple:822 VXOutputMode:802 VXCollate:807 OutputBin:808 VXPunch:823 \
              VXBindPosition:824 VXDrumClean:1203 VXHDDSpool:1211 VXMediaType:423 \
              VXManualFeed:603 TraySwitch:601 VXPageSizeCheck:604 VXEnvRotate:2201 VXTone:1302; do
    line=$(item_line "$d" "${pair%%:*}")
    case "$line" in
      *" help=${pair#*:} oiext=yes "*HAS_POIEXT*|*HAS_POIEXT*" help=${pair#*:} oiext=yes "*) ;;
      *) fail "doc: ${pair%%:*} lacks help ${pair#*:} with the extension: $line" ;;
    esac
  done
  # Visible ones stay on the page.
  has "$d" 'row "Paper Type" = "Plain Paper"' "doc: VXMediaType is not on the page"
  has "$d" 'row "Tone" = "Normal"' "doc: VXTone is not on the page"
  # "HidePaperName=Legal,A5": exactly those two papers are hidden.
  item_line "$d" PageSize | grep -qF 'hidden-options="Legal,A5"' ||
    fail "doc: papers hidden: $(item_line "$d" PageSize)"
  has "$d" '  options: A4 | Letter | A3 | JIS B5' "doc: the page's papers"
else
  fail "doc: ui-host exited with $?: $(cat "$work/doc.err")"
fi

if sheet printer --printer "$printer" prnsheet --press cancel --dump "$(winpath "$work/printer.txt")"; then
  p=$work/printer.txt
  for triple in VXHDD:2213:3 VXOptionDuplex:2204:5 VXOptionTray:2203:6 InstalledMemory:2207:7 \
                VXFinisher:2206:8 VXOptionMPF:2209:9 VXPunchUnit:2211:10 VXJobLimit:2212:11; do
    IFS=: read -r keyword help id <<<"$triple"
    item_line "$p" "$keyword" | grep -qE "help=$help oiext=yes user-item=$id " ||
      fail "prn: $keyword lacks help $help / user item $id: $(item_line "$p" "$keyword")"
  done
  grep -qE '^item - id=28 .*flags=COLLAPSE' "$p" || fail "prn: the group is not collapsed"
  # The plug-in's push button: one item, hidden when the model names no network library.
  grep -qE '^oem-item .*type=PUSHBUTTON .*flags=HIDE,.* help=2210 oiext=yes user-item=2 ' "$p" ||
    fail "prn: push button item: $(grep '^oem-item' "$p")"
  lacks "$p" 'button "' "prn: a hidden push button is on the page"
else
  fail "prn: ui-host exited with $?: $(cat "$work/printer.err")"
fi

# Job limitation: the plug-in sets every such item to 1 through the driver; the driver refuses
# and the plug-in puts the previous selection back.
if sheet refuse --printer "$printer" prnsheet --select VXJobLimit=True --refuse VXJobLimit=False \
     --press cancel --dump "$(winpath "$work/refuse.txt")"; then
  r=$work/refuse.txt
  has "$r" 'DrvUpdateUISetting VXJobLimit previous=0 requested=1 mode=2: refused, now 0' \
    "refuse: the driver's refusal is not undone"
  has "$r" 'row "Job Limitation" = "On"' "refuse: the page does not show the restored value"
else
  fail "refuse: ui-host exited with $?: $(cat "$work/refuse.err")"
fi
if sheet accept --printer "$printer" prnsheet --select VXJobLimit=True --press cancel \
     --dump "$(winpath "$work/accept.txt")"; then
  has "$work/accept.txt" 'DrvUpdateUISetting VXJobLimit previous=0 requested=1 mode=2: accepted, now 1' \
    "accept: the plug-in did not set job limitation"
  has "$work/accept.txt" 'row "Job Limitation" = "Off"' "accept: the page was not refreshed"
else
  fail "accept: ui-host exited with $?: $(cat "$work/accept.err")"
fi

finish item_binding
