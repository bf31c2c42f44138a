#!/usr/bin/env bash
# A watermark made in the dialogs is printed: from the job options page's "水印(&W)..." a new
# watermark gets a typed text, its size from the scroll bar, a typed angle, the double box,
# position "右下" and a colour from the colour chooser; OK, OK and the sheet's Apply leave the
# record; render-host prints it; the job initialises the watermark with exactly those values,
# and the rendered page shows it at the bottom right, where the preview showed it.
#   tests/sheets/watermark_print.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
. "$root/tests/e2e/lib/pixels.bash"
printer='VEX Sheet Watermark Print'
is_red='(r>0.6&&g<0.4&&b<0.4)'
# A page body without the watermark's colour.
printf '%s\n' '/Helvetica findfont 12 scalefont setfont 40 800 moveto (Watermark job) show' \
  >"$work/body.ps"

script print 'page 1' 'click 1535' 'expect window "水印"' 'click 1403' 'expect window "水印"' \
  'type 1411 "SECRET"' 'key 1414 PageDown' 'key 1414 PageDown' 'expect 1413 text "92"' \
  'settext 1416 ""' 'type 1416 "30"' 'expect 1416 text "30"' 'click 1442' 'select 1443 6' \
  'click 1419' 'wait 5000' 'expect window "Color"' 'settext 706 "255"' 'settext 707 "0"' \
  'settext 708 "0"' 'ok' 'expect window "水印"' 'expect 1411 text "SECRET"' 'expect 1413 text "92"' \
  'expect 1442 checked 1' 'expect 1443 selected 6' 'shot watermark-print-edit' 'ok' \
  'expect window "水印"' 'expect 1401 row 3 "SECRET"' 'expect 1401 selected 3' \
  'shot watermark-print-list' 'ok' 'apply'
rm -f "$artifacts/watermark-print-edit.png" "$artifacts/watermark-print-list.png"
if play print --printer "$printer" -- --press cancel; then
  shot_kept print "$artifacts/watermark-print-edit.png"
  shot_kept print "$artifacts/watermark-print-list.png"
  job_file print '[Printer]' "Name=$printer" 'Model.JobInfoDll=' '[Features]' 'VXJob_Type=Normal' \
    'VXOverlay=None' 'VXOverPrint=False' '[Record]' 'RecordFile=print.rec' \
    '[Document]' 'Name=Watermark job' 'Pages=1' 'Body=body.ps'
  rc=0
  render print || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "print: render-host exited with $rc: $(cat "$work/print.err")"
  else
    # text, size, font, colour, angle, position, x, y, frame, sin 30, cos 30, background,
    # first page, style, orientation
    grep -aqF '(SECRET) 92 /Helvetica 1.00 0.00 0.00 30 6 0 0 3 5000 8660 0 0 0 0' "$work/print.inj" ||
      fail "print: init_watermark operands: $(grep -a -m1 'SECRET' "$work/print.inj" || echo none)"
    if render_pages print; then
      cp "$work/print-1.png" "$artifacts/watermark-print-page.png"
      # A4 at 36 dpi is 298 x 421 pixels; the preview's margin is two of its pixels, about
      # three here. The box ends there at the right and the bottom and stays in the lower half.
      box=$(convert "$work/print-1.png" -fx "$is_red" -threshold 50% -format '%@' info:)
      read -r w h x y < <(echo "$box" | tr 'x+' '  '; echo)
      if [ -z "${y:-}" ] || [ "$w" -eq 0 ]; then
        fail "print: no watermark on the page"
      else
        right=$((x + w)) bottom=$((y + h))
        [ "$right" -ge 290 ] && [ "$right" -le 297 ] || fail "print: the box ends at x $right"
        [ "$bottom" -ge 413 ] && [ "$bottom" -le 420 ] || fail "print: the box ends at y $bottom"
        [ "$y" -ge 210 ] || fail "print: the watermark reaches the upper half (y $y)"
      fi
    fi
  fi
else
  fail "print: ui-host exited with $?: $(said print)"
fi

finish watermark_print
