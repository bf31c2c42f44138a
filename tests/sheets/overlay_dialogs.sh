#!/usr/bin/env bash
# The overlay dialogs on the X display, opened from the job options page of the document sheet:
# two overlays defined with forms typed through the keyboard, chosen and accepted, the sheet
# applied, and the record and the plug-in INI file that the sheet left printed by the 32-bit
# render-host: the job's form block holds exactly those overlays and page modes, and Ghostscript
# draws their forms' frames on the chosen pages. Then the dialogs' rules as a user meets them
# (filters, messages, enabling, renumbering, Cancel).
#   tests/sheets/overlay_dialogs.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
. "$root/tests/e2e/lib/pixels.bash"
. "$root/scripts/env.sh"
printer='VEX Overlay Dialogs'
driver='VEX Overlay Dialogs PS'
ini_name=OVLDLG.INI
dir64=$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3
pages=6

# The plug-in INI file of this printer: the sample's files, then the overlay store's lines.
store_ini() {  # store lines...
  printf '%s\r\n' '[OEMFiles]' 'OEMDriverFile1=vexps.dll' 'OEMConfigFile1=vexui.dll' \
    '[DependentFiles]' 'PROCSET_JP=VEXPROC.PS' 'OVERLAY_JP=VEXOVL.PS' "$@" >"$work/$ini_name"
}
# The value of KEY in SECTION of the INI file the sheet left in the driver's folder.
ini_value() {  # section, key
  awk -v s="[$1]" -v k="$2" 'BEGIN { RS = "\r?\n" } $0 == s { on = 1; next } /^\[/ { on = 0 }
    on && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$dir64/$ini_name"
}
ini_is() {  # what, section, key, expected
  local got
  got=$(ini_value "$2" "$3")
  [ "$got" = "$4" ] || fail "$1: [$2] $3 is \"$got\", expected \"$4\""
}
# The document sheet of this printer with its INI file.
sheet_printer=(--printer "$printer" --driver "$driver" --model JobInfoDll=vexjobinfo.dll
  --files "$(winpath "$work/$ini_name")")
# The four words of the record's overlay list.
overlay_list() { od -An -tu2 -j72 -N8 "$1" | tr -s ' ' | sed 's/^ //'; }

open_dialog=('page 1' 'click 1536' 'expect window "叠加打印"')

# ---- From the dialog to the printed page ----

store_ini '[OverlaySetting]' 'Overlay_Num=0' 'History_Num=0'
script define "${open_dialog[@]}" \
  'expect 1050 rows 2   # the last option is only for users who may not change the printer' \
  'expect 1053 text "(最多4)"' 'expect 1058 text "(最多32)"' \
  'expect 1057 rows 0' 'expect 1052 rows 0' 'expect 1054 enabled 0' 'expect 1060 enabled 0' \
  'expect 1061 enabled 0' 'expect 1059 enabled 1' \
  'click 1059' 'expect window "定义叠加打印"' 'expect 1101 text "新建叠加打印"' \
  'expect 1110 enabled 0' 'expect 1111 enabled 0' 'expect 1114 enabled 0' \
  'settext 1101 "Head"' 'select 1103 1' \
  'type 1109 "HEAD FORM"' 'expect 1109 text "HEADFORM"' 'expect 1110 enabled 1' \
  'click 1110' 'expect 1113 rows 1' 'expect 1113 row 0 "HEADFORM"' 'expect 1110 enabled 0' \
  'expect 1114 enabled 1' 'expect window "定义叠加打印"' 'expect 1101 text "Head"' \
  'expect 1103 selected 1' 'shot define-overlay' 'ok' \
  'expect window "叠加打印"' 'expect 1057 rows 1' 'expect 1057 row 0 "Head"' \
  'click 1059' 'expect window "定义叠加打印"' 'settext 1101 "Body"' \
  'type 1105 "2,,4-5"' 'expect 1105 text "2,4-5"' 'expect 1103 selected 4' \
  'settext 1109 ""' 'type 1109 "BODY1"' 'click 1110' \
  'settext 1109 ""' 'type 1109 "BODY2"' 'click 1110' 'expect 1113 rows 2' 'ok' \
  'expect window "叠加打印"' 'expect 1057 rows 2' 'expect 1057 row 1 "Body"' \
  'select 1057 0' 'select 1057 1' 'expect 1054 enabled 1' 'click 1054' \
  'expect 1052 rows 2' 'expect 1052 row 0 "Head"' 'expect 1052 row 1 "Body"' \
  'expect 1054 enabled 0' 'select 1050 1' 'expect window "叠加打印"' 'expect 1050 selected 1' \
  'shot overlay-dialog' 'ok'
rm -f "$artifacts/overlay-dialog.png" "$artifacts/define-overlay.png"
if play define -- --press ok; then
  shot_kept define "$artifacts/overlay-dialog.png"
  shot_kept define "$artifacts/define-overlay.png"
  has "$work/define.dump" 'applied: yes' "define: the sheet was not applied"
  # The mode reached the driver's (hidden) "VXOverlay" item.
  [[ "$(item_line "$work/define.dump" VXOverlay)" == *' sel=1 '* ]] ||
    fail "define: the overlay mode: $(item_line "$work/define.dump" VXOverlay)"
  has "$work/define.dump" 'DrvUpdateUISetting VXOverlay previous=0 requested=1 mode=1: accepted' \
    "define: the overlay mode was not written back"
  [ "$(overlay_list "$work/define.rec")" = '0 1 255 255' ] ||
    fail "define: overlay list $(overlay_list "$work/define.rec")"
  # Apply made the saved copy the main copy.
  ini_is define OverlaySetting Overlay_Num 2
  ini_is define OverlaySetting History_Num 3
  ini_is define OverlaySetting 'History 0' BODY2
  ini_is define 'Overlay_Info 0' Overlay_Name Head
  ini_is define 'Overlay_Info 0' PageMode 1
  ini_is define 'Overlay_Info 0' Form_Num 1
  ini_is define 'Overlay_Info 0' 'Form_Name 0' HEADFORM
  ini_is define 'Overlay_Info 1' PageMode 4
  ini_is define 'Overlay_Info 1' CustomPage '2,4-5'
  ini_is define 'Overlay_Info 1' 'Form_Name 1' BODY2
  ini_is define OverlaySetting_Sv Overlay_Num 2
  cp "$dir64/$ini_name" "$work/OVLPRN.INI"

  # The record and the INI file as the sheet left them, printed by the rendering plug-in.
  printf '%s\n' '/Helvetica findfont 12 scalefont setfont 40 800 moveto (Overlay dialogs) show' \
    >"$work/body.ps"
  job_file printed '[Printer]' "Name=$printer" "Driver=$driver" 'Model.JobInfoDll=' \
    "Files=$(winpath "$work/OVLPRN.INI")" '[Features]' 'VXJob_Type=Normal' 'VXOverlay=Use' \
    'VXOverPrint=False' '[Record]' "RecordFile=$(winpath "$work/define.rec")" \
    '[Document]' 'Name=Overlay dialogs' "Pages=$pages" 'Body=body.ps'
  rc=0
  render printed || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "printed: render-host exited with $rc: $(cat "$work/printed.err")"
  elif render_pages printed; then
    inj=$work/printed.inj
    [ "$(grep -c -a -F '(<<) cvx exec' "$inj")" -eq 2 ] || fail "printed: not two overlay groups"
    grep -a -F -A1 '/FormList [ /HEADFORM]' "$inj" | grep -q -F '/PageFlag 1' ||
      fail "printed: the first overlay's forms and page mode"
    grep -a -F -A1 '/FormList [ /BODY1 /BODY2]' "$inj" | grep -q -F '/PageFlag 4' ||
      fail "printed: the second overlay's forms and page mode"
    grep -q -a -F '/PageArray [ [2 2] [4 5]]' "$inj" || fail "printed: the page list"
    [ "$(grep -c -a -F '/PageFlag 1' "$inj")" -eq 1 ] || fail "printed: page flag 1"
    [ "$(grep -c -a -F '/PageFlag 4' "$inj")" -eq 1 ] || fail "printed: page flag 4"
    # The sample overlay resource draws form k of overlay n as a frame in column n, row k.
    frame_on() { has_colour "$1" $((10 + $2 * 69)) $((381 - $3 * 23)) 64 22 "$is_blue"; }
    for page in $(seq "$pages"); do
      png=$work/printed-$page.png
      want0=no; [ "$page" -eq 1 ] && want0=yes
      want1=no; case $page in 2 | 4 | 5) want1=yes ;; esac
      for row in 0 1 2; do
        w=$want0; [ "$row" -lt 1 ] || w=no
        if frame_on "$png" 0 "$row"; then got=yes; else got=no; fi
        [ "$got" = "$w" ] || fail "printed: Head form $row on page $page: $got"
        w=$want1; [ "$row" -lt 2 ] || w=no
        if frame_on "$png" 1 "$row"; then got=yes; else got=no; fi
        [ "$got" = "$w" ] || fail "printed: Body form $row on page $page: $got"
      done
      frame_on "$png" 2 0 && fail "printed: a frame in column 2 on page $page"
    done
    mkdir -p "$artifacts"
    cp "$work/printed-1.png" "$artifacts/overlay-dialog-page1.png"
    cp "$work/printed-2.png" "$artifacts/overlay-dialog-page2.png"
  fi
else
  fail "define: ui-host exited with $?: $(said define)"
fi

# ---- The rules as a user meets them ----

five=('[OverlaySetting]' 'Overlay_Num=5' 'History_Num=0')
for n in 0 1 2 3 4; do
  name=$(printf "\\x$(printf %x $((65 + n)))")
  five+=("[Overlay_Info $n]" "Overlay_Name=$name" 'PageMode=0' 'CustomPage=' 'Form_Num=1'
    "Form_Name 0=F$name")
done
store_ini "${five[@]}"
script rules "${open_dialog[@]}" 'expect 1057 rows 5' 'expect 1057 row 4 "E"' \
  '# Renaming to another overlay'"'"'s name is refused; keeping its own name is not.' \
  'select 1057 1' 'expect 1060 enabled 1' 'click 1060' 'expect window "定义叠加打印"' \
  'expect 1101 text "B"' 'expect 1109 text "FB"' 'settext 1101 "A"' 'ok' \
  'expect message "存在同名的叠加打印。\n请改为另一个名称。"' 'answer ok' \
  'expect window "定义叠加打印"' 'settext 1101 "B"' 'ok' 'expect window "叠加打印"' \
  '# Cancel after edits leaves the definition as it was.' \
  'select 1057 2' 'click 1060' 'settext 1101 "Changed"' 'select 1103 2' \
  'settext 1109 ""' 'type 1109 "NEWFORM"' 'click 1110' 'expect 1113 rows 2' 'cancel' \
  'expect window "叠加打印"' 'expect 1057 row 2 "C"' \
  'select 1057 2' 'click 1060' 'expect 1101 text "C"' 'expect 1103 selected 0' \
  'expect 1113 rows 1' 'expect 1113 row 0 "FC"' 'cancel' \
  '# A new definition: the filters and the checks of OK.' \
  'click 1059' 'expect window "定义叠加打印"' \
  'type 1105 "1,,3--5"' 'expect 1105 text "1,3-5"' 'expect 1103 selected 4' \
  'settext 1105 ""' 'expect 1103 selected 0' 'type 1105 "0"' 'expect 1105 text ""' \
  'type 1105 "12345"' 'expect 1105 text "1234"' 'settext 1105 ""' \
  'settext 1101 ""' 'ok' 'expect message "请输入叠加打印名称。"' 'answer ok' \
  'settext 1101 "Z"' 'ok' 'expect message "输入格式名称，并将其添加到已定义的格式列表。"' 'answer ok' \
  'settext 1109 ""' 'type 1109 "50% (A)"' 'expect 1109 text "50A"' \
  'settext 1109 ""' 'type 1109 "END."' 'click 1110' 'expect message "请不要在末尾使用“.”字符。"' \
  'answer ok' 'expect 1113 rows 0' \
  'settext 1109 ""' 'type 1109 "G1"' 'click 1110' 'settext 1109 ""' 'type 1109 "G2"' 'click 1110' \
  'settext 1109 ""' 'type 1109 "G3"' 'click 1110' 'expect 1113 rows 3' \
  'settext 1109 ""' 'type 1109 "G4"' 'expect 1110 enabled 0   # a fourth form' \
  'select 1113 0' 'expect 1109 text "G1"' 'expect 1114 enabled 1' 'click 1114' \
  'expect 1113 rows 2' 'expect 1113 row 0 "G2"' 'cancel' \
  'expect window "叠加打印"' 'expect 1057 rows 5' \
  '# Choosing and deleting: the chosen list is renumbered.' \
  'select 1057 2' 'select 1057 4' 'click 1054' 'expect 1052 rows 2' \
  'select 1057 0' 'select 1057 1' 'select 1057 3' \
  'expect 1054 enabled 0   # three selected while two are chosen' 'expect 1060 enabled 0' \
  'expect 1061 enabled 1' 'click 1061' 'expect 1057 rows 2' \
  'expect 1052 rows 2' 'expect 1052 row 0 "C"' 'expect 1052 row 1 "E"' \
  'select 1057 0' 'click 1061' 'expect 1057 rows 1' 'expect 1052 rows 1' 'expect 1052 row 0 "E"' \
  'ok'
if play rules -- --press cancel; then
  # The sheet was cancelled after OK: the main copy is as it was, the saved copy holds E alone.
  ini_is rules OverlaySetting Overlay_Num 5
  ini_is rules 'Overlay_Info 2' Overlay_Name C
  ini_is rules OverlaySetting_Sv Overlay_Num 1
  ini_is rules 'Overlay_Info_Sv 0' Overlay_Name E
  ini_is rules 'Overlay_Info_Sv 0' 'Form_Name 0' FE
else
  fail "rules: ui-host exited with $?: $(said rules)"
fi

# Without permission to change the settings the job options page disables its button 1536, so
# the dialog's own DM_NOPERMISSION rule is covered by tests/dll/ui_overlay_dialog_test.cpp; here
# the button is off.
script nopermission 'page 1' 'expect 1536 enabled 0'
play nopermission -- --no-permission --press cancel ||
  fail "nopermission: ui-host exited with $?: $(said nopermission)"

finish overlay_dialogs
