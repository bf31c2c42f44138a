#!/usr/bin/env bash
# The job options page on the X display, as a user meets it: the job types by storage, job
# limitation and IC card, the single-copy warning, the job password dialog accepted and
# cancelled, the copies and scaling filters, the check when the page is left, Defaults, no
# permission, and which pages the sheet has by driver and configuration.
#   tests/sheets/job_options_page.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Job Options'

sheet_printer=(--printer "$printer")
# A wide text field of a record.
wide_at() {  # record, offset, characters
  dd if="$1" bs=1 skip="$2" count=$(($3 * 2)) status=none | iconv -f UTF-16LE -t UTF-8 | tr -d '\0'
}
u32_at() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }
sel_of() { item_line "$1" "$2" | sed -n 's/.* sel=\([0-9-]*\) .*/\1/p'; }
# A record with a job name and password already stored.
"$root/scripts/wine" "$uihost" --printer "$printer" record --out "$(winpath "$work/named.rec")" \
  --set jobName=Keep --set jobPassword=9999 >"$work/named.out" 2>&1 ||
  fail "record with a name: $(cat "$work/named.out")"
# A PPD whose job type starts as "store to card", and one without the colour feature.
sed 's/^\*DefaultVXJob_Type: Normal/*DefaultVXJob_Type: Spool/' "$root/package/files/VEXDEMO.PPD" \
  >"$work/spool.ppd"
sed 's/^\*ColorDevice: True/*ColorDevice: False/' "$root/package/files/VEXDEMO.PPD" >"$work/mono.ppd"

# Without storage the secure job types are off, and a stored "store to card" shows as normal.
script nostorage 'page 1' 'expect window "VEX Job Options Printing Preferences"' \
  'expect 1508 checked 1' 'expect 1509 enabled 0' 'expect 1510 enabled 0' \
  'expect 1511 exists 0   # no crypto library in this model' 'expect 1512 enabled 0' \
  'expect 1514 enabled 1' 'shot job-options-page'
if play nostorage -- --ppd "$(winpath "$work/spool.ppd")" --press ok; then
  [ "$(sel_of "$work/nostorage.dump" VXJob_Type)" = 0 ] ||
    fail "nostorage: job type $(item_line "$work/nostorage.dump" VXJob_Type)"
  shot_kept nostorage "$artifacts/job-options-page.png"
else
  fail "nostorage: ui-host failed: $(said nostorage)"
fi

# Secure print with three copies: the warning once, copies forced to one, the password dialog;
# storing afterwards asks nothing more; normal print re-arms the warning.
warning='此选项将打印作业作为一部分进行保存。可通过打印机的操作面板在安全打印和存储到SD中指定两份或更多份数。\n无法通过打印机的操作面板在加密安全打印中指定两份或更多份数。'
script secure 'page 1' 'settext 1514 "3"' 'click 1509' "expect message \"$warning\"" 'answer ok' \
  'expect window "作业密码"' 'type 1006 "Budget"' 'type 1008 "1234"' 'expect 1006 text "Budget"' \
  'expect 1008 text "1234"' 'expect 1007 checked 0' 'shot job-password' 'ok' \
  'expect window "VEX Job Options Printing Preferences"' 'expect 1509 checked 1' \
  'expect 1514 text "1"' 'expect 1514 enabled 0' 'expect 1518 enabled 0' 'expect 1512 enabled 1' \
  'click 1510' 'expect 1510 checked 1   # name and password stored: no dialog, no warning' \
  'click 1508' 'expect 1514 enabled 1' 'settext 1514 "2"' 'click 1510' \
  "expect message \"$warning\"" 'answer ok' 'expect 1510 checked 1' 'expect 1514 text "1"' 'apply'
if play secure -- --option VXHDD=True --press ok; then
  d=$work/secure.dump r=$work/secure.rec
  has "$d" 'applied: yes' "secure: not applied"
  [ "$(sel_of "$d" VXJob_Type)" = 2 ] || fail "secure: job type $(item_line "$d" VXJob_Type)"
  [ "$(wide_at "$r" 16 17)" = Budget ] || fail "secure: job name \"$(wide_at "$r" 16 17)\""
  [ "$(wide_at "$r" 50 5)" = 1234 ] || fail "secure: password \"$(wide_at "$r" 50 5)\""
  grep -q 'name="Copy Count".* sel=1 ' "$d" || fail "secure: copies $(grep 'Copy Count' "$d")"
else
  fail "secure: ui-host failed: $(said secure)"
fi

# Cancelling the password dialog returns to normal print, and a second click goes straight back
# until normal print is chosen again. Defaults keeps the stored name and password.
script declined 'page 1' 'click 1509' 'expect window "作业密码"' 'cancel' \
  'expect window "VEX Job Options Printing Preferences"' 'expect 1508 checked 1' \
  'expect 1508 focused 1' 'click 1509' 'expect 1508 checked 1' 'click 1508' 'click 1509' \
  'expect window "作业密码"' 'cancel' 'expect 1508 checked 1'
play declined -- --option VXHDD=True --press cancel || fail "declined: $(said declined)"

script named 'page 1' 'click 1509' 'expect 1509 checked 1   # name and password are stored' \
  'click 1545' 'settext 1532 "50"' 'click 10000' \
  'expect 1546 checked 1' 'expect 1514 text "1"' 'expect 1514 enabled 1' 'expect 1532 text "100"' 'expect 1508 checked 1' \
  'expect 1518 checked 0' 'expect 12321 enabled 1' 'apply'
if play named -- --option VXHDD=True --record "$(winpath "$work/named.rec")" --press ok; then
  r=$work/named.rec
  [ "$(wide_at "$r" 16 17)" = Keep ] || fail "Defaults: job name \"$(wide_at "$r" 16 17)\""
  [ "$(wide_at "$r" 50 5)" = 9999 ] || fail "Defaults: password \"$(wide_at "$r" 50 5)\""
  [ "$(sel_of "$work/named.dump" VXJob_Type)" = 0 ] || fail "Defaults: job type"
else
  fail "named: ui-host failed: $(said named)"
fi

# The filters as typed, and the check when the page is left.
script filters 'page 1' 'settext 1514 ""' 'type 1514 "12a"' 'expect 1514 text "12"' \
  'expect 1514 caret 2' 'settext 1532 ""' 'type 1532 "1500"' 'expect 1532 text "400"   # 1000, and the up-down stops at the item'"'"'s 400' \
  'settext 1532 "100"' 'settext 1514 "0"' 'page 0' \
  'expect message "您的一个或多个设置无效。"' 'answer ok' 'expect 1514 focused 1' \
  'expect window "VEX Job Options Printing Preferences"' 'expect 1514 exists 1   # the page stayed' \
  'settext 1514 "4"' 'page 0' 'page 1' 'expect 1514 text "4"'
play filters -- --press cancel || fail "filters: $(said filters)"

# Job limitation: every job-type button off, encrypted secure print, the password asked for
# when printing.
script limit 'page 1' 'expect 1511 checked 1' 'expect 1508 enabled 0' 'expect 1509 enabled 0' \
  'expect 1510 enabled 0' 'expect 1511 enabled 0' 'expect 1512 enabled 1' 'apply'
if play limit --driver 'VEX Demo Secure PS' -- --option VXHDD=True --option VXJobLimit=True \
  --press ok; then
  [ "$(u32_at "$work/limit.rec" 3868)" = 1 ] || fail "limit: cryptoFlag $(u32_at "$work/limit.rec" 3868)"
  [ "$(sel_of "$work/limit.dump" VXJob_Type)" = 3 ] || fail "limit: job type"
else
  fail "limit: ui-host failed: $(said limit)"
fi

# IC-card mode: the card's secure print, secure print and storing off, copies editable. The
# model's card library is one of the printer's files like any other: the sheet gets it here.
script card 'page 1' 'expect window "VEX Job Options Printing Preferences"' \
  'expect 1511 text "IC卡安全打印"' 'expect 1511 checked 1' \
  'expect 1509 enabled 0' 'expect 1510 enabled 0' 'expect 1511 enabled 1' 'expect 1514 enabled 1' \
  'shot job-options-card'
play card --driver 'VEX Demo Card PS' --files vexcard.dll -- --option VXHDD=True \
  --ppd "$(winpath "$work/spool.ppd")" --press cancel || fail "card: $(said card)"

# A card library that is missing, lacks the query or crashes in it is not IC-card mode, and the
# sheet goes on.
script nocard 'page 1' 'expect 1511 text "加密安全打印"' 'expect 1509 enabled 1'
for lib in missing.dll test_crypto_yes.dll test_card_crash.dll; do
  files=()
  [ "$lib" = missing.dll ] || files=(--files "$lib")
  play nocard --driver 'VEX Demo Card PS' --model "CARD_DLL=$lib" "${files[@]}" -- \
    --option VXHDD=True --press cancel || fail "card library $lib: $(said nocard)"
done

# Selections a damaged device mode could bring (beyond the option lists, outside the ranges,
# negative): the page shows a valid state and the driver's items get only values they accept.
script hostile 'page 1' 'expect 1508 checked 1' 'expect 1546 checked 1' 'expect 1514 text "999"' \
  'expect 1532 text "1"' 'apply'
if play hostile -- --raw-select VXJob_Type=7 --raw-select VXResolution=9 \
  --raw-select 'Copy Count=99999' --raw-select Scaling=-5 --raw-select VXStaple=-1 \
  --raw-select VXBindPosition=2147483647 --raw-select VXCollate=3 --press ok; then
  d=$work/hostile.dump
  for k in VXJob_Type:0 VXResolution:1 VXStaple:0 VXCollate:0; do
    [ "$(sel_of "$d" "${k%%:*}")" = "${k#*:}" ] || fail "hostile: $(item_line "$d" "${k%%:*}")"
  done
  grep -q 'name="Copy Count".* sel=999 ' "$d" || fail "hostile: copies $(grep 'Copy Count' "$d")"
  grep -q 'name="Scaling".* sel=1 ' "$d" || fail "hostile: scaling $(grep '"Scaling"' "$d")"
  grep -q 'refused' "$d" && fail "hostile: the driver refused a value: $(grep refused "$d" | head -1)"
else
  fail "hostile: ui-host failed: $(said hostile)"
fi

# No permission: every control of the page is off.
script noperm 'page 1' 'expect 1545 enabled 0' 'expect 1506 enabled 0' 'expect 1508 enabled 0' \
  'expect 1514 enabled 0' 'expect 1532 enabled 0' 'expect 1535 enabled 0' 'expect 1536 enabled 0' \
  'expect 1537 enabled 0' 'expect 10000 enabled 0'
play noperm -- --option VXHDD=True --no-permission --press cancel ||
  fail "noperm: $(said noperm)"

# Which pages the sheet gets: no colour feature, no colour page; a support address without its
# library, no support page; a link text far longer than its field is cut, shown, not opened.
long=$(printf 'http://example.invalid/%01990d' 0)
script pages 'page 1' "expect 1392 text \"${long:0:260}\"" 'expect 1392 visible 1'
if play pages --model AskVexURL=http://example.invalid/ --model AskVexRES= \
  --model "TabLinkName=$long" -- --ppd "$(winpath "$work/mono.ppd")" --press cancel; then
  added=$(grep -c 'ADD_PROPSHEETPAGEW (1): done' "$work/pages.dump" || true)
  [ "$added" = 1 ] || fail "pages: $added pages added, expected the job options page alone"
else
  fail "pages: ui-host failed: $(said pages)"
fi

finish job_options_page
