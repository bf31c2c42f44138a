#!/usr/bin/env bash
# The typical secure job as a user makes it in the document sheet, then printed: the 64-bit
# vexui's sheet driven by scripts, the record and the plug-in INI file it leaves printed by the
# 32-bit vexps through render-host, the job read by jobinspect and rendered by Ghostscript.
#   1. secure print with a name and password, a watermark, an overlay and the greyscale mode;
#   2. store to SD with three copies: one warning, one copy, PERMANENT=ON;
#   3. encrypted secure print through the crypto companion's window: the job decrypts to the
#      pages of a normal print of the same document;
#   4. Cancel of the sheet after OK in the overlay and watermark dialogs leaves the INI file;
#   5. no permission: every control off, the record as it came.
#   tests/sheets/secure_job_sheet.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
. "$root/tests/e2e/lib/pixels.bash"
. "$root/scripts/env.sh"
inspect=${JOBINSPECT:-${tree%win32}native/tools/jobinspect}
[ -x "$inspect" ] || { echo "FAIL: no jobinspect at $inspect (build the native tree)" >&2; exit 1; }
printer='VEX Secure Sheet'
driver='VEX Secure Sheet PS'
ini_name=SECSHEET.INI
dir64=$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3
sheet_title="expect window \"$printer Printing Preferences\""
printf '%s\r\n' '[OEMFiles]' 'OEMDriverFile1=vexps.dll' 'OEMConfigFile1=vexui.dll' \
  '[DependentFiles]' 'PROCSET_JP=VEXPROC.PS' 'OVERLAY_JP=VEXOVL.PS' \
  '[OverlaySetting]' 'Overlay_Num=0' 'History_Num=0' >"$work/$ini_name"

# The document sheet of this printer with its INI file, the crypto companion and storage.
sheet_printer=(--printer "$printer" --driver "$driver" --model JobInfoDll= --model CryptoDll=vexcrypto.dll
  --files "$(winpath "$work/$ini_name"),vexcrypto.dll")
sheet_docsheet=(--option VXHDD=True)
sel_of() { item_line "$1" "$2" | sed -n 's/.* sel=\([0-9-]*\) .*/\1/p'; }
# The INI file without the overlay store's saved copy (which a dialog's OK may write).
main_copy() { awk 'BEGIN { RS = "\r?\n" } /^\[/ { skip = ($0 ~ /_Sv( [0-9]+)?\]$/) } !skip' "$1"; }

printf '%s\n' '%!PS-Adobe-3.0' '/Helvetica findfont 24 scalefont setfont' \
  '0 0.4 0 setrgbcolor 72 700 moveto (Quarterly report) show' >"$work/body.ps"
# print NAME JOB-TYPE [FEATURE=OPTION]...: the record and INI file of sheet NAME through vexps.
print_job() {
  local name=$1 type=$2; shift 2
  cp "$dir64/$ini_name" "$work/$name-print.ini"
  job_file "$name-job" '[Printer]' "Name=$printer" "Driver=$driver" 'Model.JobInfoDll=' \
    'Model.CryptoDll=vexcrypto.dll' "Files=$(winpath "$work/$name-print.ini"),vexcrypto.dll" \
    '[Features]' "VXJob_Type=$type" "$@" '[Record]' "RecordFile=$(winpath "$work/$name.rec")" \
    '[Document]' 'Name=Quarterly report' 'Pages=2' "Body=$(winpath "$work/body.ps")"
  local rc=0
  render "$name-job" || rc=$?
  [ "$rc" -eq 0 ] || { fail "$name: render-host exited with $rc: $(cat "$work/$name-job.err")"; return 1; }
}
# A line of the job's PJL header (the first one follows the job's escape sequence).
header_has() {
  head -c 2000 "$work/$1-job.prn" | tr -d '\r' | sed 's/^\x1b%-12345X//' | grep -qxF -- "$2" ||
    fail "$1: no header line $2"
}

# The overlay and watermark dialogs, as the user fills them in.
overlay_steps=('click 1536' 'expect window "叠加打印"' 'click 1059' 'expect window "定义叠加打印"'
  'settext 1101 "Letterhead"' 'type 1109 "HEADFORM"' 'click 1110' 'ok' 'expect window "叠加打印"'
  'select 1057 0' 'click 1054' 'expect 1052 rows 1' 'select 1050 1' 'expect window "叠加打印"'
  'expect 1052 row 0 "Letterhead"' 'expect 1050 selected 1' 'shot secure-overlay' 'ok')
watermark_steps=('click 1535' 'expect window "水印"' 'click 1403' 'expect window "水印"'
  'type 1411 "CONFIDENTIAL"' 'expect window "水印"' 'expect 1411 text "CONFIDENTIAL"'
  'expect 1 enabled 1' 'shot secure-watermark-edit' 'ok' 'expect window "水印"' 'expect 1401 rows 2'
  'expect 1401 row 1 "CONFIDENTIAL"' 'expect 1401 selected 1' 'shot secure-watermark' 'ok')

# 1. Secure print, a watermark, an overlay, greyscale.
script secure 'page 1' 'click 1509' 'expect window "作业密码"' 'type 1006 "Budget"' \
  'type 1008 "1234"' 'ok' "$sheet_title" 'expect 1509 checked 1' "${watermark_steps[@]}" \
  "$sheet_title" "${overlay_steps[@]}" "$sheet_title" 'expect 1509 checked 1' 'expect 1514 text "1"' \
  'shot secure-job-options' 'page 2' 'click 1609' "$sheet_title" 'expect 1617 text "颜色模式"' \
  'expect 1609 checked 1' 'shot secure-colour' 'apply'
if play secure -- --press ok && print_job secure Secure VXControl=Gray VXOverlay=Use; then
  d=$work/secure.dump inj=$work/secure-job.inj
  [ "$(sel_of "$d" VXJob_Type)" = 1 ] || fail "secure: job type $(item_line "$d" VXJob_Type)"
  [ "$(sel_of "$d" VXControl)" = 4 ] || fail "secure: colour mode $(item_line "$d" VXControl)"
  # Apply reports the job options page's result, and the overlay commit reports it once more.
  [ "$(grep -c 'pfnComPropSheet SET_RESULT handle .* result 1$' "$d")" -ge 2 ] ||
    fail "secure: Apply did not report its results: $(grep 'SET_RESULT' "$d" | head -3)"
  header_has secure '@PJL VEXSECURE PASSWORD=1234'
  header_has secure '@PJL JOB NAME="Budget"'
  grep -aqF '(CONFIDENTIAL)' "$inj" || fail "secure: the watermark's text is not in the job"
  grep -aqF 'init_watermark' "$inj" || fail "secure: no watermark set-up in the job"
  grep -aqF '/FormList [ /HEADFORM]' "$inj" || fail "secure: the overlay's form is not in the job"
  # Greyscale is the colour mode of the driver's item and of the record, and the driver's code
  # for it is in the job: a printer that honours it prints the page, watermark and overlay
  # frame included, in grey.
  [ "$(od -An -tu4 -j3872 -N4 "$work/secure.rec" | tr -d ' ')" = 4 ] ||
    fail "secure: the record's colour mode is not greyscale"
  grep -aqF '/ProcessColorModel /DeviceGray' "$work/secure-job.prn" || fail "secure: no greyscale code"
  if gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r36 -sOutputFile="$work/secure-page-%d.png" \
    "$root/tests/e2e/lib/grey_printer.ps" "$work/secure-job.prn" >"$work/secure.gs" 2>&1; then
    png=$work/secure-page-1.png
    colour=$(convert "$png" -fx 'max(abs(r-g),max(abs(g-b),abs(b-r)))' -format '%[fx:maxima]' info:)
    [ "$colour" = 0 ] || fail "secure: the printed page has colour ($colour)"
    [ "$(convert "$png" -format '%[fx:minima]' info:)" != 1 ] || fail "secure: the page is blank"
    cp "$png" "$artifacts/secure-job-page1.png"
  else
    fail "secure: Ghostscript failed: $(head -3 "$work/secure.gs")"
  fi
else
  fail "secure: $(said secure)"
fi
for shot in secure-job-options secure-colour secure-overlay secure-watermark; do
  shot_kept secure "$artifacts/$shot.png"
done

# 2. Store to SD with three copies.
warning='此选项将打印作业作为一部分进行保存。可通过打印机的操作面板在安全打印和存储到SD中指定两份或更多份数。\n无法通过打印机的操作面板在加密安全打印中指定两份或更多份数。'
script store 'page 1' 'settext 1514 "3"' 'click 1510' "expect message \"$warning\"" 'answer ok' \
  'expect window "作业密码"' 'type 1006 "Keep"' 'type 1008 "0042"' 'ok' "$sheet_title" \
  'expect 1510 checked 1' 'expect 1514 text "1"' 'apply'
if play store -- --press ok && print_job store Spool; then
  header_has store '@PJL VEXSECURE PASSWORD=0042 PERMANENT=ON'
  header_has store '@PJL JOB NAME="Keep"'
  grep -q 'name="Copy Count".* sel=1 ' "$work/store.dump" || fail "store: copies not forced to 1"
else
  fail "store: $(said store)"
fi

# 3. Encrypted secure print: the password typed in the crypto window decrypts the job to the
# pages of the same document printed normally.
script crypto 'page 1' 'click 1511' 'expect window "加密打印设置"' 'settext 1001 "5678"' 'ok' \
  "$sheet_title" 'expect 1511 checked 1' 'apply'
if play crypto -- --press ok && print_job crypto Secure_Chip; then
  grep -aq 'Quarterly report) show' "$work/crypto-job.prn" && fail "crypto: the document is in clear"
  if "$inspect" "$work/crypto-job.prn" --password 5678 --plaintext "$work/crypto.plain" \
    >"$work/crypto.insp" 2>&1; then
    cp "$work/crypto.rec" "$work/twin.rec"
    print_job twin Normal
    normalised() { sed -e 's/ReceptionTime=[^"]*"/ReceptionTime=T"/' -e '/^@PJL COMMENT Version /d' "$1"; }
    cmp -s <(normalised "$work/crypto.plain") <(normalised "$work/twin-job.prn") ||
      fail "crypto: the decrypted job is not the normal print of the same document"
  else
    fail "crypto: jobinspect refused the job: $(tail -1 "$work/crypto.insp")"
  fi
else
  fail "crypto: $(said crypto)"
fi

# 4. OK in the overlay and watermark dialogs, then Cancel of the sheet: the INI file's main copy
# and watermark section stay as they were, byte for byte.
main_copy "$dir64/$ini_name" >"$work/before.ini"
script cancelled 'page 1' "${watermark_steps[@]}" "$sheet_title" "${overlay_steps[@]}" "$sheet_title"
if play cancelled -- --press cancel; then
  main_copy "$dir64/$ini_name" >"$work/after.ini"
  cmp -s "$work/before.ini" "$work/after.ini" || fail "cancelled: the INI file changed: $(diff "$work/before.ini" "$work/after.ini" | head -5)"
else
  fail "cancelled: $(said cancelled)"
fi

# 5. No permission: both pages' controls are off and OK changes nothing in the record.
cp "$work/store.rec" "$work/settled.rec"
script noperm 'page 1' 'expect 1509 enabled 0' 'expect 1514 enabled 0' 'expect 1535 enabled 0' \
  'expect 1536 enabled 0' 'expect 10000 enabled 0' "$sheet_title" 'shot secure-no-permission' 'page 2' \
  'expect 1601 enabled 0' 'expect 1609 enabled 0' 'expect 10000 enabled 0'
if play noperm -- --no-permission --record "$(winpath "$work/settled.rec")" --press ok; then
  cmp -s "$work/settled.rec" "$work/noperm.rec" ||
    fail "noperm: the record changed at $(cmp "$work/settled.rec" "$work/noperm.rec" | head -1)"
else
  fail "noperm: $(said noperm)"
fi

finish secure_job_sheet
