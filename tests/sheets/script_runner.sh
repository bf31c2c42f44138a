#!/usr/bin/env bash
# The dialog script runner of the UI stand-in on the X display: every verb against the driver
# page and the stand-in's test dialog and message boxes, bad scripts with their exit codes, and
# the driver's side of the document sheet (installable-option settings, page layout, permission).
#   tests/sheets/script_runner.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Script'

# The document sheet with the test dialogs, Cancel at the end.
sheet_printer=(--printer "$printer")
sheet_docsheet=(--test-dialogs --press cancel)

# Every verb, as a user's steps.
script verbs \
  'expect window "VEX Sheet Script Printing Preferences"' \
  'expect 1001 row 0 "Orientation"' \
  'key 1001 Down' 'expect 1001 selected 1' 'expect 1003 text "Automatically Select"' \
  'select 1001 0' 'expect 1003 rows 3' 'expect 12321 enabled 0   # nothing changed yet' \
  'select 1003 1' 'expect 1003 text "Landscape"' 'expect 12321 enabled 1' \
  'apply' 'page 0' \
  'click 1200' 'expect window "Test Dialog"' 'controls' \
  'expect 2010 enabled 0' 'expect 2011 visible 0' 'expect 2011 exists 1' 'expect 4242 exists 0' \
  'type 2001 "4x2"' 'expect 2001 text "42"' 'expect 2002 text "42"' \
  'settext 2001 "7"' 'expect 2002 text "7"' \
  'click 2003' 'expect 2003 checked 1' 'click 2005' 'expect 2004 checked 0' \
  'select 2006 2' 'expect 2008 text "list: Gamma"' 'expect 2006 row 1 "Beta"' 'expect 2006 rows 3' \
  'select 2007 1' 'expect 2008 text "combo: Green"' 'expect 2007 selected 1' \
  'click 2009' 'wait 5000' 'expect message "Keep the test values?"' 'answer no' \
  'expect 2012 text "answer: no"' 'expect window "Test Dialog"' 'expect 2001 text "7"' \
  'expect 2003 checked 1' 'expect 2005 checked 1' 'shot runner-dialog' 'ok' \
  'click 1201' 'expect message "The stand-in'"'"'s test message.\nIt has two lines."' 'answer ok' \
  'click 1200' 'cancel' 'expect 1001 rows 19'
rm -f "$artifacts/runner-dialog.png"
if play verbs -- --dump-controls "$(winpath "$work/verbs.controls")"; then
  d=$work/verbs.dump
  has "$d" 'applied: yes' "verbs: apply did not apply"
  has "$d" 'row "Orientation" = "Landscape"' "verbs: the selection did not reach the page"
  has "$d" 'test dialog: ok number=7 check=1 radio=2 list=2 combo=1 answer=no' "verbs: dialog values"
  has "$d" 'test message: ok' "verbs: message box answer"
  has "$d" 'test dialog: cancel' "verbs: cancel of the second dialog"
  shot_kept verbs "$artifacts/runner-dialog.png"
  c=$work/verbs.controls
  has "$c" 'window dialog "Test Dialog"' "controls: the dialog"
  has "$c" 'control id=2010 class="Button" text="&Disabled" enabled=0 visible=1 checked=-' \
    "controls: the disabled button"
  has "$c" 'control id=2006 class="ListBox" text="" enabled=1 visible=1 checked=- rect=' \
    "controls: the list"
  has "$c" 'window page "Advanced" top="VEX Sheet Script Printing Preferences"' \
    "controls: the page at the end"
else
  fail "verbs: ui-host exited with $?: $(said verbs)"
fi

# Bad scripts: the exit code and the message, quickly. Parse errors come before the sheet.
check_bad() {  # name, expected code, expected message, script lines...
  local name=$1 code=$2 message=$3 rc=0 started=$SECONDS; shift 3
  script "$name" "$@"
  play "$name" || rc=$?
  [ "$rc" -eq "$code" ] || fail "$name: exit code $rc, expected $code: $(cat "$work/$name.err")"
  has "$work/$name.err" "$message" "$name: message"
  [ $((SECONDS - started)) -le 20 ] || fail "$name: took $((SECONDS - started)) s"
  if [ "$code" -eq 2 ]; then lacks "$work/$name.out" 'sheet up' "$name: the sheet came up"; fi
}
check_bad unknown-verb 2 'script line 3: unknown verb "jump"' '# comment' 'page 0' 'jump 5'
check_bad unclosed 2 'script line 1: unclosed quote' 'expect 1003 text "Portrait'
check_bad no-id 2 'script line 1: click takes 1 argument(s)' 'click'
check_bad bad-key 2 'script line 1: key: unknown key "Space"' 'key 1001 Space'
check_bad missing-control 7 'script line 2: click 4242: no control 4242 in page "Advanced"' \
  'wait 300' 'click 4242'
check_bad never-text 7 'script line 2: expect 1003 text "Nope": text "Portrait"' \
  'wait 300' 'expect 1003 text "Nope"'
# A message that quotes text outside ASCII reaches the standard error whole, as UTF-8.
check_bad chinese-text 7 'script line 2: expect 1003 text "横向": text "Portrait"' \
  'wait 300' 'expect 1003 text "横向"'
check_bad left-open 7 'the script ended with dialog "Test Dialog" open' 'click 1200'
has "$work/left-open.dump" 'test dialog: cancel' "left-open: the dialog was not closed"
check_bad no-message 7 'script line 3: answer yes: no message box: in front is dialog "Test Dialog"' \
  'click 1200' 'wait 300' 'answer yes'

# The printer sheet plays scripts too.
script printer 'expect window "VEX Sheet Script Properties"' 'expect 1001 row 0 "Installable Options"' \
  'page 0' 'controls'
if sheet printer --printer "$printer" prnsheet --script "$(winpath "$work/printer.txt")" \
     --dump-controls "$(winpath "$work/printer.controls")" --press cancel; then
  has "$work/printer.controls" 'window page "Device Settings"' "printer: the page in front"
else
  fail "printer: ui-host exited with $?: $(cat "$work/printer.err")"
fi

# The driver's settings: the printer's "FeatureKeyword" block over the PPD defaults, --option
# over both; the page-layout byte and the permission flag.
block=$(printf 'VXHDD\0True\0\nVXFinisher\0True\0\nVXBogus\0x\0\nVXPunchUnit\0Type9\0\n\0\0' |
        od -An -tx1 | tr -d ' \n')
. "$root/scripts/env.sh"
wine reg add "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$printer\\PrinterDriverData" \
  /v FeatureKeyword /t REG_BINARY /d "$block" /f >/dev/null 2>&1 || fail "settings: reg add"
wine reg delete "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$printer\\PrinterDriverData" \
  /v FeatureKeywordSize /f >/dev/null 2>&1 || true
if sheet settings --printer "$printer" docsheet --option VXJobLimit=True --layout 4 --no-permission \
     --select 'Paper Size=Letter' --press apply --out-devmode "$(winpath "$work/settings.dm")" \
     --dump "$(winpath "$work/settings.dump")"; then
  d=$work/settings.dump
  for line in 'installable VXHDD = "True" (FeatureKeyword)' 'installable VXFinisher = "True" (FeatureKeyword)' \
              'installable VXJobLimit = "True" (--option)' 'installable VXPunchUnit = "None" (ppd)' \
              'FeatureKeyword "VXBogus" ignored: not an installable option' \
              'FeatureKeyword "VXPunchUnit" ignored: no option "Type9"' \
              'setting VXHDD = "True"' 'setting VXJobLimit = "True"' 'setting PageSize = "Letter"' \
              'setting Duplex = "None"' 'permission flags 0x00000020' \
              'devmode size 396 driver-extra 176 layout 4'; do
    has "$d" "$line" "settings"
  done
  [ "$(stat -c %s "$work/settings.dm")" -eq 396 ] || fail "settings: the device mode is not 396 bytes"
  [ "$(od -An -tu1 -j356 -N1 "$work/settings.dm" | tr -d ' ')" = 4 ] || fail "settings: layout byte"
else
  fail "settings: ui-host exited with $?: $(cat "$work/settings.err")"
fi
# The block as the plug-in's printer initialisation records it from the option file.
entry() { printf '%s\0%s\0\n' "$1" "$2"; }
{ entry VXOptionMPF False; entry VXOptionDuplex False; entry VXFinisher False; entry VXPunchUnit None
  entry VXJobLimit True; entry VXOptionTray 0; entry VXHDD False; printf '\0\0'; } >"$work/base.bin"
wine reg add "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$printer\\PrinterDriverData" \
  /v FeatureKeyword /t REG_BINARY /d "$(od -An -tx1 "$work/base.bin" | tr -d ' \n')" /f >/dev/null 2>&1 &&
wine reg add "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$printer\\PrinterDriverData" \
  /v FeatureKeywordSize /t REG_DWORD /d "$(stat -c %s "$work/base.bin")" /f >/dev/null 2>&1 ||
  fail "discovered: reg add"
options=$WINEPREFIX/drive_c/windows/vexopt.dat
printf '[%s]\r\nInstalled=96\r\nSD Card=1\r\nPunchType=2\r\nJobLimitationMode=1\r\n' "$printer" >"$options"
rc=0
sheet init --printer "$printer" printerevent --event 3 || rc=$?
rm -f "$options"
[ "$rc" -eq 0 ] || fail "discovered: printerevent exited with $rc: $(cat "$work/init.err")"
if sheet discovered --printer "$printer" docsheet --press cancel --dump "$(winpath "$work/discovered.dump")"; then
  # Bits 5 and 6 of "Installed": duplex unit and finisher; job limitation is never recorded on
  # this platform version.
  for line in 'installable VXHDD = "True" (FeatureKeyword)' 'installable VXFinisher = "True" (FeatureKeyword)' \
              'installable VXOptionDuplex = "True" (FeatureKeyword)' 'installable VXPunchUnit = "Type2" (FeatureKeyword)' \
              'installable VXJobLimit = "False" (FeatureKeyword)' 'installable VXOptionTray = "0" (FeatureKeyword)'; do
    has "$work/discovered.dump" "$line" "discovered"
  done
else
  fail "discovered: ui-host exited with $?: $(cat "$work/discovered.err")"
fi

rc=0
sheet bad-layout --printer "$printer" docsheet --layout 7 --press cancel || rc=$?
[ "$rc" -eq 2 ] || fail "bad-layout: exit code $rc, expected 2"

finish script_runner
