#!/usr/bin/env bash
# Job files stay page-independent: the PostScript of a job is cut into single pages with
# psselect, as a spooler or a print manager reorders and reprints pages; each page alone renders
# with Ghostscript without an error and looks exactly as the same page of the whole job.
# - The sample job with a third page: watermark, the first-page letterhead and the every-page
#   order form.
# - A job with a first-page and an even-page overlay and a first-page-only watermark over four
#   pages: page 3 alone is neither the first nor an even page, page 2 and 4 alone are even pages.
# Each page alone has exactly the overlays its own number chooses (the page's setup hands its
# number to the overlay resource and the watermark procedures), the watermark where the job has
# one. Without those numbers
# (a job of an older plug-in) the overlay resource numbers the pages it has shown.
#   tests/e2e/page_independence.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: page_independence.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/pixels.bash"
command -v psselect >/dev/null || { echo "FAIL: no psselect (scripts/setup installs psutils)" >&2; exit 1; }
dir3=$(driver_folder)
trap 'rm -rf "$work"; rm -f "$dir3/E2EPGNO.INI"' EXIT

# Renders job NAME, cuts its PostScript document into PAGES single pages $work/NAME-alone-<n>
# and compares each, rendered alone, with the same page of the whole job.
cut_into_pages() {  # name pages
  local name=$1 pages=$2 page
  if ! render "$name"; then
    fail "$name: render-host: $(cat "$work/$name.err")"
    return 1
  fi
  # The PostScript document alone: from %!PS to %%EOF, without the PJL lines around it.
  tr -d '\r' <"$work/$name.prn" | awk '/^%!PS/ { on = 1 } on { print } /^%%EOF/ { exit }' \
    >"$work/$name-whole.ps"
  [ "$(grep -c '^%%Page:' "$work/$name-whole.ps")" -eq "$pages" ] ||
    { fail "$name: the job holds $(grep -c '^%%Page:' "$work/$name-whole.ps") %%Page comments, not $pages"; return 1; }
  cp "$work/$name-whole.ps" "$work/$name-whole.prn"
  render_pages "$name-whole" || return 1
  [ "$(page_count "$name-whole")" -eq "$pages" ] ||
    { fail "$name: the whole job renders $(page_count "$name-whole") pages"; return 1; }
  for page in $(seq 1 "$pages"); do
    local alone=$name-alone-$page
    if ! psselect -q -p"$page" "$work/$name-whole.ps" "$work/$alone.prn" 2>"$work/$alone.psselect"; then
      fail "$name: psselect cannot take page $page: $(cat "$work/$alone.psselect")"
      continue
    fi
    render_pages "$alone" || continue
    if [ "$(page_count "$alone")" -ne 1 ]; then
      fail "$name: page $page alone renders $(page_count "$alone") pages"
      continue
    fi
    mv "$work/$alone-1.png" "$work/$alone.png"
    local differing
    differing=$(compare -metric AE "$work/$name-whole-$page.png" "$work/$alone.png" null: 2>&1 || true)
    [ "$differing" = 0 ] || fail "$name: page $page alone differs from page $page of the whole job ($differing pixels)"
  done
}

# The stand-in frame of overlay column COL, form row ROW (36 dpi; frames 40 pt high from 20 pt
# up, as in overlay_pages.sh).
frame_on() {  # png col row
  local x=$((10 + $2 * 69)) y=$((381 - $3 * 23))
  has_colour "$1" "$x" "$y" 64 22 "$is_blue"
}

# check_overlays NAME PAGE "COL:ROWS:PAGES"...: on page PAGE alone, column COL has ROWS frames
# when PAGE is one of PAGES (comma-separated), else none.
check_overlays() {
  local name=$1 page=$2; shift 2
  local png=$work/$name-alone-$page.png column col rows chosen row
  [ -f "$png" ] || { fail "$name: no rendering of page $page alone"; return 0; }
  for column in "$@"; do
    IFS=: read -r col rows chosen <<<"$column"
    for row in $(seq 0 $((rows - 1))); do
      if [[ ",$chosen," == *",$page,"* ]]; then
        frame_on "$png" "$col" "$row" || fail "$name: page $page alone lacks overlay column $col form $row"
      else
        frame_on "$png" "$col" "$row" && fail "$name: page $page alone has overlay column $col form $row"
      fi
    done
  done
  return 0
}

# The sample job with a third page: its letterhead (first page, column 0) and its order form
# with footer (every page, column 1), and its watermark.
pages=3
sed -e "s/^Pages=2\r\?\$/Pages=$pages\r/" "$root/samples/demo-job.ini" >"$work/demo.ini"
grep -q "^Pages=$pages" "$work/demo.ini" && grep -q '^overlayList=0,1,255,255' "$work/demo.ini" ||
  { echo "FAIL: the sample job has no Pages line or not its two overlays" >&2; exit 1; }
if cut_into_pages demo "$pages"; then
  for page in $(seq 1 "$pages"); do
    check_overlays demo "$page" "0:1:1" "1:2:1,2,3"
    [ -f "$work/demo-alone-$page.png" ] || continue
    red=$(pixel_fraction "$work/demo-alone-$page.png" 0 0 297 421 '(r>0.85&&g<0.15&&b<0.15)')
    awk -v f="$red" 'BEGIN { exit !(f > 0.001) }' || fail "demo: page $page alone has no watermark"
  done
fi

# A first-page overlay (column 0) and an even-page overlay (column 1) from a store of the
# test's own, over four pages of a plain body.
printf '%s\r\n' '[OEMFiles]' 'OEMDriverFile1=vexps.dll' 'OEMConfigFile1=vexui.dll' \
  '[DependentFiles]' 'PROCSET_JP=VEXPROC.PS' 'OVERLAY_JP=VEXOVL.PS' \
  '[OverlaySetting]' 'Overlay_Num=2' 'History_Num=0' \
  '[Overlay_Info 0]' 'Overlay_Name=First' 'PageMode=1' 'CustomPage=' 'Form_Num=1' 'Form_Name 0=FIRST' \
  '[Overlay_Info 1]' 'Overlay_Name=Even' 'PageMode=3' 'CustomPage=' 'Form_Num=1' 'Form_Name 0=EVEN' \
  >"$work/E2EPGNO.INI"
printf '%s\n' '/Helvetica findfont 12 scalefont setfont 40 800 moveto (Page numbers) show' \
  >"$work/body.ps"
pages=4
job_file even '[Printer]' 'Name=VEX WM Overlay' 'Driver=VEX WM Overlay PS' 'Model.JobInfoDll=' \
  "Files=$(winpath "$work/E2EPGNO.INI")" \
  '[Features]' 'VXJob_Type=Normal' 'VXOverlay=Use' 'VXOverPrint=False' \
  '[Record]' 'overlayList=0,1,255,255' 'watermarkIndex=1' 'wmText=FIRST ONLY' 'wmSize=60' \
  'wmAngle=45' 'wmPosition=3' 'wmFirstPageOnly=1' 'wmColorText=312e303020302e303020302e303000' \
  '[Document]' 'Name=even' "Pages=$pages" 'Body=body.ps'
if cut_into_pages even "$pages"; then
  for page in $(seq 1 "$pages"); do
    check_overlays even "$page" "0:1:1" "1:1:2,4"
    [ -f "$work/even-alone-$page.png" ] || continue
    red=$(pixel_fraction "$work/even-alone-$page.png" 0 0 297 421 '(r>0.85&&g<0.15&&b<0.15)')
    if [ "$page" -eq 1 ]; then
      awk -v f="$red" 'BEGIN { exit !(f > 0.001) }' || fail "even: page 1 alone has no watermark"
    else
      awk -v f="$red" 'BEGIN { exit !(f == 0) }' || fail "even: page $page alone has the first page's watermark"
    fi
  done
  keep_artefact "$work/even-alone-3.png" page-independence-page3-alone.png
  # A job of an older plug-in, whose pages hand over no number: the whole job is numbered by
  # the pages shown, as before.
  line='^globaldict /VX@PageNumber '
  [ "$(grep -c "$line" "$work/even-whole.ps")" -eq "$pages" ] ||
    fail "even: not one page number line per page"
  grep -v "$line" "$work/even-whole.ps" >"$work/older.prn"
  if render_pages older && [ "$(page_count older)" -eq "$pages" ]; then
    for page in $(seq 1 "$pages"); do
      mv "$work/older-$page.png" "$work/older-alone-$page.png"
      check_overlays older "$page" "0:1:1" "1:1:2,4"
    done
  else
    fail "older: the job without page numbers does not render its $pages pages"
  fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "page independence: each page renders alone as in the whole job, with its own overlays"
