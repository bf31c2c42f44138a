#!/usr/bin/env bash
# The advanced dialog (204) and the about box (117), opened from the job options page of the real
# document sheet: the check boxes as the feature slots say, storage absent, Defaults, what OK and
# Cancel store; the about box's driver and PPD versions from the version file and the PPD,
# with values and lines that break the files' rules.
#   tests/sheets/advanced_about.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Advanced'
page='page 1'  # the job options page follows the driver's page

# The document sheet with the printer above, OK at the end.
sheet_printer=(--printer "$printer")
sheet_docsheet=(--press ok)
# sel DUMP NAME: the selection of the driver item of that name when the sheet closed.
sel() { grep -E "^item .* name=\"$2\" " "$1" | sed -n 's/.* sel=\([0-9]*\) .*/\1/p'; }
expect_sel() {  # what, dump, name, selection
  [ "$(sel "$2" "$3")" = "$4" ] || fail "$1: \"$3\" selection $(sel "$2" "$3"), expected $4"
}
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
record() {  # out, --set arguments...
  local out=$1; shift
  "$root/scripts/wine" "$uihost" --printer "$printer" record --out "$(winpath "$out")" "$@" \
    >"$work/record.out" 2>&1 || fail "record: $(cat "$work/record.out")"
}

# With storage: the boxes as the selections say (mirror, negative and hairline ticked for
# option 0; spool and maintenance for option 1: "Off" is the second option of the sample's
# features); Defaults; OK stores the boxes and the compression level.
record "$work/level3.rec" --set compression=3
script defaults "$page" 'click 1537' 'expect window "高级"' \
  'expect 1801 checked 1' 'expect 1802 checked 1' 'expect 1806 checked 1' 'expect 1806 enabled 1' \
  'expect 1807 checked 1' 'expect 1808 checked 0' 'shot advanced-dialog' \
  'click 10000' 'expect 1801 checked 0' 'expect 1802 checked 0' 'expect 1806 checked 0' \
  'expect 1807 checked 0' 'expect 1808 checked 1' 'click 1801' 'ok' 'expect 1537 exists 1'
if played defaults -- --option VXHDD=True --record "$(winpath "$work/level3.rec")"; then
  d=$work/defaults.dump
  expect_sel defaults "$d" "Mirror Image" 0        # ticked
  expect_sel defaults "$d" "Negative Image" 1      # unticked
  expect_sel defaults "$d" "Job Spooling" 0        # unticked
  expect_sel defaults "$d" "Drum Cleaning" 0       # unticked
  expect_sel defaults "$d" "Thin Line Enhancement" 0  # ticked
  # Compression offered (bit 0 of 1281): Defaults brought the configured level 2 back.
  [ "$(u16 "$work/defaults.rec" 2558)" = 2 ] || fail "defaults: compression $(u16 "$work/defaults.rec" 2558)"
fi

# Cancel stores nothing: the record's level 3 and the driver's selections stay.
script cancel "$page" 'click 1537' 'click 10000' 'click 1808' 'cancel' 'expect 1537 exists 1'
if played cancel -- --option VXHDD=True --record "$(winpath "$work/level3.rec")"; then
  [ "$(u16 "$work/cancel.rec" 2558)" = 3 ] || fail "cancel: compression $(u16 "$work/cancel.rec" 2558)"
  expect_sel cancel "$work/cancel.dump" "Thin Line Enhancement" 1
  expect_sel cancel "$work/cancel.dump" "Mirror Image" 0
fi

# OK keeps the working level (3) when nothing else changes it.
script level "$page" 'click 1537' 'ok' 'expect 1537 exists 1'
if played level -- --option VXHDD=True --record "$(winpath "$work/level3.rec")"; then
  [ "$(u16 "$work/level.rec" 2558)" = 3 ] || fail "level: compression $(u16 "$work/level.rec" 2558)"
fi

# Without storage: job spooling unchecked, disabled, and stored as option 0.
script nostorage "$page" 'click 1537' 'expect 1806 checked 0' 'expect 1806 enabled 0' 'ok' \
  'expect 1537 exists 1'
if played nostorage -- --option VXHDD=False; then
  expect_sel nostorage "$work/nostorage.dump" "Job Spooling" 0
fi

# A printer without the spool, maintenance and hairline features: their boxes are gone.
sed '/^\*\(JCL\)\?OpenUI \*VXHDDSpool/,/^\*\(JCL\)\?CloseUI/d; /^\*OpenUI \*VXDrumClean/,/^\*CloseUI/d; /^\*OpenUI \*VXHairLine/,/^\*CloseUI/d' \
  "$root/package/files/VEXDEMO.PPD" >"$work/fewer.ppd"
script fewer "$page" 'click 1537' 'expect 1806 exists 0' 'expect 1807 exists 0' 'expect 1808 exists 0' \
  'expect 1801 exists 1' 'expect 1802 exists 1' 'expect 1800 exists 1' 'click 10000' 'ok' \
  'expect 1537 exists 1'
played fewer -- --option VXHDD=True --ppd "$(winpath "$work/fewer.ppd")" || true

# The about box from the sample package: OptionVer unchanged, the PPD's version and copyright.
script about "$page" 'click 1559' 'expect window "关于"' 'expect 1568 text "VEX Demo Color PS"' \
  'expect 1562 text "1.00"' 'expect 1563 text "1.0"' 'expect 1564 text "Copyright 2026 VEX demo printers."' \
  'shot about-box' 'ok'
played about && shot_kept about "$artifacts/about-box.png"

# Version files and PPDs of our own, listed after the sample's (the last ".ver" counts; the PPD
# beside the INI file is replaced for the run).
about_case() {  # name, version-file body, ppd edit (sed), expected 1562, 1563, 1564
  local name=$1
  printf '[Version]\r\n%b\r\n' "$2" >"$work/$name.ver"
  sed "$3" "$root/package/files/VEXDEMO.PPD" >"$work/VEXDEMO.PPD"
  script "$name" "$page" 'click 1559' 'expect window "关于"' "expect 1562 text \"$4\"" \
    "expect 1563 text \"$5\"" "expect 1564 text \"$6\"" 'ok'
  played "$name" --files "$(winpath "$work/$name.ver"),$(winpath "$work/VEXDEMO.PPD")" || true
}
long=$(printf 'x%.0s' $(seq 300))
about_case driverver 'DriverVer=12/01/2026,1.23.456.7\r\nInternalVer=' 's/^\*FileVersion: .*/*FileVersion: "2.5"/' \
  '1.23.' '2.5' 'Copyright 2026 VEX demo printers.'
about_case internal 'DriverVer=x,3.1\r\nInternalVer=A-B-"r7"' 's/^\*FileVersion: .*/*FileVersion: 2.5 "/' \
  '3.1r7' '' 'Copyright 2026 VEX demo printers.'
about_case unbalanced "OptionVer=\r\nDriverVer=x,3.1\"\r\nInternalVer=A-\"B-C-D" \
  "s/^\*% Copyright.*/*%Copyright(c)VEX/; s/^\*FileVersion: .*/*FileVersion: \"$long\"/" \
  '3.1' '' ''
about_case overlong "OptionVer=$(printf 'v%.0s' $(seq 600))" "s/^\*FileVersion: .*/*FileVersion: $long \"9\"/" \
  "$(printf 'v%.0s' $(seq 255))" '' 'Copyright 2026 VEX demo printers.'

finish advanced_about
