#!/usr/bin/env bash
# What the watermark preview shows is what prints: for a set of definitions (the seven positions,
# angles 0, 45, -90 and 180, no frame, single box and circle, portrait and both landscapes,
# offsets of +-200 points) the preview is drawn as the dialogs draw it, the same definition is
# printed through the record by render-host with the sample procedure set, Ghostscript renders
# the page, and the inked watermark's centre and extent, as fractions of the page, must agree
# within 3 % of the page's width and height. The worst case is printed.
#   tests/sheets/watermark_wysiwyg.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
win64=$(cd "${1:?usage: $0 <win64 tree> [<win32 tree>]}" && pwd)
tree=${2:-$win64/../win32}
. "$root/tests/e2e/lib/e2e.bash"
probe=$win64/bin/watermark-preview-probe.exe
[ -f "$probe" ] || { echo "FAIL: no $probe" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test or start Xvfb" >&2; exit 1; }
artifacts=$win64/artifacts
mkdir -p "$artifacts"
tolerance=0.03

hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
red=$(hex '1.00 0.00 0.00')00
# A page body without the watermark's colour.
printf '%s\n' '/Helvetica findfont 10 scalefont setfont 40 810 moveto (Compared page) show' \
  >"$work/body.ps"

# name|text|size|angle|position|frame|offsetX|offsetY|orientation (0 portrait, 1 and 2 landscape)
cat >"$work/cases.txt" <<'EOF'
p0|DRAFT|60|0|0|0|0|0|0
p1|DRAFT|60|45|1|2|0|0|0
p2|DRAFT|60|-90|2|1|0|0|0
p3|CONFIDENTIAL|72|45|3|2|0|0|0
p4|DRAFT|60|180|4|0|0|0|0
p5|DRAFT|60|0|5|1|0|0|0
p6|DRAFT|60|45|6|2|0|0|0
off1|DRAFT|60|0|3|0|200|200|0
off2|DRAFT|60|45|3|1|-200|-200|0
big|WM|300|0|3|2|0|0|0
l0|DRAFT|60|0|0|2|0|0|1
l2|DRAFT|60|45|2|0|0|0|1
l3|CONFIDENTIAL|72|-90|3|1|0|0|1
l4|DRAFT|60|180|4|2|0|0|1
l6|DRAFT|60|0|6|1|-200|-200|1
r1|DRAFT|60|0|1|0|0|0|2
r3|DRAFT|60|45|3|2|-200|200|2
r5|DRAFT|60|-90|5|1|0|0|2
EOF

# The previews, drawn as the list dialog's control draws them.
"$root/scripts/wine" "$probe" draw "$(winpath "$work/cases.txt")" "$(winpath "$work")" \
  >"$work/previews.txt" 2>"$work/probe.err" || { fail "probe: $(cat "$work/probe.err")"; finish watermark_wysiwyg; }

# The inked watermark (strongly red pixels) of a picture inside a rectangle, as fractions of it:
# centre x, centre y, width, height.
measure() {  # png x0 y0 w h
  convert "$1" ppm:- | python3 -c '
import sys
x0, y0, w, h = map(int, sys.argv[1:5])
data = sys.stdin.buffer.read()
parts = data.split(maxsplit=4)
width, height = int(parts[1]), int(parts[2])
pixels = parts[4][: width * height * 3]
xs, ys = [], []
for y in range(y0, y0 + h):
    row = y * width * 3
    for x in range(x0, x0 + w):
        r, g, b = pixels[row + 3 * x], pixels[row + 3 * x + 1], pixels[row + 3 * x + 2]
        if r > 150 and g < 110 and b < 110:
            xs.append(x); ys.append(y)
if not xs:
    print("none"); sys.exit()
l, r, t, b = min(xs), max(xs) + 1, min(ys), max(ys) + 1
print("%.4f %.4f %.4f %.4f" % (((l + r) / 2 - x0) / w, ((t + b) / 2 - y0) / h, (r - l) / w, (b - t) / h))
' "$2" "$3" "$4" "$5"
}

worst=0 worst_case=
while IFS='|' read -r -u 3 name text size angle position frame ox oy orient; do
  case $name in ''|'#'*) continue ;; esac
  read -r _ x0 y0 pw ph < <(grep "^$name " "$work/previews.txt")
  preview=$(measure "$work/$name.png" "$x0" "$y0" "$pw" "$ph")
  [ "$preview" != none ] || { fail "$name: the preview shows no watermark"; continue; }

  job_file "$name" '[Printer]' 'Name=VEX WM Compare' 'Driver=VEX WM Compare PS' 'Model.JobInfoDll=' \
    'Files=' '[Features]' 'VXJob_Type=Normal' 'VXOverlay=None' 'VXOverPrint=False' \
    '[Record]' 'watermarkIndex=1' "wmText=$text" 'wmFontFace=Helvetica' "wmSize=$size" \
    "wmAngle=$angle" "wmPosition=$position" "wmFrameStyle=$frame" "wmOffsetX=$ox" \
    "wmOffsetY=$oy" "orientationSelection=$orient" "wmColorText=$red" \
    '[Document]' "Name=$name" 'Pages=1' 'Body=body.ps'
  rc=0
  render "$name" || rc=$?
  [ "$rc" -eq 0 ] || { fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"; continue; }
  if ! gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 -sOutputFile="$work/$name-page.png" \
       "$work/$name.prn" >"$work/$name.gs" 2>&1 || grep -qi error "$work/$name.gs"; then
    fail "$name: Ghostscript: $(head -3 "$work/$name.gs")"
    continue
  fi
  # The page as its reader holds it: landscape pages are turned back.
  case $orient in
    1) convert "$work/$name-page.png" -rotate 90 "$work/$name-view.png" ;;
    2) convert "$work/$name-page.png" -rotate -90 "$work/$name-view.png" ;;
    *) cp "$work/$name-page.png" "$work/$name-view.png" ;;
  esac
  read -r vw vh < <(identify -format '%w %h\n' "$work/$name-view.png")
  printed=$(measure "$work/$name-view.png" 0 0 "$vw" "$vh")
  [ "$printed" != none ] || { fail "$name: the printed page shows no watermark"; continue; }
  diff=$(awk -v a="$preview" -v b="$printed" 'BEGIN {
    split(a, p, " "); split(b, q, " "); m = 0
    for (i = 1; i <= 4; i++) { d = p[i] - q[i]; if (d < 0) d = -d; if (d > m) m = d }
    printf "%.4f", m }')
  echo "$name: preview $preview printed $printed largest difference $diff"
  if awk -v d="$diff" -v t="$tolerance" 'BEGIN { exit !(d > t) }'; then
    fail "$name: preview and page differ by $diff of the page (centre x, centre y, width, height)"
  fi
  if awk -v d="$diff" -v w="$worst" 'BEGIN { exit !(d > w) }'; then worst=$diff worst_case=$name; fi
  case $name in
    p3|l3|r3) cp "$work/$name.png" "$artifacts/wysiwyg-$name-preview.png"
              cp "$work/$name-view.png" "$artifacts/wysiwyg-$name-page.png" ;;
  esac
done 3<"$work/cases.txt"
echo "worst case: $worst_case, $worst of the page"
finish watermark_wysiwyg
