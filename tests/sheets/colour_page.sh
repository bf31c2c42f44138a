#!/usr/bin/env bash
# The colour page (dialog 111) in the document sheet on the X display: the modes and what they
# enable, Defaults, the permission flag, the link, the colour-sample tool (started, missing, and
# hostile registry values and configuration keys), and what leaving the page writes: the record
# of a greyscale sheet printed by the 32-bit render-host, and a custom colour setting's data.
#   tests/sheets/colour_page.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
. "$root/tests/e2e/lib/prolog.bash"
. "$root/scripts/env.sh"
printer='VEX Sheet Colour'
colour_page=2  # the driver's page, the job options page, then the colour page
swatch_log=$win64/bin/swatch.log
missing_tool='本操作需要颜色样本打印工具。请安装颜色样本打印工具后进行此操作。'

with_model() {  # NAME SUFFIX KEY=VALUE... -- DOCSHEET-OPTIONS: play with a model of its own
  local name=$1 suffix=$2 args=(); shift 2
  args=(--printer "VEX Colour $suffix" --driver "VEX Colour $suffix PS")
  while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=(--model "$1"); shift; done
  [ $# -gt 0 ] && shift
  played "$name" "${args[@]}" -- "$@"
}

# The modes as a user clicks them: each radio button and picture, the enables, Defaults.
script modes "page $colour_page" \
  'expect 1617 text "颜色模式"' 'expect 1605 checked 1' \
  'expect 1610 enabled 0' 'expect 1616 enabled 0' 'expect 1506 enabled 1' \
  'click 1609' 'expect 1609 checked 1' 'expect 1506 enabled 0   # greyscale: no toner saving' \
  'click 1606' 'expect 1610 enabled 1' 'expect 1616 enabled 0' 'expect 1506 enabled 1' \
  'click 1602' 'expect 1607 checked 1' 'expect 1606 checked 0' 'expect 1616 enabled 1' \
  'expect 1610 enabled 0' \
  'click 1604' 'expect 1609 checked 1' 'click 1603' 'expect 1608 checked 1' \
  'click 1601' 'expect 1606 checked 1' 'expect 1610 enabled 1' 'expect 12321 enabled 1' \
  "expect window \"$printer Printing Preferences\"" 'expect 1617 text "颜色模式"' 'shot colour-page' \
  'click 10000' 'expect 1605 checked 1' 'expect 1610 enabled 0' 'expect 1616 enabled 0' \
  'expect 1612 exists 0   # the calibration slot has no item in the sample driver' \
  'expect 1613 exists 0' 'expect 1614 exists 1' 'expect 1215 enabled 1' \
  'expect 1392 visible 0   # no "TabLinkName"' 'expect 10001 visible 1'
rm -f "$artifacts/colour-page.png"
if played modes --printer "$printer" -- --press cancel; then
  shot_kept modes "$artifacts/colour-page.png"
fi

# Without permission the mode controls, the advanced button, toner saving and Defaults are off.
script locked "page $colour_page" \
  'expect 1605 enabled 0' 'expect 1609 enabled 0' 'expect 1600 enabled 0' 'expect 1604 enabled 0' \
  'expect 1215 enabled 0' 'expect 1506 enabled 0' 'expect 10000 enabled 0' 'expect 1617 enabled 0' \
  'expect 1614 enabled 0   # inside the range the flag disables'
played locked --printer "$printer" -- --no-permission --press cancel || true

# The link of the model: blue text on the page.
script link "page $colour_page" 'expect 1392 visible 1' 'expect 1392 text "http://vex.invalid/colour"' \
  'expect 10001 visible 1'
with_model link Link 'TabLinkName=http://vex.invalid/colour' -- --press cancel || true

# The colour-sample tool: started from the folder the sample set-up registered.
rm -f "$swatch_log"
script swatch "page $colour_page" 'click 1614' 'wait 300' 'expect 1614 enabled 1'
if played swatch --printer "$printer" -- --press cancel; then
  for _ in $(seq 50); do [ -s "$swatch_log" ] && break; sleep 0.1; done
  if [ -s "$swatch_log" ]; then
    has "$swatch_log" 'started argc=0' "swatch: the tool was started with arguments"
  else
    fail "swatch: the colour-sample tool was not started"
  fi
fi

# No "SwatchRegPath": no button.
script no-swatch "page $colour_page" 'expect 1614 exists 0' 'expect 1215 exists 1'
with_model no-swatch NoSwatch 'SwatchRegPath=' -- --press cancel || true

# A key or "install" value that cannot be used: message 10060, nothing started. The values are
# a missing key, a DWORD, a string of 4000 bytes, an empty string, and a configuration value of
# 2000 characters (too long for the plug-in's buffer: the button is there, the key is not read).
wine reg add 'HKLM\SOFTWARE\VEX\ColourSwatchDword' /v install /t REG_DWORD /d 5 /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\VEX\ColourSwatchLong' /v install /t REG_SZ \
  /d "$(printf 'C:\\%01999d' 0)" /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\VEX\ColourSwatchEmpty' /v install /t REG_SZ /d '' /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\VEX\ColourSwatchNoValue' /f >/dev/null 2>&1
script refused "page $colour_page" 'click 1614' "expect message \"$missing_tool\"" \
  'expect window "错误"' 'answer ok' 'expect 1614 enabled 1'
long_key="SOFTWARE\\$(printf 'K%.0s' $(seq 2000))"
for case in Missing:'SOFTWARE\VEX\ColourSwatchNone' Dword:'SOFTWARE\VEX\ColourSwatchDword' \
            Long:'SOFTWARE\VEX\ColourSwatchLong' Empty:'SOFTWARE\VEX\ColourSwatchEmpty' \
            NoValue:'SOFTWARE\VEX\ColourSwatchNoValue' LongKey:"$long_key"; do
  suffix=${case%%:*} key=${case#*:}
  rm -f "$swatch_log"
  cp "$work/refused.txt" "$work/refused-$suffix.txt"
  with_model "refused-$suffix" "Swatch$suffix" "SwatchRegPath=$key" -- --press cancel || true
  [ ! -e "$swatch_log" ] || fail "refused-$suffix: the tool was started"
done

# Leaving the page in greyscale: the driver's item and the record's controlSelection carry the
# mode; printed with that record and the sheet's device mode (the driver's colour item set to
# monochrome), the job says VX@ColorMono 1. The automatic mode leaves colour.
record_case() {  # NAME DRIVER-COLOUR MODE-RADIO MODE FEATURE COLOR-MONO
  local name=$1 colour=$2 radio=$3 mode=$4 feature=$5 mono=$6
  script "$name" "page $colour_page" "click $radio" 'page 0' 'expect 1001 rows 19'
  played "$name" --printer "$printer" -- --select "Colour=$colour" --press ok \
    --out-devmode "$(winpath "$work/$name.dm")" || return 0
  item_line "$work/$name.dump" VXControl | grep -q " sel=$mode " ||
    fail "$name: the VXControl item is not at $mode: $(item_line "$work/$name.dump" VXControl)"
  [ "$(od -An -tu4 -j3872 -N4 "$work/$name.rec" | tr -d ' ')" = "$mode" ] ||
    fail "$name: controlSelection is not $mode"
  [ "$(od -An -tu2 -j80 -N2 "$work/$name.rec" | tr -d ' ')" = 0 ] || fail "$name: colorMode is not 0"
  local dm_color
  dm_color=$(od -An -td2 -j92 -N2 "$work/$name.dm" | tr -d ' ')
  job_file "$name" '[Printer]' "Name=$printer" 'Model.JobInfoDll=' '[Features]' 'VXJob_Type=Normal' \
    "VXControl=$feature" '[DevMode]' "dmColor=$dm_color" '[Record]' "RecordFile=$name.rec" \
    '[Document]' 'Name=Colour job'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"; return 0; fi
  grep -qaF "globaldict /VX@ColorMono $mono put" "$work/$name.inj" ||
    fail "$name: the job does not say VX@ColorMono $mono"
}
record_case greyscale Monochrome 1609 4 Gray 1
record_case automatic Colour 1605 0 Auto 2

# A user setting chosen in the office colour details reaches the record when the page is left:
# "Presentation" (Color id 5) with its 16 and 32 bytes.
script custom "page $colour_page" 'click 1606' 'click 1610' 'expect window "办公颜色详细资料"' \
  'click 1267' 'expect 1268 enabled 1' 'select 1268 1' 'expect 1268 text "Presentation"' 'ok' \
  'page 0' 'expect 1001 rows 19'
if played custom --printer "$printer" -- --press ok; then
  [ "$(od -An -tx1 -j600 -N4 "$work/custom.rec" | tr -d ' ')" = 05000100 ] ||
    fail "custom: offsets 600..603 are not id 5 in use"
  [ "$(od -An -tu2 -j88 -N2 "$work/custom.rec" | tr -d ' ')" = 16 ] || fail "custom: T length"
  [ "$(od -An -tx1 -j90 -N16 "$work/custom.rec" | tr -d ' \n')" = 00112233445566778899aabbccddeeff ] ||
    fail "custom: T data"
  [ "$(od -An -tu2 -j343 -N2 "$work/custom.rec" | tr -d ' ')" = 32 ] || fail "custom: V length"
  [ "$(od -An -tx1 -j376 -N1 "$work/custom.rec" | tr -d ' ')" = 20 ] || fail "custom: V data's last byte"
fi

finish colour_page
