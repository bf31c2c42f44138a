#!/usr/bin/env bash
# The colour page's detail dialogs on the X display, opened from the page as a user would:
# office colour details (118), advanced picture details (119) and the advanced colour dialog
# (200). What each shows for the sample driver's settings, how its controls follow each other,
# Defaults, and that only OK reaches the driver's items (read back from the tree when the sheet
# closes) while Cancel leaves them as they were.
#   tests/sheets/colour_dialogs.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Colour Dialogs'
colour_page=2  # the driver's page, the job options page, then the colour page

# on_page NAME STEPS...: the steps on the colour page of the document sheet, closed with OK so
# that the driver's items show what the pages left; the dump is $work/NAME.dump, the record
# $work/NAME.rec.
sheet_printer=(--printer "$printer")
sheet_docsheet=(--press ok)
on_page() {
  local name=$1; shift
  script "$name" "page $colour_page" "$@" 'page 0' 'expect 1001 rows 19'
  played "$name"
}
# sel NAME KEYWORD VALUE: the driver's item ended at that selection.
sel() {
  item_line "$work/$1.dump" "$2" | grep -q " sel=$3 " ||
    fail "$1: $2 is not at $3: $(item_line "$work/$1.dump" "$2")"
}

# 118: the lists, the user setting's box and list, Cancel and OK.
if on_page office 'click 1606' 'click 1610' 'expect window "办公颜色详细资料"' \
  'expect 1211 rows 3' 'expect 1211 row 2 "Euroscale"' 'expect 1211 selected 0' \
  'expect 1266 rows 3' 'expect 1266 selected 0' 'expect 1254 checked 1' \
  'expect 1268 rows 5   # Color 2, 5, 12 (9 has no name), then Gamma 7 and 1' \
  'expect 1268 row 0 "Office Bright"' 'expect 1268 row 2 "Soft Tones"' 'expect 1268 row 3 "Gamma 1.8"' \
  'expect 1268 selected 0' 'expect 1267 checked 0' 'expect 1267 enabled 1' \
  'expect 1266 enabled 1' 'expect 1268 enabled 0' \
  'click 1267' 'expect 1266 enabled 0' 'expect 1268 enabled 1' 'select 1268 3' \
  'select 1211 2' 'click 1256' 'expect window "办公颜色详细资料"' 'expect 1211 selected 2' \
  'expect 1268 selected 3' 'expect 1256 checked 1' 'shot colour-office' 'cancel' \
  'click 1610' 'expect 1211 selected 0' 'expect 1267 checked 0' 'expect 1254 checked 1' \
  'expect 1268 selected 0' 'expect 1268 enabled 0' \
  'select 1266 2' 'select 1211 1' 'click 1255' 'click 1267' 'select 1268 4' \
  'ok' 'click 1610' 'expect 1211 selected 1' 'expect 1255 checked 1' 'expect 1267 checked 1' \
  'expect 1268 selected 4' 'expect 1266 enabled 0' 'expect 1266 selected 2' \
  'click 10000' 'expect 1211 selected 0' 'expect 1267 checked 0' 'expect 1254 checked 1' \
  'expect 1268 selected 0' 'expect 1266 selected 0' 'cancel' \
  'click 1609' 'expect 1610 enabled 0'; then
  sel office VXTargetColor 1
  sel office VXBlackSubstitution 1
  sel office VXColorRenderStyle 2
  sel office VXControl 4
  rec=$work/office.rec
  [ "$(od -An -tx1 -j600 -N4 "$rec" | tr -d ' ')" = 01010100 ] ||
    fail "office: the record does not hold Gamma id 1 in use"
  [ "$(od -An -tu2 -j88 -N2 "$rec" | tr -d ' ')" = 3 ] || fail "office: Gamma 1's first block is 3 bytes"
  [ "$(od -An -tx1 -j90 -N3 "$rec" | tr -d ' ')" = c0ffee ] || fail "office: Gamma 1's first block"
  [ "$(od -An -tu2 -j343 -N2 "$rec" | tr -d ' ')" = 1 ] || fail "office: Gamma 1's second block"
  shot_kept office "$artifacts/colour-office.png"
fi

# 119: what the matching method and the CMYK profile choice show and enable; Cancel; Defaults.
if on_page picture 'click 1607' 'click 1616' 'expect window "高级图片详细资料"' \
  'expect 1651 checked 1' 'expect 1681 checked 1' 'expect 1680 enabled 1' 'expect 1684 enabled 0' \
  'expect 1677 enabled 1' 'expect 1677 checked 1' 'expect 1676 checked 1' \
  'expect 1690 visible 0' 'expect 1691 visible 0' 'expect 1664 enabled 0   # output profile 0' \
  'expect 1695 visible 1' 'expect 1696 visible 1' 'expect 1697 visible 0' 'expect 1698 visible 0' \
  'expect 1658 rows 2' 'expect 1658 row 1 "Wide Gamut RGB"' 'expect 1680 rows 3' 'expect 1662 rows 2' \
  'click 1682   # the link profile' 'expect 1684 enabled 1' 'expect 1680 enabled 0' \
  'expect 1677 enabled 0' 'expect 1698 visible 1' 'expect 1696 visible 0' 'expect 1682 checked 1' \
  'select 1662 1' 'expect 1664 enabled 1' 'expect window "高级图片详细资料"' 'expect 1651 checked 1' \
  'expect 1662 selected 1' 'shot colour-picture' \
  'click 1653   # create a profile' 'expect 1656 visible 0' 'expect 1658 visible 0' \
  'expect 1660 visible 0' 'expect 1668 visible 0' 'expect 1677 visible 0' 'expect 1676 visible 0' \
  'expect 1667 visible 0' 'expect 1662 visible 0' 'expect 1681 visible 0' 'expect 1684 visible 0' \
  'expect 1695 visible 0' 'expect 1696 visible 0' 'expect 1697 visible 0' 'expect 1698 visible 0' \
  'expect 1653 checked 1' \
  'click 1652   # printer emulation' 'expect 1690 visible 1' 'expect 1691 visible 1' \
  'expect 1680 visible 0' 'expect 1697 visible 1' 'expect 1696 visible 1' 'expect 1677 enabled 1' \
  'click 1677' 'click 1676' 'select 1667 0' 'cancel' \
  'click 1616' 'expect 1651 checked 1' 'expect 1681 checked 1' 'expect 1677 checked 1' \
  'expect 1676 checked 1' 'expect 1667 selected 1' 'expect 1662 selected 0' \
  'click 1654' 'ok' 'click 1616' 'expect 1654 checked 1' 'expect 1656 visible 0' \
  'click 10000' 'expect 1651 checked 1' 'expect 1681 checked 1' 'expect 1667 selected 0' \
  'expect 1677 checked 1' 'ok'; then
  sel picture VXColorMatch 2  # Defaults: "精细"
  sel picture VXColorICMS 0
  sel picture VXBlackSubGra 0
  sel picture VXPreserveBlack 0
  shot_kept picture "$artifacts/colour-picture.png"
fi
# Cancel at once changes nothing: the sample's defaults stay.
if on_page picture-cancel 'click 1607' 'click 1616' 'click 1652' 'click 10000' 'cancel'; then
  sel picture-cancel VXColorMatch 0
  sel picture-cancel VXBlackSubGra 1
fi

# 200: the resolution option 0 disables the halftone box; separation order off in greyscale;
# Defaults changes only the controls; OK stores each present feature.
if on_page advanced 'click 1215' 'expect window "其他"' 'expect 1301 visible 1' 'expect 1301 enabled 0' \
  'expect 1301 checked 0' 'expect 1302 checked 1' 'expect 1305 checked 1' 'expect 1304 rows 2' \
  'expect 1304 selected 0' 'expect 1303 enabled 1' 'expect 1304 enabled 1' 'shot colour-advanced' \
  'click 1302' 'click 1305' 'click 10000' 'expect 1302 checked 0' 'expect 1305 checked 1' \
  'expect 1301 checked 1' 'cancel' \
  'click 1215' 'expect 1301 checked 0' 'expect 1302 checked 1' \
  'click 1302' 'click 1305' 'select 1304 1' 'ok' \
  'click 1609' 'click 1215' 'expect 1304 enabled 0' 'expect 1303 enabled 0' 'expect 1304 selected 1' \
  'expect 1302 checked 0' 'expect 1305 checked 0' 'cancel'; then
  sel advanced VXOverPrint 0
  sel advanced VXScreenObo 1
  sel advanced VXSeparationorder 1
  sel advanced VXAlwaysPrnHT 1
  shot_kept advanced "$artifacts/colour-advanced.png"
fi

# A hostile custom colour settings file: a count of 100000 (bounded), ids above 255 and negative
# ones (not listed), a name of 1000 characters (cut to 65), a first block of 5000 hexadecimal
# characters (cut at the field's 253 bytes), a second one with a character that is not a digit,
# and a negative count in "Gamma". The record's fields hold what fits and nothing more.
. "$root/scripts/env.sh"
folder3=$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3
mkdir -p "$folder3"
long_name=$(printf 'N%.0s' $(seq 1000))
long_data=$(printf 'AB%.0s' $(seq 2500))
printf '%s\r\n' '[Color]' 'SettingNum=100000' 'SettingID0=300' 'SettingID1=-4' 'SettingID2=3' \
  'SettingName300=Too high' "SettingName3=$long_name" "CCMNT3=$long_data" 'CCMNV3=0AZ1' \
  '[Gamma]' 'SettingNum=-1' 'SettingID0=4' 'SettingName4=Never' >"$folder3/VEXHOSTILECCM.INI"
sheet_printer=(--printer 'VEX Colour Hostile' --driver 'VEX Colour Hostile PS'
  --model CCMInfoFile=VEXHOSTILECCM.INI)
if on_page hostile 'click 1606' 'click 1610' 'expect 1268 rows 1' \
  "expect 1268 row 0 \"$(printf 'N%.0s' $(seq 65))\"" 'click 1267' 'ok'; then
  rec=$work/hostile.rec
  [ "$(od -An -tx1 -j600 -N4 "$rec" | tr -d ' ')" = 03000100 ] || fail "hostile: id 3 is not in use"
  [ "$(od -An -tu2 -j88 -N2 "$rec" | tr -d ' ')" = 253 ] || fail "hostile: T length is not 253"
  [ "$(od -An -tx1 -v -j90 -N253 "$rec" | tr -d ' \n' | tr -d 'ab' | wc -c)" -eq 0 ] ||
    fail "hostile: T data are not 253 bytes of 0xAB"
  [ "$(od -An -tu2 -j343 -N2 "$rec" | tr -d ' ')" = 1 ] ||
    fail "hostile: V data are not the one byte before the non-digit"
  [ "$(od -An -tx1 -j345 -N1 "$rec" | tr -d ' ')" = 0a ] || fail "hostile: V data"
fi

finish colour_dialogs
