#!/usr/bin/env bash
# Watermarks through vexps, the sample procedure set and Ghostscript: every position with each
# frame style, angles from -180 to 180, the three orientations, offsets, first page only and
# background. Ghostscript renders each job without an error, and the watermark's colour appears
# on the page in the region its position names and nowhere else.
#   tests/e2e/watermark_positions.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: watermark_positions.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/pixels.bash"

hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
green=$(hex '0.00 1.00 0.00')00

# A page body that leaves the page's middle free (one line of text at the top).
printf '%s\n' '/Helvetica findfont 12 scalefont setfont 40 800 moveto (Watermark test) show' \
  >"$work/body.ps"

# Centre of each position's region on an A4 page at 36 dpi (in pixels from the top left).
anchor_x=(60 149 238 149 60 149 238)
anchor_y=(84 84 84 210 337 337 337)

# watermark_job NAME RECORD-LINE...: a two-page job with a green "WM" watermark.
watermark_job() {
  local name=$1; shift
  job_file "$name" '[Printer]' 'Name=VEX WM E2E' 'Driver=VEX WM E2E PS' 'Model.JobInfoDll=' 'Files=' \
    '[Features]' 'VXJob_Type=Normal' 'VXOverlay=None' 'VXOverPrint=False' \
    '[Record]' 'watermarkIndex=1' 'wmText=WM' 'wmFontFace=Helvetica-Bold' 'wmSize=72' \
    "wmColorText=$green" "$@" \
    '[Document]' "Name=$name" 'Pages=2' 'Body=body.ps'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
    return 1
  fi
  render_pages "$name" || return 1
  [ "$(page_count "$name")" -eq 2 ] || { fail "$name: $(page_count "$name") pages"; return 1; }
}

# green_at NAME PAGE X Y: the watermark colour lies in the 40x40 box around (X, Y).
green_at() { has_colour "$work/$1-$2.png" $(($3 - 20)) $(($4 - 20)) 40 40 "$is_green"; }

# Each position, with the frame styles, angles and orientations taken in turn.
angles=(-180 -90 0 45 90 180 45)
for pos in 0 1 2 3 4 5 6; do
  frame=$((pos % 4)) angle=${angles[pos]} orient=$((pos % 3))
  name=pos$pos-frame$frame-angle$angle-orient$orient
  watermark_job "$name" "wmPosition=$pos" "wmFrameStyle=$frame" "wmAngle=$angle" \
    "orientationSelection=$orient" || continue
  for other in 0 1 2 3 4 5 6; do
    if [ "$other" -eq "$pos" ]; then
      green_at "$name" 1 "${anchor_x[other]}" "${anchor_y[other]}" ||
        fail "$name: no watermark at position $pos on page 1"
      green_at "$name" 2 "${anchor_x[other]}" "${anchor_y[other]}" ||
        fail "$name: no watermark at position $pos on page 2"
    elif green_at "$name" 1 "${anchor_x[other]}" "${anchor_y[other]}"; then
      fail "$name: watermark colour in the region of position $other"
    fi
  done
  [ "$pos" -eq 3 ] && keep_artefact "$work/$name-1.png" watermark-centre-double-frame.png
  [ "$pos" -eq 1 ] && keep_artefact "$work/$name-1.png" watermark-top-circle.png
done

# The offsets move the watermark: right by x, down by y (two points a pixel).
watermark_job offset 'wmPosition=3' 'wmOffsetX=100' 'wmOffsetY=160' 'wmAngle=0' &&
  { green_at offset 1 199 290 || fail "offset: no watermark 50 px right and 80 px down"
    ! green_at offset 1 149 210 || fail "offset: watermark still at the centre"; }
# Landscape orientation 1 turns the offsets with the angle: x = offsetY, y = -offsetX.
watermark_job offset-orient1 'wmPosition=3' 'wmOffsetX=100' 'wmOffsetY=0' 'wmAngle=0' \
  'orientationSelection=1' &&
  { green_at offset-orient1 1 149 160 || fail "offset-orient1: no watermark 50 px up"; }

# First page only: page 2 has no watermark at all.
if watermark_job first-page-only 'wmPosition=3' 'wmFirstPageOnly=1' 'wmFrameStyle=2'; then
  green_at first-page-only 1 149 210 || fail "first-page-only: no watermark on page 1"
  has_colour "$work/first-page-only-2.png" 0 0 298 421 "$is_green" 0 &&
    fail "first-page-only: watermark colour on page 2"
  keep_artefact "$work/first-page-only-2.png" watermark-first-page-only-page2.png
fi

# Background: drawn by draw_watermark at the page setup, before the page's marks; foreground
# by getwmmatrix, over them.
grep -c -a 'findresource /getwmmatrix' "$work/offset.prn" | grep -qx 2 ||
  fail "foreground: getwmmatrix is not called on each of the two pages"
if watermark_job background 'wmPosition=3' 'wmBackground=1'; then
  [ "$(grep -c -a 'findresource /draw_watermark' "$work/background.prn")" -eq 2 ] ||
    fail "background: draw_watermark is not called on each of the two pages"
  grep -q -a 'findresource /getwmmatrix' "$work/background.prn" &&
    fail "background: getwmmatrix called"
  green_at background 1 149 210 || fail "background: no watermark"
fi

# No watermark selected: the job carries neither the initialisation nor page calls, and the
# page holds no watermark colour.
if watermark_job none 'watermarkIndex=0'; then
  grep -q -a 'init_watermark 2 copy known' "$work/none.inj" && fail "none: watermark initialised"
  has_colour "$work/none-1.png" 0 0 298 421 "$is_green" 0 && fail "none: watermark colour"
fi

finish watermark_positions
