#!/usr/bin/env bash
# The watermark dialogs opened from the job options page of the document sheet ("水印(&W)..."):
# choosing, the limit of sixteen, cancelling after New, Delete and the first-page box, the edit
# dialog's fields and scroll bars, the font dialog's size and the colour chooser's custom colours.
#   tests/sheets/watermark_dialogs.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Watermark'

# The plug-in INI file of the 64-bit driver, as the sheet leaves it.
plugin_ini() {
  . "$root/scripts/env.sh"
  printf '%s' "$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3/VEXDEMO.INI"
}
# A record field: u32 / i32 / u16 at a byte offset of the private record.
field() {  # file, od type (u4, d4, d2, u2), offset
  od -An -t"$2" -j"$3" -N"${2:1}" "$1" | tr -d ' '
}
# The record's UTF-16 text at an offset, up to its terminator, as UTF-8.
wide_text() {  # file, offset, characters
  dd if="$1" bs=1 skip="$2" count=$(($3 * 2)) 2>/dev/null | iconv -f UTF-16LE -t UTF-8 | tr -d '\0' |
    sed 's/\x0.*//'
}

sheet_printer=(--printer "$printer")

open_list=('page 1' 'click 1535' 'expect window "水印"')

# Choosing: item 0 disables Edit and Delete; Delete then Cancel restores the list; "仅首页" on
# item 0 then Cancel is undone at the next opening; OK with the first definition and Apply put
# it into the record.
script choose "${open_list[@]}" \
  'expect 1401 rows 3' 'expect 1401 row 0 "无"' 'expect 1401 row 1 "CONFIDENTIAL"' \
  'expect 1401 selected 0' 'expect 1404 enabled 0' 'expect 1402 enabled 0' \
  'select 1401 2' 'expect 1404 enabled 1' 'expect 1402 enabled 1' 'expect 1437 checked 1' \
  'click 1402' 'expect 1401 rows 2' 'expect 1401 selected 0' 'expect 1404 enabled 0' \
  'cancel' 'click 1535' 'expect 1401 rows 3' 'expect 1401 row 2 "Draft, not for release"' \
  'select 1401 0' 'expect 1437 checked 0' 'click 1437' 'expect 1437 checked 1' 'cancel' \
  'click 1535' 'expect 1437 checked 0   # restored at the next opening' \
  'select 1401 1' 'expect window "水印"' 'expect 1401 selected 1' 'expect 1437 checked 0' \
  'expect 1404 enabled 1' 'shot watermark-list' 'ok' 'apply'
rm -f "$artifacts/watermark-list.png"
if play choose -- --press cancel; then
  shot_kept choose "$artifacts/watermark-list.png"
  r=$work/choose.rec
  [ "$(field "$r" u4 68)" = 1 ] || fail "choose: watermarkIndex $(field "$r" u4 68), expected 1"
  [ "$(wide_text "$r" 2570 129)" = CONFIDENTIAL ] || fail "choose: wmText \"$(wide_text "$r" 2570 129)\""
  [ "$(field "$r" d4 608)" = 60 ] || fail "choose: wmSize $(field "$r" d4 608)"
  [ "$(field "$r" d2 968)" = 2 ] || fail "choose: wmFrameStyle $(field "$r" d2 968)"
else
  fail "choose: ui-host exited with $?: $(said choose)"
fi

# OK with item 0 writes index 0 and definition 0's text.
script none "${open_list[@]}" 'select 1401 2' 'select 1401 0' 'ok' 'apply'
if play none -- --press cancel; then
  [ "$(field "$work/none.rec" u4 68)" = 0 ] || fail "none: watermarkIndex is not 0"
  [ "$(wide_text "$work/none.rec" 2570 129)" = 无 ] || fail "none: wmText is not 无"
  [ "$(field "$work/none.rec" d4 608)" = 72 ] || fail "none: wmSize is not the default"
else
  fail "none: ui-host exited with $?: $(said none)"
fi

# Sixteen definitions: the seventeenth is refused with the message and no edit dialog. Cancel
# after New leaves count and selection.
steps=("${open_list[@]}" 'select 1401 2' 'click 1403' 'type 1411 "gone"' 'cancel'
       'expect 1401 rows 3' 'expect 1401 selected 2')
for n in $(seq 3 16); do
  steps+=('click 1403' 'expect 1 enabled 0' "type 1411 \"W$n\"" 'ok' "expect 1401 selected $n")
done
steps+=('expect 1401 rows 17' 'click 1403' 'expect message "注册的数量超出限制，最多为16个。"'
        'answer ok' 'expect window "水印"' 'expect 1411 exists 0   # no edit dialog' 'expect 1401 rows 17'
        'cancel')
script limit "${steps[@]}"
if ! play limit -- --press cancel; then
  fail "limit: ui-host exited with $?: $(said limit)"
fi

# The edit dialog's fields.
script edit "${open_list[@]}" 'click 1403' 'expect window "水印"' \
  'expect 1 enabled 0   # OK waits for a text' 'type 1411 "A"' 'expect 1 enabled 1' \
  'settext 1411 ""' 'expect 1 enabled 0' 'type 1411 "Edited"' 'expect 1 enabled 1' \
  'expect 1413 text "72"' 'expect 1416 text "45"' \
  'type 1432 "5000"' 'expect 1432 text "1000"' 'type 1432 "x"' 'expect 1432 text "1000"' \
  'settext 1434 "-12"' 'expect 1434 text "-12"' \
  'settext 1413 "599"' 'key 1414 Right' 'expect 1413 text "600"' 'key 1414 Right' \
  'expect 1413 text "600"   # a line beyond 600 stays' 'key 1414 PageUp' 'expect 1413 text "590"' \
  'drag 1414 300' 'expect 1413 text "590"   # a dragged thumb changes nothing until released' \
  'drop 1414 300' 'expect 1413 text "300"' \
  'key 1417 Left' 'expect 1416 text "44"' 'settext 1416 "-90"' 'key 1417 Right' 'expect 1416 text "-89"' \
  'select 1443 6' 'expect 1432 text "0"' 'expect 1434 text "0"' \
  'settext 1432 "-200"' 'click 1440' 'expect 1440 checked 1' \
  'click 1418' 'expect window "字体"' 'expect 1450 rows 5' 'expect 1450 selected 2' \
  'expect 1451 text "Helvetica"' 'select 1450 3' 'expect 1451 text "Times-Roman"' \
  'select 1453 3' 'expect 1454 text "粗斜体"' 'select 1456 15' 'expect 1457 text "72"' \
  'settext 1457 "0"' 'expect 1456 selected -1' 'ok' 'expect window "水印"' \
  'expect 1413 text "1"   # size 0 becomes 1 at the scroll bar' \
  'click 1419' 'wait 5000' 'expect window "Color"' 'settext 706 "10"' 'settext 707 "20"' \
  'settext 708 "30"' 'click 712' 'cancel   # the custom colours are kept all the same' \
  'expect window "水印"' 'expect 1411 text "Edited"' 'expect 1413 text "1"' 'expect 1416 text "-89"' \
  'expect 1440 checked 1' 'shot watermark-edit' 'ok' 'expect 1401 rows 4' \
  'expect 1401 row 3 "Edited"' 'ok' 'apply'
rm -f "$artifacts/watermark-edit.png"
if play edit -- --press cancel; then
  shot_kept edit "$artifacts/watermark-edit.png"
  r=$work/edit.rec
  [ "$(field "$r" u4 68)" = 3 ] || fail "edit: watermarkIndex $(field "$r" u4 68), expected 3"
  [ "$(wide_text "$r" 2570 129)" = Edited ] || fail "edit: wmText"
  [ "$(field "$r" d4 608)" = 1 ] || fail "edit: wmSize $(field "$r" d4 608), expected 1"
  [ "$(field "$r" d2 616)" = -89 ] || fail "edit: wmAngle $(field "$r" d2 616)"
  [ "$(field "$r" d4 620)" = -200 ] || fail "edit: wmOffsetX $(field "$r" d4 620)"
  [ "$(field "$r" d4 624)" = 0 ] || fail "edit: wmOffsetY $(field "$r" d4 624)"
  [ "$(field "$r" d2 966)" = 6 ] || fail "edit: wmPosition $(field "$r" d2 966)"
  [ "$(field "$r" d2 968)" = 1 ] || fail "edit: wmFrameStyle $(field "$r" d2 968)"
  [ "$(field "$r" d4 612)" = 3 ] || fail "edit: wmFontIndex $(field "$r" d4 612)"
  [ "$(field "$r" d4 960)" = 700 ] || fail "edit: wmFontWeight $(field "$r" d4 960)"
  [ "$(wide_text "$r" 894 33)" = Times-BoldItalic ] || fail "edit: wmFontFace \"$(wide_text "$r" 894 33)\""
  [ "$(field "$r" d2 974)" = 5 ] || fail "edit: wmFontStyle $(field "$r" d2 974)"
  ini=$(plugin_ini)
  tr -d '\r' <"$ini" | grep -qx 'Color0=10,20,30' || fail "edit: the custom colour was not saved"
  tr -d '\r' <"$ini" | grep -q '^WTMK003=1,3,-89,-200,0,12632256,Edited,Times-BoldItalic,700,1,0,6,1,' ||
    fail "edit: the new definition was not saved: $(grep WTMK003 "$ini" || true)"
else
  fail "edit: ui-host exited with $?: $(said edit)"
fi

finish watermark_dialogs
