#!/usr/bin/env bash
# The job password dialog (202) and the crypto library's password window, opened from the job
# options page of the real document sheet: the fields' filters, OK's checks and what it stores,
# the job-name-required box by platform and sharing with the once-only warning, and encrypted
# secure print with the crypto companion and with a library that breaks the rules.
#   tests/sheets/job_password.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
. "$root/scripts/env.sh"
printer='VEX Sheet Password'
secure='VEX Sheet Cipher'
caption="$printer Printing Preferences"
page='page 1'  # the job options page follows the driver's page

# The document sheet with storage installed, OK at the end.
sheet_docsheet=(--option VXHDD=True --press ok)
# Record fields as the rendering side reads them.
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
wide() { dd if="$1" bs=1 skip="$2" count="$3" 2>/dev/null | iconv -f UTF-16LE -t UTF-8 | tr -d '\0'; }
record() {  # out, --set arguments...
  local out=$1; shift
  "$root/scripts/wine" "$uihost" --printer "$printer" record --out "$(winpath "$out")" "$@" \
    >"$work/record.out" 2>&1 || fail "record: $(cat "$work/record.out")"
}

# Typing: letters and quotes and Chinese characters are taken out as they are typed.
script filters "$page" 'click 1509' 'expect window "作业密码"' \
  'type 1008 "ab12"' 'expect 1008 text "12"' \
  'type 1006 "A\"中b"' 'expect 1006 text "Ab"' 'type 1006 "0123456789abcdefgh"' \
  'expect 1006 text "Ab0123456789abcd"' 'type 1008 "345"' 'expect 1008 text "1234"' \
  'shot job-password' 'cancel'
played filters --printer "$printer" && shot_kept filters "$artifacts/job-password.png"
# Cancel changed nothing: no name, no password, normal print again.
[ -z "$(wide "$work/filters.rec" 16 34)" ] || fail "filters: cancel stored a job name"
[ -z "$(wide "$work/filters.rec" 50 10)" ] || fail "filters: cancel stored a password"

# OK's checks, in order: the password first, then the name unless 1007 is ticked.
script checks "$page" 'click 1509' 'expect window "作业密码"' \
  'settext 1006 "Budget"' 'settext 1008 "123"' 'ok' 'expect message "密码无效。"' 'answer ok' \
  'settext 1006 ""' 'settext 1008 "4711"' 'ok' 'expect message "作业名称无效。"' 'answer ok' \
  'expect 1007 enabled 0   # Vista and later' \
  'settext 1006 "Budget Q3"' 'ok' 'expect 1509 checked 1'
if played checks --printer "$printer"; then
  [ "$(wide "$work/checks.rec" 16 34)" = "Budget Q3" ] || fail "checks: job name $(wide "$work/checks.rec" 16 34)"
  [ "$(wide "$work/checks.rec" 50 10)" = 4711 ] || fail "checks: password"
  [ "$(u32 "$work/checks.rec" 60)" = 0 ] || fail "checks: jobNameRequired"
fi

# On a platform of version 5.x, 1007 can be ticked; the first tick shows the warning once.
appkey='HKCU\Software\Wine\AppDefaults\ui-host.exe'
wine reg add "$appkey" /v Version /d winxp64 /f >/dev/null 2>&1 || fail "xp: reg add"
trap 'wine reg delete "$appkey" /v Version /f >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
ini=$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3/VEXDEMO.INI
script required "$page" 'click 1509' 'expect window "作业密码"' 'expect 1007 enabled 1' \
  'click 1007' 'expect window "警告:"' 'expect 6005 checked 1' 'click 6005' 'ok' \
  'expect 1007 checked 1' 'click 1007' 'click 1007   # seen: no warning again' \
  'settext 1006 ""' 'settext 1008 "0000"' 'ok' 'expect 1509 checked 1'
"$root/scripts/wine" "$uihost" --printer "$printer" record --out "$(winpath "$work/none.rec")" >/dev/null 2>&1 || true
sed -i '/AllertFlag1/d' "$ini" 2>/dev/null || true
if played required --printer "$printer"; then
  [ "$(u32 "$work/required.rec" 60)" = 1 ] || fail "required: jobNameRequired not stored"
  [ "$(wide "$work/required.rec" 50 10)" = 0000 ] || fail "required: password"
  grep -q 'AllertFlag1=1' "$ini" || fail "required: the warning's choice was not remembered"
fi

# A shared printer: 1007 unchecked and disabled whatever the record says.
record "$work/named.rec" --set jobName=Team --set jobPassword=2468 --set jobNameRequired=1
script shared "$page" 'click 1509' 'click 1512' 'expect window "作业密码"' \
  'expect 1006 text "Team"' 'expect 1008 text "2468"' 'expect 1007 checked 0' \
  'expect 1007 enabled 0' 'ok'
if played shared --printer "$printer" --share PwShared -- --record "$(winpath "$work/named.rec")"; then
  [ "$(u32 "$work/shared.rec" 60)" = 0 ] || fail "shared: jobNameRequired stayed set"
fi
wine reg delete "$appkey" /v Version /f >/dev/null 2>&1 || fail "xp: reg delete"

# Encrypted secure print with the crypto companion: accepted, then the password button shows
# the current password and its Cancel changes nothing.
cipher=(--printer "$secure" --driver 'VEX Demo Secure PS' --files vexcrypto.dll)
script accept "$page" 'click 1511' 'expect window "加密打印设置"' 'settext 1001 "5678"' 'ok' \
  'expect 1511 checked 1' 'click 1512' 'expect window "加密打印设置"' 'expect 1001 text "5678"' \
  'settext 1001 "9999"' 'cancel' 'expect 1511 checked 1'
if played accept "${cipher[@]}"; then
  length=$(u32 "$work/accept.rec" 3860)
  [ "$length" -ge 1 ] && [ "$length" -le 255 ] || fail "accept: enciphered length $length"
  [ "$(u32 "$work/accept.rec" 3868)" = 0 ] || fail "accept: cryptoFlag"
  # The record has the cipher of "5678" only: the companion's probe would be needed to read it,
  # so the next run checks it by the window it opens (none).
fi

# A stored password that deciphers: no window; cryptoFlag set and none stored: no window.
script stored "$page" 'click 1511' 'expect 1511 checked 1'
if [ -s "$work/accept.rec" ]; then played stored "${cipher[@]}" -- --record "$(winpath "$work/accept.rec")" || true; fi
record "$work/ask.rec" --set cryptoFlag=1 --set encryptedPasswordLength=0
played stored "${cipher[@]}" -- --record "$(winpath "$work/ask.rec")" || true

# A library without "DecryptPassword" (nor a password window): the message, then declined.
script nodecrypt "$page" 'click 1511' \
  'expect message "CCiperSet::DecryptPassword() : pfnDecryptPassword is NULL"' 'answer ok' \
  'expect 1508 checked 1'
if [ -s "$work/accept.rec" ]; then
  played nodecrypt --printer "$secure" --driver 'VEX Demo Secure PS' --files test_crypto_yes.dll \
    --model CryptoDll=test_crypto_yes.dll -- --record "$(winpath "$work/accept.rec")" || true
fi

# Declined: back to normal print, nothing stored.
script decline "$page" 'click 1511' 'expect window "加密打印设置"' 'cancel' 'expect 1508 checked 1' \
  'expect 1511 checked 0'
if played decline "${cipher[@]}"; then
  [ "$(u32 "$work/decline.rec" 3860)" = 0 ] || fail "decline: a password was stored"
fi

# A library that breaks the rules: a length of 0 or above 255, a failure, or bytes written past
# the capacity it was given leave no password stored; a window that writes past the block counts
# as declined; nothing outside the crypto fields changes.
hostile=(--printer "$secure" --driver 'VEX Demo Secure PS' --files test_crypto_hostile.dll
         --model CryptoDll=test_crypto_hostile.dll)
outside() { { head -c 3596 "$1"; tail -c 8 "$1"; } | od -An -tx1; }
hostile_run() {  # mode, expected length, expected radio, [record]
  local mode=$1 length=$2 radio=$3 name=hostile-$1${4:+-stored}
  script "$name" "$page" 'click 1511' "expect $radio checked 1"
  VEX_HOSTILE_CRYPTO=$mode played "$name" "${hostile[@]}" ${4:+-- --record "$(winpath "$4")"} || return 0
  [ "$(u32 "$work/$name.rec" 3860)" = "$length" ] ||
    fail "$name: enciphered length $(u32 "$work/$name.rec" 3860), expected $length"
  [ "$(outside "$work/$name.rec")" = "$(outside "$work/hostile-good.rec")" ] ||
    fail "$name: bytes outside the crypto fields changed"
  if [ "$length" = 0 ]; then
    [ -z "$(dd if="$work/$name.rec" bs=1 skip=3604 count=256 2>/dev/null | tr -d '\0')" ] ||
      fail "$name: stale enciphered bytes were kept"
  fi
}
hostile_run good 5 1511
[ "$(dd if="$work/hostile-good.rec" bs=1 skip=3604 count=5 2>/dev/null)" = X4321 ] ||
  fail "hostile-good: the enciphered bytes"
hostile_run zero-length 0 1511
hostile_run long-length 0 1511
hostile_run overrun 0 1511
hostile_run fail 0 1511
hostile_run window-overrun 0 1508
# Deciphering into more than its capacity is refused: the window is asked again (it accepts) and
# the password then enciphered by the overrunning export is not stored either.
hostile_run overrun 0 1511 "$work/hostile-good.rec"

finish job_password
