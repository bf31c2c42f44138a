#!/usr/bin/env bash
# The prolog of every job, byte for byte as vexps injects it: the resource files that the plug-in
# INI file names (by feature), in 1024-byte blocks and whole, then the globaldict page-setup
# values; the watermark's initialisation after them and its page calls, each after the page's
# number (also for EPS output);
# with overlays, the form block and each page's number; resource names that would reach
# outside the driver's folder send nothing.
#   tests/e2e/prolog_resources.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: prolog_resources.sh <build tree>}
. "$here/lib/e2e.bash"

package=$tree/package
header() { printf '\033%%-12345X@PJL JOB NAME="%s"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n' "$1"; }
trailer() { printf '\033%%-12345X@PJL EOJ\r\n'; }
values() {  # nup orientation colour [card]
  printf 'globaldict /VX@NupNumber %s put \r\n\nglobaldict /VX@Orientation %s put \r\n\n' "$1" "$2"
  printf 'globaldict /VX@ColorMono %s put \r\n\n' "$3"
  [ -z "${4:-}" ] || printf 'globaldict /VX@ICCARD true  put \r\n\n'
}
# The line that gives a page its own number, for the overlays and the watermark.
page_number() { printf 'globaldict /VX@PageNumber %s put\r\n' "$1"; }
# A page's watermark call, after the page's number.
matrix_call() {  # page
  page_number "$1"
  printf '\r\n/DriverOps /ProcSet 2 copy resourcestatus{\r\n pop pop findresource /getwmmatrix 2 copy known{get exec}{pop pop}ifelse\r\n}{pop pop}ifelse\r\n\r\n'
}

# prolog_case NAME EXPECTED-FILE JOB-LINES...: the injected bytes equal the expected file.
prolog_case() {
  local name=$1 expected=$2; shift 2
  job_file "$name" "$@" '[Document]' "Name=$name" 'Pages=2'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
    return
  fi
  if ! cmp -s "$expected" "$work/$name.inj"; then
    fail "$name: injected bytes differ from the expected prolog"
    cmp "$expected" "$work/$name.inj" >&2 || true
  fi
  gs_accepts "$name" "$work/$name.prn"
}

printer=('[Printer]' 'Name=VEX WM Prolog' 'Driver=VEX WM Prolog PS' 'Model.JobInfoDll=' 'Files=')

# Only the procedure set without overlays and overprint; 4-up colour, orientation 0.
{ header plain; cat "$package/VEXPROC.PS"; values 4 0 2; trailer; } >"$work/plain.expected"
prolog_case plain "$work/plain.expected" "${printer[@]}" \
  '[Features]' 'VXOverlay=None' 'VXOverPrint=False' '[Record]' 'nupSelection=2'

# Overlay and overprint resources in that order; no overlay selected: the empty form block,
# and each of the two pages hands its number to the overlay resource.
form_block='%%%%BeginNonPPDFeature: Form \r\n{ \r\nuserdict /@VXFormDict 2 copy known{\r\n\tget begin\r\n\t/OVList [\r\n\t]def end\r\n}{pop pop}ifelse\r\n}stopped pop\r\n%%%%EndNonPPDFeature\r\n\r\n'
overlay_setup() { printf "$form_block"; page_number 1; page_number 2; }
{ header all; cat "$package/VEXPROC.PS" "$package/VEXOVL.PS" "$package/VEXOVP.PS"
  values 2 2 1; overlay_setup; trailer; } >"$work/all.expected"
prolog_case all "$work/all.expected" "${printer[@]}" \
  '[Features]' 'VXOverlay=Use' 'VXOverPrint=True' '[DevMode]' 'dmColor=1' \
  '[Record]' 'nupSelection=6' 'orientationSelection=2' 'overlayList=255,255,255,255'

# nupSelection 0 gives one page a sheet; the watermark follows the values, and each page calls it.
{ header wm; cat "$package/VEXPROC.PS"; values 1 1 2
  printf '\r\n(A\\(b\\)\\\\c) 36 /Times-Roman 0.75 0.75 0.75 270 3 0 0 0 10000 0 0 0 0 1\r\n'
  printf '/DriverOps /ProcSet 2 copy resourcestatus{\r\n pop pop findresource /init_watermark 2 copy known{get exec}{19 {pop}repeat}ifelse\r\n}{19 {pop}repeat}ifelse\r\n\r\n'
  matrix_call 1; matrix_call 2; trailer; } >"$work/wm.expected"
prolog_case wm "$work/wm.expected" "${printer[@]}" '[Features]' 'VXOverlay=None' \
  '[Record]' 'orientationSelection=1' 'watermarkIndex=2' 'wmText=A(b)\c' 'wmFontFace=Times-Roman' \
  'wmSize=36' 'wmAngle=180' 'wmPosition=3' "wmColorText=$(printf '0.75 0.75 0.75' | od -An -tx1 | tr -d ' \n')00"

# EPS output: no header, no prolog, no trailer, but the page calls of the watermark.
{ matrix_call 1; matrix_call 2; } >"$work/eps.expected"
prolog_case eps "$work/eps.expected" "${printer[@]}" '[Features]' 'Dialect=2' \
  '[Record]' 'watermarkIndex=1' 'wmText=EPS'

# A plug-in INI file of its own: a procedure set of exactly 2048 bytes is sent whole (two blocks,
# then the empty read); names with a folder part, a drive or "..", and missing files, send
# nothing.
pluginini() {  # file, PROCSET_JP, OVERLAY_JP [, OVERPRT_JP]
  printf '%s\r\n' '[OEMFiles]' 'OEMDriverFile1=vexps.dll' 'OEMConfigFile1=vexui.dll' \
    '[DependentFiles]' "PROCSET_JP=$2" "OVERLAY_JP=$3" "OVERPRT_JP=${4:-}" >"$1"
}
{ printf '%%!PS\n'; for i in $(seq 40); do printf '%% two blocks exactly ..............................\n'; done
} >"$work/padding.ps"
head -c 2047 "$work/padding.ps" >"$work/E2EPS2K.PS"
printf '\n' >>"$work/E2EPS2K.PS"
pluginini "$work/E2EPROL1.INI" E2EPS2K.PS 'NOSUCH.PS'
# (the overlay resource is missing: only the form block follows)
{ header exact; cat "$work/E2EPS2K.PS"; values 1 0 2; overlay_setup; trailer; } \
  >"$work/exact.expected"
prolog_case exact "$work/exact.expected" '[Printer]' 'Name=VEX WM Prolog INI' \
  'Driver=VEX WM Prolog INI PS' 'Model.JobInfoDll=' \
  "Files=$(winpath "$work/E2EPROL1.INI"),$(winpath "$work/E2EPS2K.PS")" \
  '[Features]' 'VXOverlay=Use' '[Record]' 'overlayList=255,255,255,255'

dir3=$(driver_folder)
printf 'secret\n' >"$dir3/../E2ESECRET.PS"
pluginini "$work/E2EPROL2.INI" '..\E2ESECRET.PS' "$(winpath "$dir3/../E2ESECRET.PS")"
{ header outside; values 1 0 2; overlay_setup; trailer; } >"$work/outside.expected"
prolog_case outside "$work/outside.expected" '[Printer]' 'Name=VEX WM Prolog INI' \
  'Driver=VEX WM Prolog INI PS' 'Model.JobInfoDll=' "Files=$(winpath "$work/E2EPROL2.INI")" \
  '[Features]' 'VXOverlay=Use' '[Record]' 'overlayList=255,255,255,255'
rm -f "$dir3/../E2ESECRET.PS"

# Files that every user may write after printer initialisation (the plug-in INI file, the PPD,
# the colour-matching file) or that no user may change (configuration and version file) are
# never sent as resources, in any letter case.
shared_printer=('[Printer]' 'Name=VEX WM Prolog Shared' 'Driver=VEX WM Prolog Shared PS'
  'Model.JobInfoDll=' 'Model.CCMInfoFile=E2ECCM.DAT')
printf '%%!PS colour matching\n' >"$work/E2ECCM.DAT"
{ header shared-1; values 1 0 2; overlay_setup; trailer; } >"$work/shared-1.expected"
{ header shared-2; values 1 0 2; overlay_setup; trailer; } >"$work/shared-2.expected"
pluginini "$work/E2EPROL3.INI" E2EPROL3.INI VEXDEMO.PPD 'VEX WM Prolog Shared.cap'
prolog_case shared-1 "$work/shared-1.expected" "${shared_printer[@]}" \
  "Files=$(winpath "$work/E2EPROL3.INI"),$(winpath "$work/E2ECCM.DAT")" \
  '[Features]' 'VXOverlay=Use' 'VXOverPrint=True' '[Record]' 'overlayList=255,255,255,255'
pluginini "$work/E2EPROL3.INI" vexdemo.ver E2ECCM.DAT e2eprol3.ini
prolog_case shared-2 "$work/shared-2.expected" "${shared_printer[@]}" \
  "Files=$(winpath "$work/E2EPROL3.INI"),$(winpath "$work/E2ECCM.DAT")" \
  '[Features]' 'VXOverlay=Use' 'VXOverPrint=True' '[Record]' 'overlayList=255,255,255,255'

# An IC-card printer adds the card marker.
{ header card; cat "$package/VEXPROC.PS"; values 1 0 2 card; trailer; } >"$work/card.expected"
prolog_case card "$work/card.expected" '[Printer]' 'Name=VEX WM Card' 'Driver=VEX WM Card PS' \
  'Model.JobInfoDll=' 'Model.CARD_DLL=test_card_yes.dll' 'Files=test_card_yes.dll' \
  '[Features]' 'VXJob_Type=Normal' 'VXOverlay=None'

rm -f "$dir3"/E2EPROL?.INI "$dir3/E2EPS2K.PS" "$dir3/E2ECCM.DAT"
finish prolog_resources
