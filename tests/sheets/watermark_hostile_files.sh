#!/usr/bin/env bash
# The watermark dialogs over hostile files in the driver's folder: a "Watermark" section with 20
# "W" keys, texts of 1000 characters and fields out of range; a watermark font file with an
# extreme "DefaultNo", entries without a comma, of 600 characters and with a face of 100
# characters, and 10000 keys. The list holds sixteen, every definition is shown and previewed,
# the font list stops at its bound, and OK and Apply leave a record the rendering side prints.
#   tests/sheets/watermark_hostile_files.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Watermark Hostile'
. "$root/scripts/env.sh"
folder=$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3

# Install the printer as usual, then put the hostile files in place of the sample's.
script install 'page 1'
played install --printer "$printer" -- --press cancel || true
cp "$folder/VEXDEMO.INI" "$work/VEXDEMO.INI.sample"
cp "$folder/VEXWMFNT.INI" "$work/VEXWMFNT.INI.sample"
restore() {
  cp "$work/VEXDEMO.INI.sample" "$folder/VEXDEMO.INI"
  cp "$work/VEXWMFNT.INI.sample" "$folder/VEXWMFNT.INI"
}
python3 - "$work/VEXDEMO.INI.sample" "$folder/VEXDEMO.INI" "$folder/VEXWMFNT.INI" <<'PY'
import sys, re
sample = open(sys.argv[1], encoding='latin-1').read()
sample = re.sub(r'\[Watermark\][^\[]*', '', sample)
lines = ['[Watermark]']
long_text = 'L' * 1000
for n in range(1, 21):
    if n == 1:
        value = '99999,-7,5000,77777,-77777,4294967295,%s,%s,123456,9,999,77,-3,65536,300,99' % (long_text, 'F' * 300)
    elif n == 2:
        value = '0x7fffffff,0x80000000,--,,,,,,,,,,,,,'
    elif n == 3:
        value = ''
    else:
        value = '60,2,45,0,0,255,W%d,Helvetica,0,0,0,%d,%d,0,0,0' % (n, n % 7, n % 4)
    lines.append('WTMK00%d=%s' % (n, value))
open(sys.argv[2], 'w', encoding='latin-1', newline='\r\n').write(sample + '\n' + '\n'.join(lines) + '\n')
fonts = ['[PrinterFont]', 'DefaultNo=2147483647', '1=No comma at all',
         '2=' + ','.join(['X' * 120] * 5), '3=Face,b,c,d,' + 'G' * 100]
fonts += ['%d=Font %d,a,b,c,Arial' % (n, n) for n in range(4, 10001)]
open(sys.argv[3], 'w', encoding='latin-1', newline='\r\n').write('\n'.join(fonts) + '\n')
PY

steps=('page 1' 'click 1535' 'expect window "水印"' 'expect 1401 rows 17   # sixteen and "无"'
       'expect 1401 row 4 "W4"')
for row in $(seq 0 16); do steps+=("select 1401 $row"); done
# The first definition: its text cut to the field's 128 characters.
steps+=('select 1401 1' 'expect window "水印"' 'expect 1401 rows 17' 'expect 1401 selected 1'
        'expect 1404 enabled 1' 'shot watermark-hostile-list' 'click 1404' 'expect window "水印"'
        "expect 1411 text \"$(printf 'L%.0s' $(seq 128))\"" 'expect 1 enabled 1'
        'shot watermark-hostile-edit'
        'click 1418' 'expect window "字体"' 'expect 1450 rows 999' 'expect 1450 row 0 "No comma at all"'
        'select 1450 2' 'expect 1451 text "Face"' 'select 1450 998' 'expect 1451 text "Font 999"'
        'cancel' 'cancel' 'select 1401 2' 'click 1403' 'expect message "注册的数量超出限制，最多为16个。"'
        'answer ok' 'select 1401 1' 'ok' 'apply')
script hostile "${steps[@]}"
rc=0
play hostile --printer "$printer" --no-install -- --press cancel || rc=$?
restore
if [ "$rc" -ne 0 ]; then
  fail "hostile: ui-host exited with $rc: $(said hostile)"
else
  shot_kept hostile "$artifacts/watermark-hostile-list.png"
  # The first definition's text is cut to 128 characters in the record, its font name to 32.
  text=$(dd if="$work/hostile.rec" bs=1 skip=2570 count=260 2>/dev/null | iconv -f UTF-16LE -t UTF-8 |
         tr -d '\0')
  [ "$text" = "$(printf 'L%.0s' $(seq 128))" ] || fail "hostile: wmText is not 128 L: ${#text} characters"
  # The rendering side prints it without an error.
  job_file hostile '[Printer]' "Name=$printer" 'Model.JobInfoDll=' '[Features]' 'VXJob_Type=Normal' \
    '[Record]' 'RecordFile=hostile.rec' '[Document]' 'Name=Hostile watermark' 'Pages=1'
  rc=0
  render hostile || rc=$?
  [ "$rc" -eq 0 ] || fail "hostile: render-host exited with $rc: $(cat "$work/hostile.err")"
  [ "$rc" -ne 0 ] || gs_accepts hostile "$work/hostile.prn"
fi

finish watermark_hostile_files
