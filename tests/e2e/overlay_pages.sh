#!/usr/bin/env bash
# Overlays through vexps, the sample overlay resource and Ghostscript: one to four selected
# overlays in each page mode, read from the overlay store of the plug-in INI file. Ghostscript
# renders each job without an error and each overlay's stand-in frames appear on exactly the
# pages its mode selects; the form block is byte for byte what the store holds; a hostile store
# puts nothing but names and page numbers into the job.
#   tests/e2e/overlay_pages.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: overlay_pages.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/pixels.bash"

printf '%s\n' '/Helvetica findfont 12 scalefont setfont 40 800 moveto (Overlay test) show' \
  >"$work/body.ps"
dir3=$(driver_folder)
pages=6

# The overlay store: a plug-in INI file of the test's own, listed after the sample's.
store_ini() {  # file, section lines...
  local file=$1; shift
  printf '%s\r\n' '[OEMFiles]' 'OEMDriverFile1=vexps.dll' 'OEMConfigFile1=vexui.dll' \
    '[DependentFiles]' 'PROCSET_JP=VEXPROC.PS' 'OVERLAY_JP=VEXOVL.PS' \
    '[OverlaySetting]' 'Overlay_Num=5' 'History_Num=0' "$@" >"$file"
}
store_ini "$work/E2EOVL1.INI" \
  '[Overlay_Info 0]' 'Overlay_Name=First' 'PageMode=1' 'CustomPage=' 'Form_Num=1' 'Form_Name 0=LETTERHEAD' \
  '[Overlay_Info 1]' 'Overlay_Name=Odd' 'PageMode=2' 'CustomPage=' 'Form_Num=2' 'Form_Name 0=FORM_A' 'Form_Name 1=FORM_B' \
  '[Overlay_Info 2]' 'Overlay_Name=Even' 'PageMode=3' 'CustomPage=' 'Form_Num=3' 'Form_Name 0=E1' 'Form_Name 1=E2' 'Form_Name 2=E3' \
  '[Overlay_Info 3]' 'Overlay_Name=Custom' 'PageMode=4' 'CustomPage=2,4-5' 'Form_Num=1' 'Form_Name 0=CUSTOM' \
  '[Overlay_Info 4]' 'Overlay_Name=All' 'PageMode=0' 'CustomPage=' 'Form_Num=1' 'Form_Name 0=ALLPAGES'
# Pages each overlay's mode selects out of six, and its number of forms.
selects=("1" "1 3 5" "2 4 6" "2 4 5" "1 2 3 4 5 6")
forms=(1 2 3 1 1)

overlay_job() {  # name, ini file, record lines...
  local name=$1 ini=$2; shift 2
  job_file "$name" '[Printer]' 'Name=VEX WM Overlay' 'Driver=VEX WM Overlay PS' \
    'Model.JobInfoDll=' "Files=$(winpath "$ini")" \
    '[Features]' 'VXJob_Type=Normal' 'VXOverlay=Use' 'VXOverPrint=False' \
    '[Record]' "$@" '[Document]' "Name=$name" "Pages=$pages" 'Body=body.ps'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
    return 1
  fi
  render_pages "$name" || return 1
  [ "$(page_count "$name")" -eq "$pages" ] || { fail "$name: $(page_count "$name") pages"; return 1; }
}

# A stand-in frame of column COL, row ROW on the page (36 dpi; frames 40 pt high from 20 pt up).
frame_on() {  # png col row
  local x=$((10 + $2 * 69)) y=$((381 - $3 * 23))
  has_colour "$1" "$x" "$y" 64 22 "$is_blue"
}

# check_selection NAME OVERLAY...: overlay n of the list sits in column n, with its forms in rows.
check_selection() {
  local name=$1; shift
  local col=0 ov page row
  for ov in "$@"; do
    for page in $(seq "$pages"); do
      local wanted=no
      [[ " ${selects[ov]} " == *" $page "* ]] && wanted=yes
      for row in 0 1 2; do
        local expect=$wanted
        [ "$row" -lt "${forms[ov]}" ] || expect=no
        if frame_on "$work/$name-$page.png" "$col" "$row"; then
          [ "$expect" = yes ] || fail "$name: overlay $ov (column $col) form $row on page $page"
        else
          [ "$expect" = no ] || fail "$name: overlay $ov (column $col) form $row missing on page $page"
        fi
      done
    done
    col=$((col + 1))
  done
  # Columns after the last selected overlay stay empty.
  for ((; col < 4; col++)); do
    for page in $(seq "$pages"); do
      frame_on "$work/$name-$page.png" "$col" 0 && fail "$name: a frame in unused column $col"
    done
  done
  return 0
}

overlay_job one-first "$work/E2EOVL1.INI" 'overlayList=0,255,255,255' &&
  check_selection one-first 0
overlay_job two-odd-even "$work/E2EOVL1.INI" 'overlayList=255,1,255,2' &&
  check_selection two-odd-even 1 2
overlay_job three "$work/E2EOVL1.INI" 'overlayList=3,4,255,0' && check_selection three 3 4 0
if overlay_job four "$work/E2EOVL1.INI" 'overlayList=4,3,2,1'; then
  check_selection four 4 3 2 1
  keep_artefact "$work/four-1.png" overlay-four-page1.png
  keep_artefact "$work/four-2.png" overlay-four-page2.png
fi
# No overlay printed unless the feature says "Use".
job_file off '[Printer]' 'Name=VEX WM Overlay' 'Driver=VEX WM Overlay PS' 'Model.JobInfoDll=' \
  "Files=$(winpath "$work/E2EOVL1.INI")" '[Features]' 'VXOverlay=None' \
  '[Record]' 'overlayList=4,3,2,1' '[Document]' 'Name=off' 'Pages=1' 'Body=body.ps'
if render off; then
  grep -q -a 'VXFormDict' "$work/off.inj" && fail "off: overlay resource or block written"
else
  fail "off: render-host failed: $(cat "$work/off.err")"
fi

store_ini "$work/E2EOVL2.INI" '[Overlay_Info 2]' 'Overlay_Name=Example' 'PageMode=4' \
  'CustomPage=1,3-4,7-' 'Form_Num=2' 'Form_Name 0=FORM1' 'Form_Name 1=FORM2'
# EPS output (dialect 2) with overlays selected: the driver's setup section gets no form block,
# though the same job as PostScript has one (the example below).
job_file eps '[Printer]' 'Name=VEX WM Overlay' 'Driver=VEX WM Overlay PS' 'Model.JobInfoDll=' \
  "Files=$(winpath "$work/E2EOVL2.INI")" '[Features]' 'VXJob_Type=Normal' 'VXOverlay=Use' \
  'VXOverPrint=False' 'Dialect=2' '[Record]' 'overlayList=255,2,255,255' \
  '[Document]' 'Name=eps' 'Pages=1' 'Body=body.ps'
if render eps; then
  grep -q -a -e 'BeginNonPPDFeature: Form' -e 'VXFormDict' -e 'FormList' "$work/eps.inj" &&
    fail "eps: overlay form block written"
  grep -q -a 'Overlay test' "$work/eps.prn" || fail "eps: the document is not in the job file"
else
  fail "eps: render-host failed: $(cat "$work/eps.err")"
fi

# The block of the example store, byte for byte.
if overlay_job example "$work/E2EOVL2.INI" 'overlayList=255,2,255,255'; then
  printf '%%%%BeginNonPPDFeature: Form \r\n{ \r\nuserdict /@VXFormDict 2 copy known{\r\n\tget begin\r\n\t/OVList [\r\n\t\t(<<) cvx exec\r\n\t\t\t/FormList [ /FORM1 /FORM2]\r\n\t\t\t/PageFlag 4\r\n\t\t\t/PageArray [ [1 1] [3 4] [7 9999]]\r\n\t\t(>>) cvx exec\r\n\t]def end\r\n}{pop pop}ifelse\r\n}stopped pop\r\n%%%%EndNonPPDFeature\r\n\r\n' \
    >"$work/example.block"
  grep -c -a -F 'BeginNonPPDFeature: Form' "$work/example.inj" | grep -qx 1 ||
    fail "example: not exactly one form block"
  at=$(grep -a -b -o 'BeginNonPPDFeature: Form' "$work/example.inj" | head -1 | cut -d: -f1)
  tail -c +$((${at:-0} - 1)) "$work/example.inj" | head -c "$(wc -c <"$work/example.block")" |
    cmp -s - "$work/example.block" || fail "example: form block differs"
  selects[2]="1 3 4"
  forms[2]=2
  check_selection example 2
fi

# A hostile store (the INI file is writable by every user): names that would end their token,
# page lists with PostScript in them, counts beyond their limits, texts longer than their slots,
# a selected index beyond the store. Only names and page numbers reach the job.
long=$(printf 'L%.0s' $(seq 600))
store_ini "$work/E2EOVL3.INI" \
  '[Overlay_Info 0]' 'PageMode=4' 'CustomPage=1,2) pop (showpage,3-x,5' 'Form_Num=70000' \
  'Form_Name 0=OK0' 'Form_Name 1=BAD]def{quit}' 'Form_Name 2=OK2' 'Form_Name 3=FOURTH' \
  '[Overlay_Info 1]' 'PageMode=4' "CustomPage=$long" 'Form_Num=1' "Form_Name 0=$long" \
  '[Overlay_Info 2]' 'PageMode=65539' 'Form_Num=-1' 'Form_Name 0=(x) print'
if overlay_job hostile "$work/E2EOVL3.INI" 'overlayList=0,1,2,60000'; then
  grep -q -a -F '/FormList [ /OK0 /OK2]' "$work/hostile.inj" || fail "hostile: good names lost"
  grep -q -a -e 'quit' -e 'FOURTH' -e 'showpage,' -e '(x)' -e 'LLLL' "$work/hostile.inj" &&
    fail "hostile: store text reached the job unchecked"
  grep -q -a -F '/PageArray [ [1 1] [5 5]]' "$work/hostile.inj" || fail "hostile: page list"
  grep -q -a -F '/PageFlag 3' "$work/hostile.inj" || fail "hostile: PageMode not taken modulo 65536"
  [ "$(grep -c -a -F '(<<) cvx exec' "$work/hostile.inj")" -eq 4 ] || fail "hostile: not four groups"
fi

rm -f "$dir3"/E2EOVL?.INI
finish overlay_pages
