#!/usr/bin/env bash
# Watermarks through vexps, the sample procedure set and Ghostscript: every position with each
# frame style, angles from -180 to 180, the three orientations, offsets, first page only and
# background. Ghostscript renders each job without an error, and the watermark lies in the part
# of the page its position names, for the page as its reader holds it.
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

# green_third NAME PAGE: column and row (0 to 2, thirds of the paper) of the centre of the
# watermark colour's box, or "none". The box of the pixels that pass $is_green, from one
# threshold per channel (g above 80 %, r and b at most 25 %: no 8-bit value is 25 % exactly) and
# their minimum: the same pixels as -fx "$is_green", which takes 25 times as long.
green_third() {
  local box
  box=$(convert "$work/$1-$2.png" \( -clone 0 -channel G -separate +channel -threshold 80% \) \
    \( -clone 0 -channel R -separate +channel -threshold 25% -negate \) \
    \( -clone 0 -channel B -separate +channel -threshold 25% -negate \) \
    -delete 0 -evaluate-sequence min -format '%@' info: 2>/dev/null)
  case $box in 0x0*|'') echo none; return ;; esac
  awk -v b="$box" 'BEGIN { split(b, p, /[x+]/)
    printf "%d %d", (p[3] + p[1] / 2) * 3 / 298, (p[4] + p[2] / 2) * 3 / 421 }'
}

# The paper's third (column row) that a position of the page as its reader holds it lands in:
# orientation 1 shows the paper turned a quarter clockwise (the reader's top left is the paper's
# bottom left), orientation 2 a quarter the other way.
position_col=(0 1 2 1 0 1 2)
position_row=(0 0 0 1 2 2 2)
paper_third() {  # position orientation
  local c=${position_col[$1]} r=${position_row[$1]}
  case $2 in
    1) echo "$r $((2 - c))" ;;
    2) echo "$((2 - r)) $c" ;;
    *) echo "$c $r" ;;
  esac
}

# Each position, with the frame styles, angles and orientations taken in turn. The box of the
# turned text and its frame sits at the page's edges less the preview's margin, so its centre is
# in the third of the paper that the position names.
angles=(-180 -90 0 45 90 180 45)
for orient in 0 1 2; do
  for pos in 0 1 2 3 4 5 6; do
    frame=$(((pos + orient) % 4)) angle=${angles[(pos + orient) % 7]}
    name=pos$pos-frame$frame-angle$angle-orient$orient
    watermark_job "$name" "wmPosition=$pos" "wmFrameStyle=$frame" "wmAngle=$angle" \
      "orientationSelection=$orient" || continue
    expected=$(paper_third "$pos" "$orient")
    for page in 1 2; do
      seen=$(green_third "$name" "$page")
      [ "$seen" = "$expected" ] ||
        fail "$name: page $page: watermark in third \"$seen\" of the paper, expected \"$expected\""
    done
    [ "$pos$orient" = 30 ] && keep_artefact "$work/$name-1.png" watermark-centre-double-frame.png
    [ "$pos$orient" = 10 ] && keep_artefact "$work/$name-1.png" watermark-top-circle.png
  done
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
